// Percent-encoding of a URI component: the unreserved characters stay, every other
// character becomes %XX for each byte of its UTF-8 form.
#pragma once

#include <string>

namespace veskaro {

// Unpaired surrogates and values beyond U+10FFFF are sent as U+FFFD.
std::wstring PercentEncode(const std::wstring& text);

} // namespace veskaro
