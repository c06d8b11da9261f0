#include "ui/AboutDlg.h"

#include "res/resource.h"

namespace veskaro {

CAboutDlg::CAboutDlg(IOutsideWorld& outside, std::wstring applicationName)
    : CDialogBase(IDD_ABOUTBOX, outside, std::move(applicationName))
{
}

} // namespace veskaro
