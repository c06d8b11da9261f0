// The monitor primitives and the commands 32772, 32773 and 32779.
#include "common/TestFiles.h"
#include "window/PowerBroadcast.h"
#include "window/ScheduleTestSupport.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

#include <algorithm>

namespace veskaro::testing {
namespace {

using MonitorCommands = ScheduleWindowTest;

TEST_F(MonitorCommands, TurnOffNowRequestsPowerOffAndLogsIt)
{
    Open();
    Command(ID_TURN_OFF_MONITORS_NOW);
    EXPECT_EQ(PowerCalls(), Events{L"MonitorPower 2"});
    EXPECT_EQ(LogLines(m_log.Bytes()), Events{L"12/6/2026 7:01:38 AM\tTurn Off"});

    // Already off makes no difference: requested and logged again.
    Command(ID_TURN_OFF_MONITORS_NOW);
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower 2", L"MonitorPower 2"}));
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn Off"}));
}

TEST_F(MonitorCommands, TurnOffFromTheMenuWaitsForTheKeysReleaseAndQuietInput)
{
    Open();
    // Enter chose the command and is still down; its release is input that would wake the displays.
    m_outside.keyOrButtonDown = true;
    Command(ID_TURN_OFF_AND_ON_AFTER_10_SECONDS);
    Command(ID_TURN_OFF_MONITORS_NOW); // chosen again meanwhile: still one turn-off, still a turn-on after it
    Send(WM_TIMER, TIMER_QUIET_INPUT);
    m_outside.keyOrButtonDown = false;
    m_outside.millisecondsSinceInput = 120; // released just now
    Send(WM_TIMER, TIMER_QUIET_INPUT);
    EXPECT_EQ(PowerCalls(), Events{});
    EXPECT_FALSE(::KillTimer(Window(), TIMER_TURN_ON));
    m_outside.millisecondsSinceInput = 500;
    Send(WM_TIMER, TIMER_QUIET_INPUT);
    Send(WM_TIMER, TIMER_QUIET_INPUT);
    EXPECT_EQ(PowerCalls(), Events{L"MonitorPower 2"});
    EXPECT_EQ(LoggedEvents(), Events{L"Turn Off"});
    EXPECT_TRUE(::KillTimer(Window(), TIMER_TURN_ON)) << "the ten seconds count from the turn-off";

    // A key that stays down holds the turn-off for about five seconds, no longer.
    m_outside.keyOrButtonDown = true;
    Command(ID_TURN_OFF_MONITORS_NOW);
    for (int poll = 0; poll < 49; ++poll)
        Send(WM_TIMER, TIMER_QUIET_INPUT);
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn Off"}));
    EXPECT_FALSE(::KillTimer(Window(), TIMER_QUIET_INPUT));
}

TEST_F(MonitorCommands, TurnOnRequestsPowerOnThenMovesThePointerThereAndBack)
{
    Open();
    Send(WM_TIMER, TIMER_TURN_ON);
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower -1", L"SendInput"}));
    EXPECT_EQ(Filtered(m_outside.log, {L"ExecutionState"}), Events{L"ExecutionState 2"}); // ES_DISPLAY_REQUIRED
    ASSERT_EQ(m_outside.inputs.size(), 1u);
    const std::vector<INPUT>& moves = m_outside.inputs[0];
    ASSERT_EQ(moves.size(), 2u);
    const LONG dx[2] = {-1, 1};
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(moves[i].type, static_cast<DWORD>(INPUT_MOUSE));
        EXPECT_EQ(moves[i].mi.dx, dx[i]);
        EXPECT_EQ(moves[i].mi.dy, 0);
        EXPECT_EQ(moves[i].mi.mouseData, 0u);
        EXPECT_EQ(moves[i].mi.dwFlags, static_cast<DWORD>(MOUSEEVENTF_MOVE));
        EXPECT_EQ(moves[i].mi.time, 0u);
        EXPECT_EQ(moves[i].mi.dwExtraInfo, 0u);
    }
    EXPECT_EQ(LogLines(m_log.Bytes()), Events{L"12/6/2026 7:01:38 AM\tTurn On"});
}

TEST_F(MonitorCommands, MonitorsThatComeOnWithoutInputGoOffAgainAtMostThreeTimesInTenMinutes)
{
    Open();
    const __time64_t start = m_outside.now;
    // A program wakes the display; the turn-off again waits for it to settle.
    const auto wake = [this] {
        SendDisplayState(Window(), kDisplayOn);
        if (::KillTimer(Window(), TIMER_KEEP_OFF))
            Send(WM_TIMER, TIMER_KEEP_OFF);
        m_outside.now += 60;
    };
    Command(ID_TURN_OFF_MONITORS_NOW);
    for (int i = 0; i < 4; ++i)
        wake();
    EXPECT_EQ(LoggedEvents(), Events(4, L"Turn Off"));
    // The next turn-off watches again; the first turn-off again is ten minutes old.
    m_outside.now = start + 600;
    Command(ID_TURN_OFF_MONITORS_NOW);
    wake();
    EXPECT_EQ(LoggedEvents(), Events(6, L"Turn Off"));

    // The watch ends at input, at a turn-on Veskaro makes, at a suspend or resume and another
    // session at the console (the display comes on there without input this session sees), and
    // when the option is cleared. A display that went off again before the re-off is left alone.
    ++m_outside.lastInputTime;
    wake();
    Command(ID_TURN_OFF_MONITORS_NOW);
    Send(WM_TIMER, TIMER_TURN_ON);
    wake();
    for (auto [message, code] : {std::pair<UINT, WPARAM>{WM_POWERBROADCAST, PBT_APMSUSPEND},
                                 {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND}, {WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT}})
        Command(ID_TURN_OFF_MONITORS_NOW), Send(message, code), wake();
    Command(ID_TURN_OFF_MONITORS_NOW);
    SendDisplayState(Window(), kDisplayOn);
    SendDisplayState(Window(), kDisplayOff);
    Send(WM_TIMER, TIMER_KEEP_OFF);
    m_store.WriteProfileInt(L"", L"m_bKeepMonitorsOff", 0);
    Command(ID_TURN_OFF_MONITORS_NOW);
    wake();
    Events expected(6, L"Turn Off");
    expected.insert(expected.end(), {L"Turn Off", L"Turn On", L"Turn Off", L"Turn Off", L"Turn Off", L"Turn Off", L"Turn Off"});
    EXPECT_EQ(LoggedEvents(), expected);
}

// Waits on the real timers: about eleven seconds.
TEST_F(MonitorCommands, OffAndOnAfterTenSecondsTwiceTurnsOnOnceTenSecondsAfterTheLast)
{
    OpenMainWindow(); // with its own schedule timer, whose ticks mark the seconds
    ::ShowWindow(Window(), SW_SHOWNOACTIVATE);
    PowerRequestRecorder recorder(Window(), m_outside);
    const auto waitForTick = [this](const wchar_t* status) {
        ++m_outside.now;
        EXPECT_TRUE(WaitFor([&] { return ControlText(IDC_STATUS) == status; }, 3000)) << status;
    };

    Command(ID_TURN_OFF_AND_ON_AFTER_10_SECONDS);
    waitForTick(L"Sunday 7:01:39 AM");
    waitForTick(L"Sunday 7:01:40 AM"); // a whole period after the one before
    const ULONGLONG second = ::GetTickCount64();
    Command(ID_TURN_OFF_AND_ON_AFTER_10_SECONDS);
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn Off"}));

    ASSERT_TRUE(WaitFor([this] { return LoggedEvents().size() >= 3; }, 15000));
    // The second command restarted the period; the first one's would have ended a second ago.
    EXPECT_GE(::GetTickCount64() - second, 9500u);
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn Off", L"Turn On"}));
    EXPECT_EQ(Filtered(m_outside.log, {L"MonitorPower", L"SendInput"}),
              (Events{L"MonitorPower 2", L"MonitorPower 2", L"MonitorPower -1", L"SendInput"}));
    // Fired once: the handler removed the timer.
    EXPECT_FALSE(::KillTimer(Window(), TIMER_TURN_ON));
}

TEST_F(MonitorCommands, FailedLockShowsTheErrorAsASignedNumber)
{
    Open();
    m_outside.lockSucceeds = false;
    m_outside.lockError = 5;
    Command(ID_LOCK_PC_NOW);
    ASSERT_EQ(m_outside.messageBoxes.size(), 1u);
    EXPECT_EQ(m_outside.messageBoxes[0].owner, Window());
    EXPECT_EQ(m_outside.messageBoxes[0].text, L"Failed to Lock PC, Last Error 5");
    EXPECT_EQ(m_outside.messageBoxes[0].caption, kTestAppName);
    EXPECT_EQ(m_outside.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));

