// The black screen: where it lies, what closes it, and the menu command.
#include "window/ScheduleTestSupport.h"

#include "power/DlgBlackScreen.h"
#include "res/resource.h"

namespace veskaro::testing {
namespace {

using BlackScreen = ScheduleWindowTest;

TEST_F(BlackScreen, CoversTheWholeVirtualScreenInBlackAndDisablesItsOwner)
{
    m_outside.foregroundRefused = true;
    Open();
    RECT rects[3]{};
    LRESULT keyUp = -1, keyDown = 0;
    LONG_PTR style = 0, extendedStyle = 0;
    LOGBRUSH dialogBrush{}, staticBrush{};
    BOOL ownerEnabled = TRUE, anyUp = FALSE;
    std::vector<bool> closes;
    HWND shown = nullptr;
    BlackScreenWatcher watcher(Window(), [&](HWND blackScreen, int) {
        shown = blackScreen;
        ::GetWindowRect(blackScreen, &rects[0]);
        // Where the monitor holding most of it has another scale, Windows' dialog manager
        // rescales it (Wine does not, so the test leaves it short itself); so may a new display.
        for (UINT change : {WM_DPICHANGED, WM_DISPLAYCHANGE})
        {
            RECT suggested{0, 0, 100, 100};
            ::SetWindowPos(blackScreen, nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
            ::SendMessageW(blackScreen, change, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&suggested));
            ::GetWindowRect(blackScreen, &rects[change == WM_DPICHANGED ? 1 : 2]);
        }
        style = ::GetWindowLongPtrW(blackScreen, GWL_STYLE);
        extendedStyle = ::GetWindowLongPtrW(blackScreen, GWL_EXSTYLE);
        ownerEnabled = ::IsWindowEnabled(Window());
        HDC dc = ::GetDC(blackScreen);
        auto brush = reinterpret_cast<HGDIOBJ>(::SendMessageW(blackScreen, WM_CTLCOLORDLG,
                                                              reinterpret_cast<WPARAM>(dc),
                                                              reinterpret_cast<LPARAM>(blackScreen)));
        ::GetObjectW(brush, sizeof(dialogBrush), &dialogBrush);
        brush = reinterpret_cast<HGDIOBJ>(::SendMessageW(blackScreen, WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc), 0));
        ::GetObjectW(brush, sizeof(staticBrush), &staticBrush);
        ::ReleaseDC(blackScreen, dc);
        anyUp = CDlgBlackScreen::IsAnyUp();
        // Windows+L is released on the secure desktop: forgotten unrepeated, at the lock, or with the keyboard.
        MSG close{};
        const auto holdWin = [&](DWORD time) { m_outside.DeliverKey(WM_KEYDOWN, VK_LWIN, 0, time); };
        const auto pressA = [&](DWORD time) {
            m_outside.DeliverKey(WM_KEYDOWN, 'A', 0, time), m_outside.DeliverKey(WM_KEYUP, 'A', 0, time);
            closes.push_back(::PeekMessageW(&close, blackScreen, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE);
        };
        holdWin(1000), pressA(2900), pressA(3100), holdWin(4000), Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1);
        pressA(4100), holdWin(5000), ::SendMessageW(blackScreen, WM_ACTIVATE, WA_INACTIVE, 0), pressA(5100);
        keyUp = m_outside.DeliverKey(WM_KEYUP, 'A') + m_outside.DeliverKey(WM_KEYDOWN, VK_F15, LLKHF_INJECTED);
        keyDown = m_outside.DeliverKey(WM_KEYDOWN, VK_RETURN) && m_outside.DeliverKey(WM_KEYUP, VK_RETURN);
        if (!::PeekMessageW(&close, blackScreen, WM_CLOSE, WM_CLOSE, PM_NOREMOVE))
            keyDown = 0, PressKey(blackScreen); // not closed by the key: closed all the same, to fail below
    });
    Dlg().ShowBlackScreen(); // returns once closed, its hook removed

