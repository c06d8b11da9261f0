#include "settings/RunValueText.h"

#include <iterator>

namespace veskaro
{

namespace
{

// A constant, not a function-local static: the installer's custom actions run this on
// Windows Installer's threads.
constexpr wchar_t kSilent[] = L":silent";
constexpr std::size_t kSilentLength = std::size(kSilent) - 1;

} // namespace

std::wstring RunValueText(const std::wstring& modulePath)
{
    return L"\"" + modulePath + L"\" :silent";
}

std::wstring RunValueTarget(const std::wstring& stored)
{
    // One pass: whenever the kept text ends with the switch, drop it. This also removes a
    // switch that an earlier removal joined together (":sil:silentent"), in linear time.
    std::wstring text;
    text.reserve(stored.size());
    for (wchar_t c : stored)
    {
        text.push_back(c);
        if (text.size() >= kSilentLength &&
            text.compare(text.size() - kSilentLength, kSilentLength, kSilent) == 0)
            text.resize(text.size() - kSilentLength);
    }

    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    const std::size_t last = text.find_last_not_of(L" \t");
    text = text.substr(first, last - first + 1);

    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        text = text.substr(1, text.size() - 2);
    return text;
}

} // namespace veskaro
