// The full-screen black window.
#include "ui/VeskaroDlg.h"

#include "framework/OutsideWorld.h"
#include "power/DlgBlackScreen.h"

namespace veskaro {

void CVeskaroDlg::ShowBlackScreen()
{
    m_turnOff.CloseNotice(); // back after it, if still due
    CDlgBlackScreen blackScreen(m_env.outside, m_env.applicationName);
    blackScreen.DoModal(m_hWnd);
}

void CVeskaroDlg::OnDisplayBlackScreen()
{
    m_outside.MessageBoxCheck(m_hWnd,
                              L"The Black Screen Displayed can be Closed by Pressing Left, Middle or Right Mouse "
                              L"Buttons or by Pressing any Keystroke.",
                              L"Information about Black Screen Displayed by Veskaro", MB_OK | MB_ICONINFORMATION,
                              IDOK, L"{d9108ba3-9a61-4398-bfbc-b02102c77e8b}");
    // Exit, or an update's close, while the box was up: no black screen without its owner.
    if (!m_hWnd)
        return;
    ShowBlackScreen();
}

} // namespace veskaro
