#pragma once

#include <string>

namespace veskaro
{

// The start-at-login command stored in the Run key. The path is quoted so that
// a path with blanks (C:\Program Files\...) cannot be taken for C:\Program.exe.
std::wstring RunValueText(const std::wstring& modulePath);

// The program path a stored Run value names, for both the quoted form above and
// the older unquoted "C:\Tools\Veskaro.exe :silent" form.
std::wstring RunValueTarget(const std::wstring& stored);

} // namespace veskaro
