// The notification-area icon and its menu.
#include "ui/VeskaroDlg.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace veskaro {

#ifndef _WIN64
// The full record, as the shell of every supported Windows expects it.
static_assert(sizeof(NOTIFYICONDATAW) == 956, "NOTIFYICONDATAW must be the full record");
#endif

namespace {

// The fields every call names; the callback, icon and tooltip only go with an add. Under
// version 4 the shell shows the standard tip only while asked to.
NOTIFYICONDATAW TrayRecord(HWND window)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    return data;
}

// Where the tray menu opens: the anchor of the event; a keyboard's may lie on no monitor, then
// the icon itself, or else the cursor.
POINT TrayMenuPoint(IOutsideWorld& outside, HWND window, POINT anchor)
{
    RECT icon{};
    if (::MonitorFromPoint(anchor, MONITOR_DEFAULTTONULL))
        return anchor;
    if (outside.NotifyIconRect(window, TRAY_ICON_ID, icon))
        return POINT{icon.left + (icon.right - icon.left) / 2, icon.top + (icon.bottom - icon.top) / 2};
    POINT cursor{};
    ::GetCursorPos(&cursor);
    return cursor;
}

void ShowTrayMenu(IOutsideWorld& outside, HWND window, HMENU menu, POINT anchor)
{
    const POINT at = TrayMenuPoint(outside, window, anchor);
    // Without this the menu would not close when the user clicks elsewhere.
    outside.SetForegroundWindow(window);
    const UINT command = outside.TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, window);
    if (command != 0)
    {
        // Posted, as the menu itself would: it runs once the menu has gone.
        ::PostMessageW(window, WM_COMMAND, command, 0);
    }
    else
    {
        // Closed with Esc or a click elsewhere: the keyboard goes back to the notification area.
        NOTIFYICONDATAW data = TrayRecord(window);
        data.uFlags = 0;
        outside.NotifyIcon(NIM_SETFOCUS, data);
    }
    // Windows asks for a switch to this task after a tray menu, or the next one may close at once.
    ::PostMessageW(window, WM_NULL, 0, 0);
}

// Newer than Windows 7: looked up at run time, so that the program still starts there.
template <typename Function>
Function User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

UINT SystemDpi()
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// The notification area lies on the taskbar's monitor, wherever the window is; before
// Windows 10 only the system's scale is known.
UINT TrayDpi(IOutsideWorld& outside)
{
    const UINT dpi = outside.TaskbarDpi();
    return dpi ? dpi : SystemDpi();
}

int SmallIconSize(UINT dpi)
{
    const auto metricForDpi = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    const int size = metricForDpi ? metricForDpi(SM_CXSMICON, dpi)
                                  : ::MulDiv(::GetSystemMetrics(SM_CXSMICON), static_cast<int>(dpi),
                                             static_cast<int>(SystemDpi()));
    // A message may carry any scale: nothing below a legible icon or beyond the largest image.
    return std::clamp(size, 8, 256);
}

UniqueIcon LoadSmallIcon(int size)
{
    // Drawn from the image of that size, so that the shell has nothing to scale.
    return UniqueIcon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// "Mon 11:00 PM": the short day name and the time in the user's own formats, the seconds
// only where the time has them; "11:00 PM" without the day.
std::wstring DayAndTime(IOutsideWorld& outside, long long second, bool withDay = true)
{
    std::tm local{};
    SYSTEMTIME time{};
    if (!outside.LocalTime(second, local) || !COleDateTime::FromLocalTime(local).GetAsSystemTime(time))
        return std::wstring();
    wchar_t day[64] = {};
    wchar_t clock[64] = {};
    if ((withDay && !::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, L"ddd", day, 64, nullptr)) ||
        !::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, local.tm_sec ? 0 : TIME_NOSECONDS, &time, nullptr, clock, 64))
        return std::wstring();
    return withDay ? std::wstring(day) + L" " + clock : std::wstring(clock);
}

} // namespace

std::wstring ClockText(IOutsideWorld& outside, long long second)
{
    return DayAndTime(outside, second, false);
}

std::wstring CVeskaroDlg::TrayTip()
{
    long long off = 0, on = 0;
    const bool postponed = m_turnOff.NextTurnOff(off);
    if (!m_turnOff.NextOccurrenceOf(&ScheduleTimes::turnOn, on))
        on = -1;
    // After a sleep through it, a time already gone would be named until something else changed.
    m_trayTip.Names(off < 0 || (on >= 0 && on < off) ? on : off);
    const auto format = [this](long long second) { return DayAndTime(m_outside, second); };
    return TrayTipText(m_env.applicationName, off, on, m_turnOff.IsSkipSet(), m_turnOff.IsHeld(), format, postponed);
}

void CVeskaroDlg::UpdateTrayTip()
{
    const UINT check = m_turnOff.IsSkipSet() ? MF_CHECKED : MF_UNCHECKED;
    for (HMENU menu : {m_menuMain.Get(), m_menuTray.Get()})
        ::CheckMenuItem(::GetSubMenu(menu, 0), ID_SKIP_NEXT_TURN_OFF, MF_BYCOMMAND | check);
    m_turnOff.OnNextTurnOffChanged();
    // An icon still to be added takes the tip with it.
    const std::wstring tip = TrayTip();
    if (m_trayIconRetry.Pending() || !m_trayTip.Changed(tip))
        return;
    NOTIFYICONDATAW data = TrayRecord(m_hWnd);
    data.uFlags = NIF_TIP | NIF_SHOWTIP;
    ::lstrcpynW(data.szTip, tip.c_str(), ARRAYSIZE(data.szTip));
    m_outside.NotifyIcon(NIM_MODIFY, data);
}

