// Showing, hiding and moving the main window, its menus, the About box, the information
// commands and the way the program ends.
#include "ui/VeskaroDlg.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

namespace veskaro {

void CVeskaroDlg::ShowMainWindow()
{
    ::ShowWindow(m_hWnd, SW_RESTORE);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetActiveWindow(m_hWnd);
    ::SetForegroundWindow(m_hWnd);
    ::BringWindowToTop(m_hWnd);
}

void CVeskaroDlg::HideMainWindow()
{
    ::ShowWindow(m_hWnd, SW_MINIMIZE);
    ::ShowWindow(m_hWnd, SW_HIDE);
}

void CVeskaroDlg::ShowMainMenu() {}
void CVeskaroDlg::OnContextMenu() {}
void CVeskaroDlg::OnMenuButton() {}
bool CVeskaroDlg::OnSysCommand(UINT, LPARAM) { return false; }
bool CVeskaroDlg::OnPaint() { return false; }
HICON CVeskaroDlg::OnQueryDragIcon() { return m_hIcon; }
void CVeskaroDlg::OnLButtonDown() {}
void CVeskaroDlg::OnHowCanMonitorsTurnOn() {}
void CVeskaroDlg::OnContactSupport() {}
BOOL CVeskaroDlg::OnHelpInfo() { return TRUE; }
void CVeskaroDlg::OnShareLink() {}

void CVeskaroDlg::OnExit()
{
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CVeskaroDlg::OnClose()
{
    StopDisplayPowerWatch();
    ::DestroyWindow(m_hWnd);
}

void CVeskaroDlg::OnDestroy()
{
    RemoveTrayIcon();
}

} // namespace veskaro
