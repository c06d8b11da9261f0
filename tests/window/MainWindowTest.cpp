// The main window's own commands: the information messages, help and share, showing and
// hiding, the pop-up menu, the About box, painting while minimised and dragging; and every
// command of both menus reaching its handler.
#include "window/WindowTest.h"

#include "framework/DataExchange.h"
#include "res/resource.h"
#include "settings/StartAtLogin.h"
#include "ui/Links.h"

#include <algorithm>
#include <vector>

namespace veskaro::testing {
namespace {

// Records what is sent to the windows of this thread while it lives.
class MessageSpy
{
public:
    struct Sent
    {
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    MessageSpy()
    {
        s_active = this;
        m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &MessageSpy::Hook, nullptr, ::GetCurrentThreadId());
    }
    ~MessageSpy()
    {
        ::UnhookWindowsHookEx(m_hook);
        s_active = nullptr;
    }
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;

    int Count(HWND window, UINT message) const
    {
        int count = 0;
        for (const Sent& sent : m_sent)
            count += sent.window == window && sent.message == message ? 1 : 0;
        return count;
    }
    const Sent* First(HWND window, UINT message) const
    {
        for (const Sent& sent : m_sent)
            if (sent.window == window && sent.message == message)
                return &sent;
        return nullptr;
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HC_ACTION && s_active)
        {
            const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
            s_active->m_sent.push_back({message->hwnd, message->message, message->wParam, message->lParam});
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static MessageSpy* s_active;
    HHOOK m_hook = nullptr;
    std::vector<Sent> m_sent;
};
MessageSpy* MessageSpy::s_active = nullptr;

// While a modal window of this thread runs, a one-shot thread timer looks for it, notes its
// caption and owner, and closes it; the modal loop dispatches the timer.
class ModalCloser
{
public:
    explicit ModalCloser(HWND mainWindow) : m_main(mainWindow)
    {
        s_active = this;
        m_timer = ::SetTimer(nullptr, 0, 50, &ModalCloser::OnTimer);
    }
    ~ModalCloser()
    {
        ::KillTimer(nullptr, m_timer);
        s_active = nullptr;
    }
    ModalCloser(const ModalCloser&) = delete;
    ModalCloser& operator=(const ModalCloser&) = delete;

    bool Found() const { return m_found != nullptr; }
    const std::wstring& Caption() const { return m_caption; }
    HWND Owner() const { return m_owner; }
    std::vector<std::wstring> m_texts; // texts of the child windows, in order
    std::vector<int> m_ids;

    // How to close it; the default is the OK button.
    UINT m_closeCommand = IDOK;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM param)
    {
        auto* self = reinterpret_cast<ModalCloser*>(param);
        if (window != self->m_main && ::IsWindowVisible(window) && !self->m_found)
            self->m_found = window;
        return TRUE;
    }

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD)
    {
        ModalCloser* self = s_active;
        if (!self || self->m_found)
            return;
        ::EnumThreadWindows(::GetCurrentThreadId(), &ModalCloser::Collect, reinterpret_cast<LPARAM>(self));
        if (!self->m_found)
            return;
        self->m_caption = GetWindowTextString(self->m_found);
        self->m_owner = ::GetWindow(self->m_found, GW_OWNER);
        for (HWND child = ::GetWindow(self->m_found, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        {
            self->m_texts.push_back(GetWindowTextString(child));
            self->m_ids.push_back(::GetDlgCtrlID(child));
        }
        ::KillTimer(nullptr, self->m_timer);
        ::SendMessageW(self->m_found, WM_COMMAND, MAKEWPARAM(self->m_closeCommand, BN_CLICKED), 0);
    }

    static ModalCloser* s_active;
    HWND m_main;
    UINT_PTR m_timer = 0;
    HWND m_found = nullptr;
    std::wstring m_caption;
    HWND m_owner = nullptr;
};
ModalCloser* ModalCloser::s_active = nullptr;

std::wstring PercentDecode(const std::wstring& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == L'%' && i + 2 < text.size())
        {
            bytes.push_back(static_cast<char>(std::stoi(std::wstring(text, i + 1, 2), nullptr, 16)));
            i += 2;
        }
        else
        {
            bytes.push_back(static_cast<char>(text[i]));
        }
    }
    std::wstring wide(bytes.size(), L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0],
                                      static_cast<int>(wide.size())));
    return wide;
}