void CVeskaroDlg::ShowTrayBalloon(const std::wstring& text)
{
    NOTIFYICONDATAW data = TrayRecord(m_hWnd);
    data.uFlags = NIF_INFO | NIF_SHOWTIP;
    // An empty text takes a balloon back; none in the quiet time after a first sign-in.
    data.dwInfoFlags = NIIF_INFO | NIIF_RESPECT_QUIET_TIME;
    ::lstrcpynW(data.szInfo, text.c_str(), ARRAYSIZE(data.szInfo));
    ::lstrcpynW(data.szInfoTitle, m_env.applicationName.c_str(), ARRAYSIZE(data.szInfoTitle));
    m_outside.NotifyIcon(NIM_MODIFY, data);
}

void CVeskaroDlg::LoadTrayIcon()
{
    m_iTrayIconSize = SmallIconSize(TrayDpi(m_outside));
    m_hTrayIcon = LoadSmallIcon(m_iTrayIconSize);
}

void CVeskaroDlg::UpdateTrayIconScale()
{
    const int size = SmallIconSize(TrayDpi(m_outside));
    if (size == m_iTrayIconSize)
        return;
    UniqueIcon icon = LoadSmallIcon(size);
    if (!icon)
        return;
    NOTIFYICONDATAW data = TrayRecord(m_hWnd);
    data.uFlags = NIF_ICON | NIF_SHOWTIP; // the callback and tooltip stay as added, and shown
    data.hIcon = icon.Get();
    if (!m_outside.NotifyIcon(NIM_MODIFY, data))
        return; // whatever the shell shows is still the old icon
    // The shell has the new icon: only now may the old one go.
    m_hTrayIcon = std::move(icon);
    m_iTrayIconSize = size;
}

void CVeskaroDlg::OnSettingChange()
{
    // A new scale of the taskbar's monitor arrives this way when the window is elsewhere,
    // and a new time format of the user's, in which the schedules' times are compared.
    UpdateTrayIconScale();
    m_schedules.RefreshTexts();
}

void CVeskaroDlg::AddTrayIcon()
{
    m_trayIconRetry.Start(!TryAddTrayIcon(false));
}

bool CVeskaroDlg::TryAddTrayIcon(bool retry)
{
    NOTIFYICONDATAW data = TrayRecord(m_hWnd);
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = m_hTrayIcon ? m_hTrayIcon.Get() : m_hIcon;
    // A long application name is cut to what the tooltip holds, terminator included.
    const std::wstring tip = TrayTip();
    ::lstrcpynW(data.szTip, tip.c_str(), ARRAYSIZE(data.szTip));
    // An add that timed out may have reached the shell all the same; then only a
    // modification succeeds.
    if (!m_outside.NotifyIcon(NIM_ADD, data) && !(retry && m_outside.NotifyIcon(NIM_MODIFY, data)))
        return false;
    // The shell forgets the version with the icon. Version 4, which every shell since Vista's
    // knows, reports the keyboard's events and the anchor of each.
    NOTIFYICONDATAW version = TrayRecord(m_hWnd);
    version.uFlags = 0;
    version.uVersion = NOTIFYICON_VERSION_4;
    if (!m_outside.NotifyIcon(NIM_SETVERSION, version))
        return false; // a busy shell: without it no menu would open, so the retry asks again
    m_trayTip.Changed(tip);
    if (HMENU trayMenu = ::GetSubMenu(m_menuTray.Get(), 0))
        ::SetMenuDefaultItem(trayMenu, ID_CONFIGURE, FALSE);
    return true;
}

// A shell that refused the icon at a slow sign-in sends no "TaskbarCreated" later.
void CVeskaroDlg::RetryTrayIcon()
{
    if (m_trayIconRetry.Due())
        m_trayIconRetry.Tried(TryAddTrayIcon(true));
}

void CVeskaroDlg::RemoveTrayIcon()
{
    NOTIFYICONDATAW data = TrayRecord(m_hWnd);
    m_outside.NotifyIcon(NIM_DELETE, data);
}

LRESULT CVeskaroDlg::OnTaskbarCreated()
{
    // A restarted shell has forgotten the icon, and the scale may have changed meanwhile.
    RemoveTrayIcon();
    LoadTrayIcon();
    AddTrayIcon();
    return 1;
}

LRESULT CVeskaroDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam)
{
    // Version 4: the low word is the event, the high word the icon's id, wParam the anchor on the screen.
    switch (LOWORD(lParam))
    {
    case WM_LBUTTONDBLCLK:
    case NIN_KEYSELECT: // Space or Enter on the icon
        ShowMainWindow();
        break;
    // A right-click sends WM_RBUTTONUP first: the menu opens here alone, or it would open twice.
    case WM_CONTEXTMENU: // the right button, Shift+F10 or the Apps key
        ShowTrayMenu(m_outside, m_hWnd, ::GetSubMenu(m_menuTray.Get(), 0),
                     POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
        break;
    default:
        break;
    }
    return 1;
}

} // namespace veskaro
