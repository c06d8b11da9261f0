#include "app/CommandLine.h"

#include "res/resource.h"

#include <iterator>

namespace veskaro
{

namespace
{

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

bool IsWhiteSpace(wchar_t c)
{
    return IsBlank(c) || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

// Constants, not function-local statics: nothing to guard on Windows Installer's threads,
// where the installer's custom actions run this code, and no guard code in the program.
constexpr wchar_t kSilent[] = L":silent";
constexpr std::size_t kSilentLength = std::size(kSilent) - 1;

struct Verb
{
    const wchar_t* verb;
    unsigned command;
};
constexpr Verb kVerbs[] = {{L":off", ID_TURN_OFF_MONITORS_NOW},
                           {L":off-on", ID_TURN_OFF_AND_ON_AFTER_10_SECONDS},
                           {L":lock", ID_LOCK_PC_NOW},
                           {L":black", ID_DISPLAY_BLACK_SCREEN}};

} // namespace

std::wstring ApplicationNameFromPath(const std::wstring& path)
{
    // Both separators occur: Windows accepts '/' in paths it is handed.
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.rfind(L'.'));
}

std::wstring ArgumentText(const std::wstring& commandLine)
{
    std::size_t i = 0;
    const std::size_t n = commandLine.size();
    while (i < n && IsBlank(commandLine[i]))
        ++i;

    if (i < n && commandLine[i] == L'"')
    {
        // A quoted program name may hold blanks; an unclosed quote runs to the end.
        const std::size_t close = commandLine.find(L'"', i + 1);
        i = close == std::wstring::npos ? n : close + 1;
    }
    else
    {
        while (i < n && !IsBlank(commandLine[i]))
            ++i;
    }

    while (i < n && IsBlank(commandLine[i]))
        ++i;
    return commandLine.substr(i);
}

bool IsSilentStart(const std::wstring& argumentText)
{
    std::size_t first = 0;
    while (first < argumentText.size() && IsWhiteSpace(argumentText[first]))
        ++first;
    // Trimming the end is not needed: ":silent" holds no white space, so
    // trailing white space cannot change what the trimmed text begins with.
    return argumentText.compare(first, kSilentLength, kSilent) == 0;
}

unsigned CommandVerb(const std::wstring& argumentText)
{
    std::size_t first = 0;
    std::size_t end = argumentText.size();
    while (first < end && IsWhiteSpace(argumentText[first]))
        ++first;
    while (end > first && IsWhiteSpace(argumentText[end - 1]))
        --end;
    const std::wstring trimmed = argumentText.substr(first, end - first);
    for (const auto& entry : kVerbs)
        if (trimmed == entry.verb)
            return entry.command;
    return 0;
}

} // namespace veskaro