using MainWindow = MainWindowTest;

TEST_F(MainWindow, HowCanMonitorsTurnOnShowsItsInformation)
{
    OpenMainWindow();
    Command(ID_HOW_CAN_MONITORS_TURN_ON);
    ASSERT_EQ(m_outside.messageBoxes.size(), 1u);
    const MessageBoxCall& box = m_outside.messageBoxes[0];
    EXPECT_EQ(box.owner, Window());
    EXPECT_EQ(box.text, L"Monitor(s) can Turn on by any of the given below change\n\nMouse Movement\n"
                        L"Pressing a Keystroke\nBy a Running Application.");
    EXPECT_EQ(box.caption, kTestAppName);
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(box.type, 0x40u);
}

TEST_F(MainWindow, ContactSupportNamesTheAddress)
{
    m_env.applicationName = L"Vesk2";
    OpenMainWindow();
    Command(ID_CONTACT_SUPPORT);
    ASSERT_EQ(m_outside.messageBoxes.size(), 1u);
    const MessageBoxCall& box = m_outside.messageBoxes[0];
    EXPECT_EQ(box.owner, Window());
    EXPECT_EQ(box.text, std::wstring(L"Please Send an EMail to ") + kSupportEmail);
    EXPECT_NE(std::wstring(kSupportEmail).find(L'@'), std::wstring::npos);
    EXPECT_EQ(box.caption, L"Vesk2"); // the application name, whatever the file is called
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

TEST_F(MainWindow, HelpOpensTheProductPageMaximisedWithoutOwnerOrVerb)
{
    OpenMainWindow();
    HELPINFO help{};
    help.cbSize = sizeof(help);
    help.iContextType = HELPINFO_WINDOW;
    EXPECT_EQ(Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), TRUE);
    ASSERT_EQ(m_outside.shellExecutes.size(), 1u);
    const ShellExecuteCall& launch = m_outside.shellExecutes[0];
    EXPECT_EQ(launch.owner, nullptr);
    EXPECT_EQ(launch.verb, L"");
    EXPECT_EQ(launch.file, kProductUrl);
    EXPECT_EQ(launch.show, 3);
}

