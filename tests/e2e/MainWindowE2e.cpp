// The real program's window from outside: its controls as the template lays them out,
// and the three ways it ends.
#include "e2e/E2eSupport.h"

#include "res/resource.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <vector>

namespace veskaro::testing {
namespace {

class MainWindowE2e : public ::testing::Test
{
protected:
    ProgramSettings m_settings;
};

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// Whether the shell holds the program's icon, asked as any program may ask: where it is, or
// else a modify that changes nothing, which the shell refuses for an icon it does not hold.
// Wine's shell has no Shell_NotifyIconGetRect (E_NOTIMPL), and Windows may not place an
// icon kept in the hidden part of the notification area.
bool HasTrayIcon(HWND window)
{
    NOTIFYICONIDENTIFIER icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = TRAY_ICON_ID;
    RECT place{};
    if (SUCCEEDED(::Shell_NotifyIconGetRect(&icon, &place)))
        return true;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// Ends the running program, whose icon is in the tray, by one message and expects a clean end.
void ExpectEndsCleanly(UINT message, WPARAM wParam)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start(L":silent"));
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFor([&] { return HasTrayIcon(window); }, 5000));

    ASSERT_TRUE(::PostMessageW(window, message, wParam, 0));
    DWORD exitCode = 99;
    ASSERT_TRUE(program.WaitForExit(10000, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(CountWindows(program.ProcessId(), kTestAppName), 0);
    // Wine also drops the icons of a process that ended, so whether the program removed its
    // own icon is shown by the window tests (NIM_DELETE when the window is destroyed).
}

TEST_F(MainWindowE2e, ExitFromTheMainMenuEndsTheProgram)
{
    ExpectEndsCleanly(WM_COMMAND, ID_EXIT);
}

TEST_F(MainWindowE2e, ExitFromTheTrayMenuEndsTheProgram)
{
    ExpectEndsCleanly(WM_COMMAND, ID_TRAY_EXIT);
}

TEST_F(MainWindowE2e, CloseBoxEndsTheProgramRatherThanHidingIt)
{
    ExpectEndsCleanly(WM_SYSCOMMAND, SC_CLOSE);
}

TEST_F(MainWindowE2e, ControlsCarryTheTemplateTextsInTabOrder)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start());
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(window), kTestAppName);

    struct Expected
    {
        int id;
        const wchar_t* className;
        const wchar_t* text; // null: not compared (filled at run time)
    };
    const std::vector<Expected> expected = {
        {IDC_MENU, L"Button", L"&Menu"},
        {-1, L"Button", L"Turn &Off Monitor (s) on Selected Weekday (s)"},
        {IDC_DAY1, L"Button", L"Monday"},
        {IDC_DAY2, L"Button", L"Tuesday"},
        {IDC_DAY3, L"Button", L"Wednesday"},
        {IDC_DAY4, L"Button", L"Thursday"},
        {IDC_DAY5, L"Button", L"Friday"},
        {IDC_DAY6, L"Button", L"Saturday"},
        {IDC_DAY7, L"Button", L"Sunday"},
        {-1, L"Static", L"&At"},
        {IDC_TIME_TURN_OFF, L"SysDateTimePick32", nullptr},
        {IDC_AUTO_DISPLAY_BLACK_SCREEN, L"Button", L"&Display Black Screen"},
        {IDC_TURN_OFF_LOCK_PC, L"Button", L"And &Lock PC"},
        {-1, L"Button", L"Turn O&n Monitor (s) on Selected Weekday (s)"},
        {IDC_DAY8, L"Button", L"Monday"},
        {IDC_DAY9, L"Button", L"Tuesday"},
        {IDC_DAY10, L"Button", L"Wednesday"},
        {IDC_DAY11, L"Button", L"Thursday"},
        {IDC_DAY12, L"Button", L"Friday"},
        {IDC_DAY13, L"Button", L"Saturday"},
        {IDC_DAY14, L"Button", L"Sunday"},
        {-1, L"Static", L"A&t"},
        {IDC_TIME_TURN_ON, L"SysDateTimePick32", nullptr},
        {IDC_STATUS, L"Edit", nullptr},
        {IDC_HIDE, L"Button", L"&Hide"},
        {IDC_MONITOR_STATE_LIST, L"ListBox", nullptr},
    };

    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(::GetDlgCtrlID(children[i]), expected[i].id);
        EXPECT_EQ(ClassOf(children[i]), expected[i].className);
        if (expected[i].text)
        {
            EXPECT_EQ(TextOf(children[i]), expected[i].text);
        }
        EXPECT_TRUE(::IsWindowVisible(children[i]));
    }
    // By id, as other programs would ask for them.
    wchar_t text[64] = {};
    ::GetDlgItemTextW(window, IDC_HIDE, text, 64);
    EXPECT_STREQ(text, L"&Hide");
    ::GetDlgItemTextW(window, IDC_DAY14, text, 64);
    EXPECT_STREQ(text, L"Sunday");

    // A window that cannot be resized or maximised, with a taskbar button while shown.
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION), WS_MINIMIZEBOX | WS_SYSMENU | WS_CAPTION);
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

} // namespace
} // namespace veskaro::testing
