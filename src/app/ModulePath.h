#pragma once

#include <string>

namespace veskaro {

// The full path of the running executable, however long it is.
std::wstring GetModulePath();

} // namespace veskaro
