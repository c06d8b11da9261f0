// The notification-area icon: the record handed to the shell, its removal, its return
// after a shell restart, and the callbacks of the mouse and the keyboard.
#include "window/WindowTest.h"

#include "res/resource.h"

namespace veskaro::testing {
namespace {

using TrayIcon = MainWindowTest;

UINT TaskbarCreated()
{
    return ::RegisterWindowMessageW(L"TaskbarCreated");
}

struct BitmapTraits
{
    static HBITMAP Invalid() noexcept { return nullptr; }
    static void Close(HBITMAP bitmap) noexcept { ::DeleteObject(bitmap); }
};

// The width of an icon's image in pixels; 0 for a handle that is no icon (any more).
LONG IconWidth(HICON icon)
{
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info))
        return 0;
    const UniqueHandle<HBITMAP, BitmapTraits> mask(info.hbmMask), color(info.hbmColor);
    BITMAP bitmap{};
    ::GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap);
    return bitmap.bmWidth;
}

TEST_F(TrayIcon, AddsTheFullRecordWithIconTooltipAndCallback)
{
    OpenMainWindow();
    ASSERT_EQ(m_outside.notifyIcons.size(), 2u);
    const NotifyIconCall& add = m_outside.notifyIcons[0];
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.data.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(add.data.hWnd, Window());
    EXPECT_EQ(add.data.uID, 90u);
    EXPECT_EQ(add.data.uFlags, 7u | NIF_SHOWTIP);
    EXPECT_EQ(add.data.uCallbackMessage, 1025u);
    // Icon 128 at the small size the tray shows, not the window's large one.
    EXPECT_EQ(add.data.hIcon, Dlg().m_hTrayIcon.Get());
    EXPECT_NE(add.data.hIcon, Dlg().m_hIcon);
    EXPECT_EQ(IconWidth(add.data.hIcon), ::GetSystemMetrics(SM_CXSMICON));
    EXPECT_STREQ(add.data.szTip, kTestAppName);
    // No balloon, no state; version 4 is asked for apart, for the keyboard's events.
    EXPECT_EQ(add.data.dwState, 0u);
    EXPECT_EQ(add.data.szInfo[0], L'\0');
    const NotifyIconCall& version = m_outside.notifyIcons[1];
    EXPECT_EQ(version.message, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_TRUE(version.data.uVersion == 4u && version.data.hWnd == Window() && version.data.uID == 90u);
}

TEST_F(TrayIcon, DestroyingTheWindowDeletesTheIcon)
{
    OpenMainWindow();
    HWND window = Window();
    const HICON trayIcon = Dlg().m_hTrayIcon.Get();
    ASSERT_GT(IconWidth(trayIcon), 0);
    ::DestroyWindow(window);
    EXPECT_EQ(IconWidth(trayIcon), 0) << "the tray icon outlived the window";
    ASSERT_EQ(m_outside.notifyIcons.size(), 3u);
    const NotifyIconCall& remove = m_outside.notifyIcons[2];
    EXPECT_EQ(remove.message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(remove.data.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(remove.data.hWnd, window);
    EXPECT_EQ(remove.data.uID, 90u);
    EXPECT_EQ(remove.data.uFlags, 7u | NIF_SHOWTIP);
    EXPECT_EQ(remove.data.hIcon, nullptr);
    EXPECT_EQ(remove.data.szTip[0], L'\0');
}

TEST_F(TrayIcon, ShellRestartRemovesAndAddsTheIconAgain)
{
    OpenMainWindow();
    m_outside.log.clear();
    m_outside.notifyIcons.clear();
    EXPECT_EQ(Send(TaskbarCreated()), 1);
    ASSERT_EQ(m_outside.notifyIcons.size(), 3u);
    EXPECT_EQ(m_outside.notifyIcons[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(m_outside.notifyIcons[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(m_outside.notifyIcons[2].message, static_cast<DWORD>(NIM_SETVERSION));
    EXPECT_STREQ(m_outside.notifyIcons[1].data.szTip, kTestAppName);
    EXPECT_EQ(m_outside.notifyIcons[1].data.hIcon, Dlg().m_hTrayIcon.Get());
    EXPECT_EQ(m_outside.notifyIcons[1].data.uCallbackMessage, static_cast<UINT>(WM_TRAY_NOTIFY));
}

TEST_F(TrayIcon, NewScaleOfTheTaskbarsMonitorModifiesTheIconAndFreesTheOldOneOnlyOnceTheShellHasIt)
{
    OpenMainWindow();
    const HICON before = Dlg().m_hTrayIcon.Get();
    const LONG startWidth = IconWidth(before);
    HDC screen = ::GetDC(nullptr);
    // 250 % of the screen's scale: at 100 % a 40-pixel icon, one of the PNG images.
    const UINT dpi = ::GetDeviceCaps(screen, LOGPIXELSY) * 5 / 2;
    ::ReleaseDC(nullptr, screen);
    RECT suggested{10, 20, 610, 520};
    // The window moved to a monitor at that scale; the notification area stays where it was.
    Send(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(m_outside.notifyIcons.size(), 2u);
    RECT window{};
    ::GetWindowRect(Window(), &window);
    EXPECT_TRUE(::EqualRect(&window, &suggested));

    m_outside.taskbarDpi = dpi;
    m_outside.notifyIconSucceeds = false;
    Send(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
    EXPECT_EQ(Dlg().m_hTrayIcon.Get(), before) << "the shell still shows the old icon";
    EXPECT_EQ(IconWidth(before), startWidth);

    m_outside.notifyIconSucceeds = true;
    LONG widthDuringModify = 0;
    m_outside.onNotifyIcon = [&] { widthDuringModify = IconWidth(before); };
    Send(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS);
    const NotifyIconCall& modify = m_outside.notifyIcons.back();
    EXPECT_EQ(modify.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(modify.data.uFlags, static_cast<UINT>(NIF_ICON | NIF_SHOWTIP)) << "the tip and callback must stay";
    EXPECT_EQ(IconWidth(modify.data.hIcon), ::GetSystemMetrics(SM_CXSMICON) * 5 / 2);
    EXPECT_EQ(modify.data.hIcon, Dlg().m_hTrayIcon.Get());
    EXPECT_EQ(widthDuringModify, startWidth);
    EXPECT_EQ(IconWidth(before), 0) << "the old icon outlived the change";

    // Before Windows 10 the taskbar's scale is unknown: the system's serves.
    m_outside.taskbarDpi = 0;
    Send(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(IconWidth(m_outside.notifyIcons.back().data.hIcon), startWidth);
}

TEST_F(TrayIcon, AFailedAddIsTriedAgainFromTheTickUntilTheShellHoldsTheIcon)
{
    // A slow sign-in: the shell refuses the add at start, both the add and the probe of the
    // first retry and the add of the second, whose probe finds the icon; no "TaskbarCreated".
    m_outside.notifyIconFailures = 4;
    OpenMainWindow();
    HMENU tray = ::GetSubMenu(Dlg().m_menuTray.Get(), 0);
    EXPECT_EQ(::GetMenuDefaultItem(tray, FALSE, 0), static_cast<UINT>(-1));
    EXPECT_TRUE(m_outside.messageBoxes.empty());
    const auto sent = [this] {
        std::vector<DWORD> messages;
        for (const NotifyIconCall& call : m_outside.notifyIcons)
            messages.push_back(call.message);
        return messages;
    };
    for (int tick = 0; tick < 30; ++tick)
        Send(WM_TIMER, TIMER_SCHEDULE);
    EXPECT_EQ(sent(), (std::vector<DWORD>{NIM_ADD, NIM_ADD, NIM_MODIFY, NIM_ADD, NIM_MODIFY, NIM_SETVERSION}));
    EXPECT_EQ(::GetMenuDefaultItem(tray, FALSE, 0), static_cast<UINT>(ID_CONFIGURE));

    // A shell that never takes it is asked for ten minutes, then left to "TaskbarCreated".
    m_outside.notifyIconSucceeds = false;
    EXPECT_EQ(Send(TaskbarCreated()), 1);
    for (int tick = 0; tick < 700; ++tick)
        Send(WM_TIMER, TIMER_SCHEDULE);
    EXPECT_EQ(sent().size(), 6u + 2u + 2u * 120u);
    m_outside.notifyIconSucceeds = true;
    EXPECT_EQ(Send(TaskbarCreated()), 1);
    EXPECT_EQ(sent().back(), static_cast<DWORD>(NIM_SETVERSION));
    int refusals = 1; // a version refused (no menu would open) is asked for again with the icon
    m_outside.onNotifyIcon = [&] { m_outside.notifyIconFailures = sent().back() == NIM_SETVERSION && refusals-- > 0; };
    for (int tick = (Send(TaskbarCreated()), 0); tick < 30; ++tick)
        Send(WM_TIMER, TIMER_SCHEDULE);
    const std::vector<DWORD> all = sent();
    EXPECT_EQ(std::count(all.begin(), all.end(), NIM_SETVERSION), 4);
}

TEST_F(TrayIcon, LongApplicationNameIsCutTo127Characters)
{
    m_env.applicationName = std::wstring(100, L'a') + std::wstring(100, L'b');
    OpenMainWindow();
    ASSERT_FALSE(m_outside.notifyIcons.empty());
    const std::wstring tip = m_outside.notifyIcons[0].data.szTip;
    EXPECT_EQ(tip, std::wstring(100, L'a') + std::wstring(27, L'b'));
}

TEST_F(TrayIcon, NameOf127CharactersFitsWhole)
{
    m_env.applicationName = std::wstring(126, L'x') + L"y";
    OpenMainWindow();
    ASSERT_FALSE(m_outside.notifyIcons.empty());
    EXPECT_EQ(std::wstring(m_outside.notifyIcons[0].data.szTip), m_env.applicationName);
}

TEST_F(TrayIcon, DoubleClickAndEnterOrSpaceShowTheHiddenWindow)
{
    OpenMainWindow();
    // The anchor and the high word are not examined.
    for (UINT event : {WM_LBUTTONDBLCLK, NIN_KEYSELECT})
    {
        ::ShowWindow(Window(), SW_HIDE);
        EXPECT_EQ(Send(WM_TRAY_NOTIFY, 12345, MAKELPARAM(event, 77)), 1);
        EXPECT_TRUE(::IsWindowVisible(Window())) << event;
        EXPECT_FALSE(::IsIconic(Window()));
    }
}

TEST_F(TrayIcon, DoubleClickRestoresAMinimisedWindow)
{
    OpenMainWindow();
    ::ShowWindow(Window(), SW_SHOW);
    ::ShowWindow(Window(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Window()));
    EXPECT_EQ(Send(WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_LBUTTONDBLCLK), 1);
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_FALSE(::IsIconic(Window()));
}

TEST_F(TrayIcon, OtherEventsAndASingleClickDoNothing)
{
    OpenMainWindow();
    m_outside.log.clear();
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDBLCLK,
                       NIN_SELECT})
    {
        EXPECT_EQ(Send(WM_TRAY_NOTIFY, MAKEWPARAM(321, 234), MAKELPARAM(mouse, TRAY_ICON_ID)), 1) << mouse;
    }
    EXPECT_FALSE(::IsWindowVisible(Window()));
    EXPECT_TRUE(m_outside.log.empty());
}

TEST_F(TrayIcon, RightClickAndMenuKeyOpenTheTrayMenuOnceAtTheAnchorInTheForeground)
{
    OpenMainWindow();
    // Asked for before the menu: what Windows grants is its foreground lock's to decide.
    std::vector<HWND> foregroundAsked;
    m_outside.onTrackPopupMenu = [&] { foregroundAsked = m_outside.foregroundRequests; };
    m_outside.notifyIcons.clear();
    m_outside.notifyIconRect = RECT{500, 700, 516, 716};

    // A right-click sends the button's release and then the menu's event; Shift+F10 the
    // latter alone, and its anchor may lie on no monitor: then the icon's middle serves.
    EXPECT_EQ(Send(WM_TRAY_NOTIFY, MAKEWPARAM(321, 234), MAKELPARAM(WM_RBUTTONUP, TRAY_ICON_ID)), 1);
    EXPECT_EQ(Send(WM_TRAY_NOTIFY, MAKEWPARAM(321, 234), MAKELPARAM(WM_CONTEXTMENU, TRAY_ICON_ID)), 1);
    Send(WM_TRAY_NOTIFY, MAKEWPARAM(-30000, -30000), MAKELPARAM(WM_CONTEXTMENU, TRAY_ICON_ID));

    ASSERT_EQ(m_outside.popupMenus.size(), 2u);
    const TrackPopupMenuCall& popup = m_outside.popupMenus[0];
    EXPECT_EQ(popup.menu, ::GetSubMenu(Dlg().m_menuTray.Get(), 0));
    EXPECT_NE(popup.menu, nullptr);
    EXPECT_EQ(popup.flags, static_cast<UINT>(TPM_RETURNCMD));
    EXPECT_EQ(std::make_pair(popup.x, popup.y), std::make_pair(321, 234));
    EXPECT_EQ(popup.owner, Window());
    EXPECT_EQ(foregroundAsked, std::vector<HWND>(2, Window()));
    EXPECT_EQ(std::make_pair(m_outside.popupMenus[1].x, m_outside.popupMenus[1].y), std::make_pair(508, 708));
    // Closed with nothing chosen: the keyboard goes back to the notification area.
    ASSERT_EQ(m_outside.notifyIcons.size(), 2u);
    EXPECT_EQ(m_outside.notifyIcons[1].message, static_cast<DWORD>(NIM_SETFOCUS));
}

TEST_F(TrayIcon, TrayMenuCommandsArriveAtTheWindow)
{
    OpenMainWindow();
    m_outside.notifyIcons.clear();
    // The person picks "Configure...": the menu returns it, to arrive as the menu's command.
    m_outside.popupMenuCommand = ID_CONFIGURE;
    Send(WM_TRAY_NOTIFY, MAKEWPARAM(321, 234), MAKELPARAM(WM_CONTEXTMENU, TRAY_ICON_ID));
    PumpMessages();
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_TRUE(m_outside.notifyIcons.empty()) << "the focus stays with the window the command shows";
}

} // namespace
} // namespace veskaro::testing
