#include "settings/RunValueText.h"

namespace veskaro
{

std::wstring RunValueText(const std::wstring& modulePath)
{
    return L"\"" + modulePath + L"\" :silent";
}

std::wstring RunValueTarget(const std::wstring& stored)
{
    static const std::wstring kSilent = L":silent";
    std::wstring text = stored;
    // Search again a little before each removal: erasing ":sil:silentent"'s
    // inner marker joins a new one.
    for (std::size_t at = text.find(kSilent); at != std::wstring::npos;)
    {
        text.erase(at, kSilent.size());
        at = text.find(kSilent, at < kSilent.size() ? 0 : at - kSilent.size());
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