TEST_F(MainWindow, ShareOpensTheSharePageOverHttpsWithTheProductPageEncoded)
{
    OpenMainWindow();
    Command(ID_SHARE_LINK);
    ASSERT_EQ(m_outside.shellExecutes.size(), 1u);
    const ShellExecuteCall& launch = m_outside.shellExecutes[0];
    EXPECT_EQ(launch.verb, L"Open");
    EXPECT_EQ(launch.show, SW_SHOWMAXIMIZED);
    // Written out by hand for the default addresses (a build may set others).
    if (std::wstring(kProductUrl) == L"https://veskaro.example.org/" &&
        std::wstring(kShareUrl) == L"https://share.example.com/sharer.php")
    {
        EXPECT_EQ(launch.file, L"https://share.example.com/sharer.php?u=https%3A%2F%2Fveskaro.example.org%2F");
    }

    const std::wstring& url = launch.file;
    EXPECT_EQ(url.rfind(L"https://", 0), 0u) << url;
    const std::size_t query = url.find(L"?u=");
    ASSERT_NE(query, std::wstring::npos) << url;
    EXPECT_EQ(url.substr(0, query), kShareUrl);
    EXPECT_NE(url.substr(0, query).find(L"sharer.php"), std::wstring::npos);
    // One parameter whose value holds nothing that would end or split it, and gives the
    // product page back whole.
    const std::wstring value = url.substr(query + 3);
    EXPECT_EQ(value.find_first_not_of(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~%"),
              std::wstring::npos)
        << url;
    EXPECT_EQ(PercentDecode(value), kProductUrl);
}

TEST_F(MainWindow, ShowCommandShowsRestoresAndBringsToTheForeground)
{
    OpenMainWindow();
    ASSERT_FALSE(::IsWindowVisible(Window()));
    Command(ID_CONFIGURE);
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_FALSE(::IsIconic(Window()));
    // What the program asks for: Windows grants the foreground only under its foreground lock
    // (a runner's console in front keeps it), Wine always.
    EXPECT_EQ(m_outside.foregroundRequests, std::vector<HWND>{Window()});

    ::ShowWindow(Window(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Window()));
    Command(ID_CONFIGURE);
    EXPECT_FALSE(::IsIconic(Window()));
    EXPECT_TRUE(::IsWindowVisible(Window()));
}

TEST_F(MainWindow, HideButtonAndMenuCommandHideTheWindowButKeepTheIcon)
{
    OpenMainWindow();
    for (UINT id : {static_cast<UINT>(IDC_HIDE), static_cast<UINT>(ID_HIDE_TO_SYSTEM_TRAY)})
    {
        Command(ID_CONFIGURE);
        ASSERT_TRUE(::IsWindowVisible(Window()));
        MessageSpy spy;
        Command(id);
        EXPECT_FALSE(::IsWindowVisible(Window())) << id;
        // Minimised on its way out, so it leaves towards the taskbar.
        const MessageSpy::Sent* size = spy.First(Window(), WM_SIZE);
        ASSERT_NE(size, nullptr) << id;
        EXPECT_EQ(size->wParam, static_cast<WPARAM>(SIZE_MINIMIZED)) << id;
    }
    EXPECT_EQ(m_outside.notifyIcons.size(), 2u); // the add and its version; no NIM_DELETE
    EXPECT_TRUE(::IsWindow(Window()));
}

TEST_F(MainWindow, EscapeAndEnterHideTheWindow)
{
    OpenMainWindow();
    for (WPARAM key : {static_cast<WPARAM>(VK_ESCAPE), static_cast<WPARAM>(VK_RETURN)})
    {
        Command(ID_CONFIGURE);
        ::SetFocus(::GetDlgItem(Window(), IDC_DAY1)); // no push button has the focus
        ASSERT_TRUE(::IsWindowVisible(Window()));
        // The way the message loop hands keys to the dialog.
        MSG press{::GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_TRUE(::IsDialogMessageW(Window(), &press));
        EXPECT_TRUE(!::IsWindowVisible(Window()) && ::IsIconic(Window())) << key << ": hidden and minimised, as by Hide";
        EXPECT_TRUE(::IsWindow(Window()));
    }
}

TEST_F(MainWindow, MenuButtonAndContextMenuOpenTheMainPopupAtTheCursor)
{
    OpenMainWindow();
    ::SetCursorPos(150, 120);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    Send(WM_COMMAND, MAKEWPARAM(IDC_MENU, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(Window(), IDC_MENU)));
    // The message's own point is not used, nor is the window it names.
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(::GetDlgItem(Window(), IDC_DAY1)), MAKELPARAM(7, 9));
    Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Window()), MAKELPARAM(0xFFFF, 0xFFFF));

    ASSERT_EQ(m_outside.popupMenus.size(), 3u);
    for (const TrackPopupMenuCall& popup : m_outside.popupMenus)
    {
        EXPECT_EQ(popup.menu, ::GetSubMenu(Dlg().m_menuMain.Get(), 0));
        EXPECT_NE(popup.menu, nullptr);
        EXPECT_EQ(popup.flags, 0u);
        EXPECT_EQ(popup.x, cursor.x);
        EXPECT_EQ(popup.y, cursor.y);
        EXPECT_EQ(popup.owner, Window());
    }
}

TEST_F(MainWindow, AboutItemRunsTheAboutBoxModallyOwnedByTheWindow)
{
    OpenMainWindow();
    Command(ID_CONFIGURE);
    ModalCloser closer(Window());
    Send(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    ASSERT_TRUE(closer.Found());
    EXPECT_EQ(closer.Caption(), L"About Veskaro");
    EXPECT_EQ(closer.Owner(), Window());
    const std::vector<std::wstring> texts = closer.m_texts;
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1], L"Veskaro, Version 1.0");
    EXPECT_EQ(texts[2], kSupportEmail);
    EXPECT_EQ(texts[3], L"OK");
    EXPECT_EQ(closer.m_ids[3], IDOK);
    EXPECT_EQ(texts[4], L"v5.1");
    // OK ended the box; the main window stays.
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

TEST_F(MainWindow, AboutItemIgnoresTheLowFourBitsAndEscapeClosesIt)
{
    OpenMainWindow();
    ModalCloser closer(Window());
    closer.m_closeCommand = IDCANCEL;
    Send(WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);
    EXPECT_TRUE(closer.Found());
    EXPECT_EQ(closer.Caption(), L"About Veskaro");
}

