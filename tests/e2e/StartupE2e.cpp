// Start-up of the real program: the window, the silent start, the hand-over to a running
// instance, further instances and their numbers, and starts that race or meet a hung window.
#include "e2e/E2eSupport.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace veskaro::testing {
namespace {

LRESULT Probe(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
    return static_cast<LRESULT>(answer);
}

class Startup : public ::testing::Test
{
protected:
    ProgramSettings m_settings;
};

TEST_F(Startup, FirstStartShowsTheWindowThatAnswersTheHandshake)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start());
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(Probe(window, WM_INSTANCE_HANDSHAKE, 10, 12), 22);
    EXPECT_EQ(Probe(window, WM_INSTANCE_QUERY), 1);
}

TEST_F(Startup, SilentStartKeepsTheWindowHidden)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start(L"  :silent  "));
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));
}

TEST_F(Startup, SecondStartHandsOverAndEndsWithoutAWindow)
{
    RunningProgram first;
    ASSERT_TRUE(first.Start(L":silent"));
    HWND window = first.MainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(::IsWindowVisible(window));

    // A silent one, as at sign-in, ends too and leaves it hidden (a show would have been posted
    // before that end; the probe gives the window a turn to read it).
    RunningProgram silent, second;
    DWORD exitCode = 99;
    ASSERT_TRUE(silent.Start(L":silent") && silent.WaitForExit(10000, exitCode));
    EXPECT_EQ(Probe(window, WM_INSTANCE_HANDSHAKE, 10, 12), 22);
    EXPECT_FALSE(::IsWindowVisible(window));

    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForExit(10000, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(CountWindows(second.ProcessId(), kTestAppName), 0);
    // The posted show command brings the first window up.
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(window) != FALSE; }, 10000));
}

TEST_F(Startup, FurtherInstancesRunBesideWithTheirOwnNumbers)
{
    m_settings.SetInt(L"", L"AllowMultipleInstances", 1);
    RunningProgram first;
    ASSERT_TRUE(first.Start(L":silent"));
    RunningProgram second;
    ASSERT_TRUE(second.Start(L":silent"));
    HWND firstWindow = first.MainWindow();
    HWND secondWindow = second.MainWindow();
    ASSERT_NE(firstWindow, nullptr);
    ASSERT_NE(secondWindow, nullptr);
    EXPECT_EQ(Probe(firstWindow, WM_INSTANCE_QUERY), 1);
    EXPECT_EQ(Probe(secondWindow, WM_INSTANCE_QUERY), 2);
}

TEST_F(Startup, SimultaneousStartsInSingleInstanceModeLeaveOne)
{
    RunningProgram first;
    RunningProgram second;
    // Both are started before either is waited for.
    ASSERT_TRUE(first.Start(L":silent", VESKARO_EXE_NAME, false));
    ASSERT_TRUE(second.Start(L":silent", VESKARO_EXE_NAME, false));
    ::WaitForInputIdle(first.Process(), 15000);
    ::WaitForInputIdle(second.Process(), 15000);

    // One of them hands over and ends; the other stays.
    HANDLE both[2] = {first.Process(), second.Process()};
    const DWORD ended = ::WaitForMultipleObjects(2, both, FALSE, 10000);
    ASSERT_TRUE(ended == WAIT_OBJECT_0 || ended == WAIT_OBJECT_0 + 1);
    RunningProgram& quitter = ended == WAIT_OBJECT_0 ? first : second;
    RunningProgram& survivor = ended == WAIT_OBJECT_0 ? second : first;
    DWORD exitCode = 99;
    ASSERT_TRUE(quitter.WaitForExit(0, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(survivor.WaitForExit(0, exitCode)) << "exactly one of the two must remain";
    EXPECT_EQ(CountWindows(survivor.ProcessId(), kTestAppName), 1);
}

TEST_F(Startup, HungWindowWithTheTitleDoesNotHoldStartUp)
{
    // This thread does not read its messages while it waits below, so the window is hung.
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VeskaroHungTestWindow";
    ::RegisterClassW(&wc);
    HWND hung = ::CreateWindowExW(0, wc.lpszClassName, kTestAppName, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(hung, nullptr);

    RunningProgram program;
    ASSERT_TRUE(program.Start(L":silent", VESKARO_EXE_NAME, false));
    ::WaitForInputIdle(program.Process(), 20000);
    DWORD exitCode = 0;
    EXPECT_FALSE(program.WaitForExit(0, exitCode)) << "the new process must not hand over to a hung window";
    EXPECT_EQ(CountWindows(program.ProcessId(), kTestAppName), 1);
    ::DestroyWindow(hung);
}

} // namespace
} // namespace veskaro::testing