    ASSERT_EQ(watcher.Seen(), 1);
    for (const RECT& rect : rects)
    {
        EXPECT_EQ(rect.left, ::GetSystemMetrics(SM_XVIRTUALSCREEN));
        EXPECT_EQ(rect.top, ::GetSystemMetrics(SM_YVIRTUALSCREEN));
        EXPECT_EQ(rect.right - rect.left, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
        EXPECT_EQ(rect.bottom - rect.top, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    }
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_POPUP, 0);
    // Above the taskbar and every other window, asking for the keyboard: Windows may refuse
    // that to a program in the background, where Wine never does. The keyboard then stays
    // with the user's window, and the low-level hook hears the key (no test can press one).
    EXPECT_NE(extendedStyle & WS_EX_TOPMOST, 0);
    ASSERT_FALSE(m_outside.foregroundRequests.empty());
    EXPECT_EQ(m_outside.foregroundRequests.back(), shown);
    EXPECT_EQ(keyUp, 0) << "a release of an earlier key, and a key a program pressed, pass on";
    EXPECT_NE(keyDown, 0) << "pressed and released, swallowed: not typed blind in the window underneath";
    EXPECT_EQ(dialogBrush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(dialogBrush.lbColor, RGB(0, 0, 0));
    EXPECT_EQ(staticBrush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(staticBrush.lbColor, RGB(0, 0, 0));
    EXPECT_EQ(closes, (std::vector<bool>{false, true, true, true}));
    EXPECT_TRUE(anyUp);
    EXPECT_FALSE(CDlgBlackScreen::IsAnyUp());
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(Window()));
}

TEST_F(BlackScreen, ClosesOnAKeyOrButtonPressAndNothingElse)
{
    Open();
    // Keys a program presses pass the hook to the window: F15, Enter and Esc to the dialog manager,
    // Alt+F4 to the system menu. They close it only where no hook could be set.
    const std::pair<UINT, WPARAM> closers[] = {{WM_LBUTTONDOWN, 0}, {WM_MBUTTONDOWN, 0}, {WM_RBUTTONDOWN, 0},
        {WM_KEYDOWN, VK_F15}, {WM_KEYDOWN, VK_RETURN}, {WM_KEYDOWN, VK_ESCAPE}, {WM_SYSKEYDOWN, VK_F4}};
    for (const auto& [closer, key] : closers)
    {
        const bool refused = closer == WM_KEYDOWN || closer == WM_SYSKEYDOWN;
        m_outside.keyboardHookRefused = refused;
        BOOL closeAsked = TRUE, up = FALSE;
        BlackScreenWatcher watcher(Window(), [&](HWND blackScreen, int) {
            for (UINT other : {WM_MOUSEMOVE, WM_MOUSEWHEEL, WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP, WM_KEYUP})
                ::SendMessageW(blackScreen, other, 0, 0);
            MSG pending{};
            closeAsked = ::PeekMessageW(&pending, blackScreen, WM_CLOSE, WM_CLOSE, PM_NOREMOVE);
            for (const auto& [message, programKey] : closers)
                if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && (!refused || programKey == key))
                    ::PostMessageW(blackScreen, message, programKey, message == WM_SYSKEYDOWN ? KF_ALTDOWN << 16 : 0);
            while (::PeekMessageW(&pending, blackScreen, 0, 0, PM_REMOVE)) // as the modal loop does
                if (!::IsDialogMessageW(blackScreen, &pending))
                    ::TranslateMessage(&pending), ::DispatchMessageW(&pending);
            up = ::IsWindowVisible(blackScreen);
            ::PostMessageW(blackScreen, refused ? WM_LBUTTONDOWN : closer, 0, 0); // a key left it up: fails below
        });
        Dlg().ShowBlackScreen(); // returns once closed
        EXPECT_EQ(watcher.Seen(), 1) << closer;
        EXPECT_FALSE(closeAsked) << closer;
        EXPECT_NE(up != FALSE, refused) << closer << " " << key;
        EXPECT_TRUE(m_outside.keyboardHooks.empty()) << closer;
    }
}

TEST_F(BlackScreen, MenuCommandInformsFirstAndDoesNothingElse)
{
    Open();
    BlackScreenWatcher watcher(Window(), [&](HWND blackScreen, int) {
        m_outside.log.push_back(L"BlackScreen");
        PressKey(blackScreen);
    });
    Command(ID_DISPLAY_BLACK_SCREEN);

    ASSERT_EQ(m_outside.messageBoxChecks.size(), 1u);
    const MessageBoxCheckCall& box = m_outside.messageBoxChecks[0];
    EXPECT_EQ(box.owner, Window());
    EXPECT_EQ(box.text, L"The Black Screen Displayed can be Closed by Pressing Left, Middle or Right Mouse Buttons or "
                        L"by Pressing any Keystroke.");
    EXPECT_EQ(box.caption, L"Information about Black Screen Displayed by Veskaro");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(box.defaultResult, IDOK);
    EXPECT_EQ(box.registryValue, L"{d9108ba3-9a61-4398-bfbc-b02102c77e8b}");

    // The black screen alone: no power request, no input, no lock, no log line.
    EXPECT_EQ(Filtered(m_outside.log, {L"MessageBoxCheck", L"BlackScreen", L"MonitorPower", L"SendInput",
                                       L"LockWorkStation"}),
              (Events{L"MessageBoxCheck", L"BlackScreen"}));
    EXPECT_EQ(m_log.Bytes(), "");

    // Exit, or an update's close, while the box is up: no black screen without an owner.
    m_outside.onMessageBox = [this] { Send(WM_CLOSE); };
    ModalWindowWatcher unowned([] { return FindBlackScreen(nullptr); },
                               [](HWND blackScreen, int) { PressKey(blackScreen); });
    Command(ID_DISPLAY_BLACK_SCREEN);
    EXPECT_EQ(unowned.Seen(), 0);
}

} // namespace
} // namespace veskaro::testing