TEST_F(MainWindow, OtherSystemCommandsReachTheDefaultProcessing)
{
    OpenMainWindow();
    Command(ID_CONFIGURE);
    Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(Window()));
    Send(WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(::IsIconic(Window()));
    // The close box: the program ends rather than hides.
    HWND window = Window();
    Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(MainWindow, PaintsItsIconOnlyWhileMinimised)
{
    OpenMainWindow();
    Command(ID_CONFIGURE);
    {
        MessageSpy spy;
        Send(WM_PAINT);
        EXPECT_EQ(spy.Count(Window(), WM_ICONERASEBKGND), 0);
    }
    ::ShowWindow(Window(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(Window()));
    MessageSpy spy;
    Send(WM_PAINT);
    const MessageSpy::Sent* erase = spy.First(Window(), WM_ICONERASEBKGND);
    ASSERT_NE(erase, nullptr);
    EXPECT_NE(erase->wParam, 0u); // the paint context's device
}

TEST_F(MainWindow, DragIconIsTheProgramIcon)
{
    OpenMainWindow();
    ASSERT_NE(Dlg().m_hIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(Send(WM_QUERYDRAGICON)), Dlg().m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(Send(WM_GETICON, ICON_BIG)), Dlg().m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(Send(WM_GETICON, ICON_SMALL)), Dlg().m_hIcon);
}

TEST_F(MainWindow, PressOnTheBackgroundMovesTheWindowAsItsCaptionWould)
{
    OpenMainWindow();
    Command(ID_CONFIGURE);
    MessageSpy spy;
    // The move loop that the caption press starts ends with the button's release.
    ::PostMessageW(Window(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    const MessageSpy::Sent* press = spy.First(Window(), WM_NCLBUTTONDOWN);
    ASSERT_NE(press, nullptr);
    EXPECT_EQ(press->wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(press->lParam, 0);
    // The default processing turns it into the system's move command.
    const MessageSpy::Sent* move = spy.First(Window(), WM_SYSCOMMAND);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->wParam & 0xFFF0, static_cast<WPARAM>(SC_MOVE));
    PumpMessages();
}

TEST_F(MainWindow, ExitCommandsCloseAfterTheCommandReturns)
{
    for (UINT id : {static_cast<UINT>(ID_EXIT), static_cast<UINT>(ID_TRAY_EXIT)})
    {
        OpenMainWindow();
        HWND window = Window();
        m_outside.log.clear();
        Command(id);
        // Posted: still there when the menu command returns.
        EXPECT_TRUE(::IsWindow(window)) << id;
        PumpMessages();
        EXPECT_FALSE(::IsWindow(window)) << id;
        // The power subscription ends before the icon goes.
        const auto& log = m_outside.log;
        const auto unsubscribe = std::find(log.begin(), log.end(), L"UnregisterPowerSettingNotification");
        const auto removeIcon = std::find(log.begin(), log.end(), L"NotifyIcon " + std::to_wstring(NIM_DELETE));
        ASSERT_NE(unsubscribe, log.end()) << id;
        ASSERT_NE(removeIcon, log.end()) << id;
        EXPECT_LT(unsubscribe, removeIcon) << id;
    }

    // An installer closes it through the restart manager as Exit would; a logoff or
    // shutdown, or an end that did not come, is left to the system.
    OpenMainWindow();
    // Registered for restart always. Withdrawn at a logoff or shutdown while the Run value
    // starts it, so that a sign-in starts it once; not for the restart manager's close, nor
    // without that value; registered again when the end does not come.
    UniqueKey run; // every profile has it, a fresh prefix may not
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_READ, nullptr, run.Put(), nullptr);
    SetStartAtLogin(kTestAppName, true);
    EXPECT_EQ(Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    Send(WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
    Send(WM_ENDSESSION, FALSE, ENDSESSION_CLOSEAPP);
    SetStartAtLogin(kTestAppName, false);
    Send(WM_QUERYENDSESSION, 0, 0);
    EXPECT_EQ(m_outside.restartUnregistrations, 1);
    EXPECT_EQ(m_outside.restartRegistrations.size(), 1u);
    Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF | ENDSESSION_CLOSEAPP);
    Send(WM_ENDSESSION, TRUE, 0);
    ASSERT_TRUE(::IsWindow(Window()));
    Send(WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_EQ(Window(), nullptr);
    EXPECT_EQ(m_outside.notifyIcons.back().message, static_cast<DWORD>(NIM_DELETE));
}

// Each command of both menus, by the id the menu resource carries, reaches a handler that
// acts; the handlers of other areas are checked here only for a first visible effect.
TEST_F(MainWindow, EveryMenuCommandReachesItsHandler)
{
    OpenMainWindow();
    Command(ID_CONFIGURE);
    std::vector<UINT> ids;
    for (UINT menuId : {IDR_MENU_MAIN, IDR_MENU_TRAY})
    {
        HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
        HMENU popup = ::GetSubMenu(menu, 0);
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
            if (::GetMenuItemID(popup, i) != 0)
                ids.push_back(::GetMenuItemID(popup, i));
        ::DestroyMenu(menu);
    }
    ASSERT_EQ(ids.size(), 18u);

    for (UINT id : ids)
    {
        SCOPED_TRACE(id);
        if (!Window())
            OpenMainWindow();
        Command(ID_CONFIGURE);
        HWND window = Window();
        const std::size_t logBefore = m_outside.log.size();
        MessageSpy spy;
        switch (id)
        {
        case ID_TURN_OFF_MONITORS_NOW:
        case ID_TURN_OFF_AND_ON_AFTER_10_SECONDS:
        {
            Command(id);
            const MessageSpy::Sent* power = spy.First(window, WM_SYSCOMMAND);
            ASSERT_NE(power, nullptr);
            EXPECT_EQ(power->wParam & 0xFFF0, static_cast<WPARAM>(SC_MONITORPOWER));
            EXPECT_EQ(power->lParam, 2);
            // The turn-on timer exists only after the second command.
            EXPECT_EQ(::KillTimer(window, TIMER_TURN_ON) != FALSE, id == ID_TURN_OFF_AND_ON_AFTER_10_SECONDS);
            break;
        }
        case ID_LOCK_PC_NOW:
            Command(id);
            EXPECT_EQ(m_outside.lockCalls, 1);
            break;
        case ID_DISPLAY_BLACK_SCREEN:
        {
            ModalCloser closer(window);
            closer.m_closeCommand = IDCANCEL;
            Command(id);
            EXPECT_EQ(m_outside.messageBoxChecks.size(), 1u);
            EXPECT_TRUE(closer.Found());
            break;
        }
        case ID_SCHEDULES:
        case ID_SETTINGS:
        {
            ModalCloser closer(window);
            closer.m_closeCommand = IDCANCEL;
            Command(id);
            EXPECT_TRUE(closer.Found());
            EXPECT_EQ(closer.Owner(), window);
            break;
        }
        case ID_CLEAR_MONITOR_STATE_LIST:
        {
            HWND list = ::GetDlgItem(window, IDC_MONITOR_STATE_LIST);
            ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"line"));
            Command(id);
            EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
            break;
        }
        case ID_HOW_CAN_MONITORS_TURN_ON:
        case ID_CONTACT_SUPPORT:
            Command(id);
            EXPECT_EQ(m_outside.log.size(), logBefore + 1);
            EXPECT_EQ(m_outside.log.back(), L"MessageBox");
            break;
        case ID_SHARE_LINK:
            Command(id);
            EXPECT_EQ(m_outside.log.size(), logBefore + 1);
            EXPECT_EQ(m_outside.log.back(), L"ShellExecute");
            break;
        case ID_HIDE_TO_SYSTEM_TRAY:
            Command(id);
            EXPECT_FALSE(::IsWindowVisible(window));
            break;
        case ID_CONFIGURE:
            ::ShowWindow(window, SW_HIDE);
            Command(id);
            EXPECT_TRUE(::IsWindowVisible(window));
            break;
        case ID_SKIP_NEXT_TURN_OFF: // nothing scheduled: nothing to skip or postpone
        case ID_POSTPONE_NEXT_TURN_OFF:
            EXPECT_EQ((Command(id), ::GetMenuState(Dlg().m_menuTray.Get(), ID_SKIP_NEXT_TURN_OFF, 0)), 0u);
            break;
        case ID_EXIT:
        case ID_TRAY_EXIT:
            Command(id);
            PumpMessages();
            EXPECT_FALSE(::IsWindow(window));
            break;
        default:
            ADD_FAILURE() << "a menu command without a check";
        }
    }
}

} // namespace
} // namespace veskaro::testing
