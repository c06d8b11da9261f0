// The notification-area icon and its menu.
#include "ui/VeskaroDlg.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

#include <shellapi.h>

namespace veskaro {

#ifndef _WIN64
// The full record, as the shell of every supported Windows expects it.
static_assert(sizeof(NOTIFYICONDATAW) == 956, "NOTIFYICONDATAW must be the full record");
#endif

namespace {

// The fields every call names; the callback, icon and tooltip only go with an add.
NOTIFYICONDATAW TrayRecord(HWND window)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    return data;
}

} // namespace

void CVeskaroDlg::AddTrayIcon()
{
    NOTIFYICONDATAW data = TrayRecord(m_hWnd);
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = m_hTrayIcon ? m_hTrayIcon.Get() : m_hIcon;
    // A long application name is cut to what the tooltip holds, terminator included.
    ::lstrcpynW(data.szTip, m_env.applicationName.c_str(), ARRAYSIZE(data.szTip));
    if (!m_outside.NotifyIcon(NIM_ADD, data))
        return; // the next "TaskbarCreated" tries again
    if (HMENU trayMenu = ::GetSubMenu(m_menuTray.Get(), 0))
        ::SetMenuDefaultItem(trayMenu, ID_CONFIGURE, FALSE);
}

void CVeskaroDlg::RemoveTrayIcon()
{
    NOTIFYICONDATAW data = TrayRecord(m_hWnd);
    m_outside.NotifyIcon(NIM_DELETE, data);
}

LRESULT CVeskaroDlg::OnTaskbarCreated()
{
    // A restarted shell has forgotten the icon.
    RemoveTrayIcon();
    AddTrayIcon();
    return 1;
}

LRESULT CVeskaroDlg::OnTrayNotify(WPARAM, LPARAM lParam)
{
    // Without a notification version the low word is the mouse message itself.
    switch (LOWORD(lParam))
    {
    case WM_LBUTTONDBLCLK:
        ShowMainWindow();
        break;
    case WM_RBUTTONUP:
    {
        HMENU trayMenu = ::GetSubMenu(m_menuTray.Get(), 0);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        // Without this the menu would not close when the user clicks elsewhere.
        ::SetForegroundWindow(m_hWnd);
        m_outside.TrackPopupMenu(trayMenu, 0, cursor.x, cursor.y, m_hWnd);
        break;
    }
    default:
        break;
    }
    return 1;
}

} // namespace veskaro