    m_outside.lockError = 0x80070005;
    Command(ID_LOCK_PC_NOW);
    ASSERT_EQ(m_outside.messageBoxes.size(), 2u);
    EXPECT_EQ(m_outside.messageBoxes[1].text, L"Failed to Lock PC, Last Error -2147024891");

    m_outside.lockSucceeds = true;
    Command(ID_LOCK_PC_NOW);
    EXPECT_EQ(m_outside.messageBoxes.size(), 2u);
    EXPECT_EQ(m_outside.lockCalls, 3);
    // Locking is no monitor action: nothing requested, nothing logged.
    EXPECT_EQ(Filtered(m_outside.log, {L"MonitorPower", L"SendInput"}), Events{});
    EXPECT_EQ(m_log.Bytes(), "");
}

TEST_F(MonitorCommands, RealLockUnderWineReportsError120)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << "the real LockWorkStation would lock this session";
    Win32OutsideWorld system;
    AppEnvironment environment{kTestAppName, m_store, system, false, L""};
    CVeskaroDlg dlg(environment);
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND window = dlg.GetSafeHwnd();

    std::vector<std::wstring> texts;
    ModalWindowWatcher watcher([window] { return FindMessageBox(window, kTestAppName); },
                               [&](HWND box, int) {
                                   texts = ChildTexts(box);
                                   ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                               });
    ::SendMessageW(window, WM_COMMAND, ID_LOCK_PC_NOW, 0);
    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Failed to Lock PC, Last Error 120"), texts.end());
}

} // namespace
} // namespace veskaro::testing
