// The About box: template 100, nothing of its own to do; OK closes it.
#pragma once

#include "framework/Dialog.h"

namespace veskaro {

class CAboutDlg : public CDialogBase
{
public:
    CAboutDlg(IOutsideWorld& outside, std::wstring applicationName);
};

} // namespace veskaro
