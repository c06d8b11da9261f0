// The decimal integer of an edit field; no Windows headers, so it is tested on the host too.
#pragma once

#include <string>

namespace veskaro {

// Blanks around the number are allowed, one sign, then digits only. Empty text,
// anything else, or a value outside the signed 32-bit range is refused.
bool ParseInt32(const std::wstring& text, int& value);

// The value in decimal with a leading '-' when negative, as "%d" writes it. Used in place
// of std::to_wstring, which brings the runtime's whole printf into the executable.
std::wstring DecimalText(int value);

} // namespace veskaro
