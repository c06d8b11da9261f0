#include "ui/Links.h"

#include "framework/OutsideWorld.h"
#include "ui/PercentEncode.h"

namespace veskaro {

const wchar_t kProductUrl[] = VESKARO_PRODUCT_URL;
const wchar_t kShareUrl[] = VESKARO_SHARE_URL;
const wchar_t kSupportEmail[] = VESKARO_SUPPORT_EMAIL;

std::wstring ShareLinkUrl()
{
    // The product address carries ':', '/', '?' and '&' of its own; unencoded they
    // would end or split the "u" value.
    return std::wstring(kShareUrl) + L"?u=" + PercentEncode(kProductUrl);
}

void OpenProductPage(IOutsideWorld& outside)
{
    outside.ShellExecute(nullptr, nullptr, kProductUrl, SW_SHOWMAXIMIZED);
}

} // namespace veskaro
