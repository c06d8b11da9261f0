// The product web page, the share page and the support address; set at build time.
#pragma once

#include <string>

namespace veskaro {

class IOutsideWorld;

extern const wchar_t kProductUrl[];
extern const wchar_t kShareUrl[];
extern const wchar_t kSupportEmail[];

// The share page with the product page in its "u" parameter, percent-encoded.
std::wstring ShareLinkUrl();

// F1 on any of the program's windows: the product page, maximised.
void OpenProductPage(IOutsideWorld& outside);

} // namespace veskaro
