// Showing, hiding and moving the main window, its menus, the About box, the information
// commands and the way the program ends.
#include "ui/VeskaroDlg.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"
#include "settings/StartAtLogin.h"
#include "ui/AboutDlg.h"
#include "ui/Links.h"

#include <climits>

namespace veskaro {

namespace {

const wchar_t kHowMonitorsTurnOnText[] =
    L"Monitor(s) can Turn on by any of the given below change\n\n"
    L"Mouse Movement\nPressing a Keystroke\nBy a Running Application.";
const wchar_t kContactSupportText[] = L"Please Send an EMail to";

} // namespace

void CVeskaroDlg::ShowMainWindow()
{
    ::ShowWindow(m_hWnd, SW_RESTORE);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetActiveWindow(m_hWnd);
    // A dialog of the window's that is open keeps the keyboard: the window itself is disabled.
    m_outside.SetForegroundWindow(::GetLastActivePopup(m_hWnd));
    ::BringWindowToTop(m_hWnd);
}

void CVeskaroDlg::HideMainWindow()
{
    // Minimised first, so that the window leaves towards the taskbar.
    ::ShowWindow(m_hWnd, SW_MINIMIZE);
    ::ShowWindow(m_hWnd, SW_HIDE);
}

// The tick leaves the status line of a hidden or minimised window alone: shown or restored,
// the window must not show an old time for up to a second. (A restore from the taskbar
// sends no WM_SHOWWINDOW, only WM_SIZE.)
void CVeskaroDlg::OnShowWindow(bool show)
{
    if (show)
        RefreshStatusLine();
}

void CVeskaroDlg::OnSize(UINT type)
{
    if ((type == SIZE_RESTORED || type == SIZE_MAXIMIZED) && ::IsWindowVisible(m_hWnd))
        RefreshStatusLine();
}

void CVeskaroDlg::ShowMainMenu()
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    m_outside.TrackPopupMenu(::GetSubMenu(m_menuMain.Get(), 0), 0, cursor.x, cursor.y, m_hWnd);
}

void CVeskaroDlg::OnMenuButton()
{
    ShowMainMenu();
}

void CVeskaroDlg::OnContextMenu()
{
    // The message's point is (-1, -1) for the keyboard; the cursor serves both ways.
    ShowMainMenu();
}

bool CVeskaroDlg::OnSysCommand(UINT nID, LPARAM)
{
    // The low four bits are the system's own.
    if ((nID & 0xFFF0) != IDM_ABOUTBOX)
        return false; // minimise, move, close and monitor power go to the default procedure
    CAboutDlg about(m_outside, m_env.applicationName);
    about.DoModal(m_hWnd);
    return true;
}

bool CVeskaroDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
    return true;
}

HICON CVeskaroDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CVeskaroDlg::OnLButtonDown()
{
    // A press on the background drags the window as its caption would.
    ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void CVeskaroDlg::OnDpiChanged(UINT, const RECT* suggested)
{
    // The tray icon follows the taskbar's monitor, not the window's: a move leaves it alone.
    UpdateTrayIconScale();
    if (!suggested)
        return;
    // Where the system wants the window at the new scale; a size no screen has is ignored.
    const long long width = static_cast<long long>(suggested->right) - suggested->left;
    const long long height = static_cast<long long>(suggested->bottom) - suggested->top;
    if (width > 0 && height > 0 && width <= SHRT_MAX && height <= SHRT_MAX)
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, static_cast<int>(width),
                       static_cast<int>(height), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVeskaroDlg::OnHowCanMonitorsTurnOn()
{
    m_outside.MessageBox(m_hWnd, kHowMonitorsTurnOnText, m_env.applicationName, MB_OK | MB_ICONINFORMATION);
}

void CVeskaroDlg::OnContactSupport()
{
    m_outside.MessageBox(m_hWnd, std::wstring(kContactSupportText) + L" " + kSupportEmail, m_env.applicationName,
                         MB_OK | MB_ICONINFORMATION);
}

BOOL CVeskaroDlg::OnHelpInfo()
{
    OpenProductPage(m_outside);
    return TRUE;
}

void CVeskaroDlg::OnShareLink()
{
    m_outside.ShellExecute(nullptr, L"Open", ShareLinkUrl(), SW_SHOWMAXIMIZED);
}

void CVeskaroDlg::OnExit()
{
    // Posted, so that the menu command returns before the window goes.
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CVeskaroDlg::OnClose()
{
    StopDisplayPowerWatch();
    ::DestroyWindow(m_hWnd);
}

void CVeskaroDlg::OnQueryEndSession(LPARAM flags)
{
    WithdrawRestartAtSessionEnd(m_outside, m_env.applicationName, flags);
}

void CVeskaroDlg::OnEndSession(bool ending, LPARAM flags)
{
    if (ending)
        m_scheduledPower.Stop();
    // An installer or update that needs the program's file asks it to close through the
    // restart manager; it ends as Exit ends it. A logoff or shutdown ends it anyway.
    if (ending && (flags & ENDSESSION_CLOSEAPP) != 0 && (flags & ENDSESSION_LOGOFF) == 0)
        OnClose();
    if (!ending)
        RegisterRestart(m_outside, m_env.restartArguments); // withdrawn for an end that did not come
}

void CVeskaroDlg::OnDestroy()
{
    RemoveTrayIcon();
    m_hTrayIcon.Reset(); // the shell no longer shows it
    StopSessionLockWatch();
    m_outside.KillTimer(m_hWnd, TIMER_SCHEDULE);
    m_turnOff.Stop();
    m_scheduledPower.Stop();
    m_oTextSpeaker.ReleaseVoice(); // while COM is still up
}

} // namespace veskaro
