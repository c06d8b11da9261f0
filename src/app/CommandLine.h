#pragma once

#include <string>

namespace veskaro
{

// File name of `path` without directory and without the extension (from the
// last dot of the file name on). A name that is only an extension, such as
// ".exe", yields an empty string.
std::wstring ApplicationNameFromPath(const std::wstring& path);

// The full process command line with the program-name token removed, the way
// the C runtime builds the lpCmdLine argument of wWinMain.
std::wstring ArgumentText(const std::wstring& commandLine);

// True when the argument text, trimmed of white space, begins with ":silent".
bool IsSilentStart(const std::wstring& argumentText);

// The menu command that the argument text names, or 0. The trimmed text is one verb and
// nothing else: ":off", ":off-on", ":lock" or ":black", in lower case.
unsigned CommandVerb(const std::wstring& argumentText);

} // namespace veskaro
