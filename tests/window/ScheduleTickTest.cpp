// The schedule tick, driven by the fake clock: what fires, when, how often and in
// which order, and the status line.
#include "window/ScheduleTestSupport.h"

#include "framework/DataExchange.h"
#include "power/FadeWindow.h"
#include "res/resource.h"
#include "window/PowerBroadcast.h"

#include <climits>

namespace veskaro::testing {
namespace {

// Sunday 7:01:40 AM, the set time of most tests.
constexpr __time64_t kSetTime = kSunday070138 + 2;
const wchar_t kSetTimeText[] = L"7:01:40 AM";

BOOL CALLBACK FindFade(HWND w, LPARAM found)
{
    const LONG_PTR fade = WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    return (::GetWindowLongPtrW(w, GWL_EXSTYLE) & fade) == fade ? (*reinterpret_cast<HWND*>(found) = w, FALSE) : TRUE;
}

using ScheduleTick = ScheduleWindowTest;

TEST_F(ScheduleTick, FiresOnceAtTheSetSecondAndNotAroundIt)
{
    Set(L"m_bDay7", 1); // Sunday, turn-off
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    Open();

    TickEachSecond(kSetTime - 2, kSetTime - 1);
    EXPECT_EQ(LoggedEvents(), Events{});
    TickAt(kSetTime);
    TickAt(kSetTime); // a second message within the same second
    TickEachSecond(kSetTime + 1, kSetTime + 3);

    const std::vector<std::wstring> lines = LogLines(m_log.Bytes());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], L"12/6/2026 7:01:40 AM\tTurn Off");
    EXPECT_EQ(PowerCalls(), Events{L"MonitorPower 2"});
    EXPECT_EQ(m_outside.lockCalls, 0);

    // The next Sunday is a new occurrence.
    TickEachSecond(kSetTime + 7 * kDaySeconds - 1, kSetTime + 7 * kDaySeconds + 1);
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn Off"}));
}

TEST_F(ScheduleTick, NothingOnAnUncheckedWeekdayNorForAnUncheckedTurnOnBox)
{
    // Monday to Saturday in both groups; Sunday in neither.
    for (int day = 1; day <= 13; ++day)
        if (day != 7)
            Set((L"m_bDay" + std::to_wstring(day)).c_str(), 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", kSetTimeText);
    Open();

    TickEachSecond(kSetTime - 1, kSetTime + 1);
    EXPECT_EQ(LoggedEvents(), Events{});

    // Monday, the next day: both groups fire.
    TickEachSecond(kSetTime + kDaySeconds - 1, kSetTime + kDaySeconds + 1);
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn On"}));

    // Sunday's turn-off box alone does not let the turn-on fire.
    Dlg().m_bDay7 = 1;
    TickEachSecond(kSetTime + 7 * kDaySeconds - 1, kSetTime + 7 * kDaySeconds + 1);
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn On", L"Turn Off"}));
}

TEST_F(ScheduleTick, OffAndOnAtTheSameSecondTurnOffThenOn)
{
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", kSetTimeText);
    Open();

    TickAt(kSetTime);
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn On"}));
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower 2", L"MonitorPower -1", L"SendInput"}));
}

TEST_F(ScheduleTick, BlackScreenThenOffThenLockAndNothingBeforeItCloses)
{
    Set(L"m_bDay7", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    Set(L"m_bAutoDisplayBlackScreen", 1);
    Set(L"m_bTurnOffLockPC", 1);
    m_outside.lockSucceeds = false; // a failed scheduled lock is not reported
    Open();

    std::string logWhileUp = "not seen";
    int locksWhileUp = -1;
    BlackScreenWatcher watcher(Window(), [&](HWND blackScreen, int) {
        m_outside.log.push_back(L"BlackScreen");
        logWhileUp = m_log.Bytes();
        locksWhileUp = m_outside.lockCalls;
        // Ticks go on inside the modal loop, even one in the set second itself (two ticks in
        // one second, or a clock set back); they must not start this occurrence again.
        TickAt(kSetTime);
        PressKey(blackScreen);
    });
    TickAt(kSetTime);
    // The release of the key that closed it is still to come, unseen where the hook took the key.
    EXPECT_EQ(PowerCalls(), Events{L"BlackScreen"});
    for (int poll = 0; poll < 5; ++poll)
        Send(WM_TIMER, TIMER_QUIET_INPUT);

    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(logWhileUp, "");
    EXPECT_EQ(locksWhileUp, 0);
    EXPECT_EQ(PowerCalls(), (Events{L"BlackScreen", L"MonitorPower 2", L"LockWorkStation"}));
    EXPECT_EQ(LoggedEvents(), Events{L"Turn Off"});
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

// The key that closed the black screen is still down: its release would wake the monitors.
TEST_F(ScheduleTick, TheBlackScreensTurnOffWaitsForQuietInputAndADueTurnOnEndsTheWait)
{
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", L"7:01:42 AM");
    Set(L"m_bAutoDisplayBlackScreen", 1);
    Set(L"m_bTurnOffLockPC", 1);
    Open();
    BlackScreenWatcher watcher(Window(), [&](HWND blackScreen, int) {
        m_outside.keyOrButtonDown = true;
        PressKey(blackScreen);
    });
    TickAt(kSetTime);
    Send(WM_TIMER, TIMER_QUIET_INPUT);
    EXPECT_EQ(PowerCalls(), Events{});
    TickAt(kSetTime + 1);
    m_outside.keyOrButtonDown = false;
    m_outside.millisecondsSinceInput = 0;
    Send(WM_TIMER, TIMER_QUIET_INPUT);
    EXPECT_EQ(PowerCalls(), Events{});
    // The monitors are to be on: the waiting turn-off and its lock are made, and the turn-on follows.
    TickAt(kSetTime + 2);
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower 2", L"LockWorkStation", L"MonitorPower -1", L"SendInput"}));
    EXPECT_FALSE(::KillTimer(Window(), TIMER_QUIET_INPUT));
}

// A wake timer a minute before each turn-on; with Modern Standby the system held from the turn-off,
// on AC power, until the turn-on is past, and for the ten-second turn-on; after a resume until the
// user is back (Windows sleeps again after two minutes unattended) or the turn-on is past.
// Without a request object (Wine gives none) the window's thread asks through its execution state.
TEST_F(ScheduleTick, WakeTimerForTheNextTurnOnAndTheSystemHeldUntilIt)
{
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    Set(L"m_bDay8", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", L"7:01:42 AM");
    m_store.WriteProfileInt(L"", L"m_bWakeForTurnOn", 1);
    m_outside.modernStandby = true;
    m_outside.powerRequestsAvailable = false;
    Open();
    Command(ID_TURN_OFF_AND_ON_AFTER_10_SECONDS);
    Send(WM_TIMER, TIMER_TURN_ON);
    TickAt(kSetTime);
    for (bool ac : {false, true})
        m_outside.onAcPower = ac, Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
    TickAt(kSetTime + 2);
    m_outside.now = kSetTime + kDaySeconds - 55; // woken on Monday
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    TickAt(kSetTime + kDaySeconds + 2);
    Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
    TickAt(kSetTime + 7 * kDaySeconds); // and slept through the next turn-on
    m_outside.now += 2 + 5 * 60;
    Send(WM_TIMER, TIMER_WAKE_HOLD);
    m_store.WriteProfileInt(L"", L"m_bWakeForTurnOn", 0);
    Send(WM_OPTIONS_CHANGED);
    const auto wake = [](__time64_t turnOn) {
        return L"WakeTimer " + std::to_wstring(turnOn - 60) + L" Veskaro: turn the monitors on at 7:01:42 AM";
    };
    const wchar_t held[] = L"ExecutionState 2147483649", released[] = L"ExecutionState 2147483648";
    EXPECT_EQ(Filtered(m_outside.log, {L"WakeTimer", L"ExecutionState", L"MonitorPower", L"CancelWakeTimer"}),
              (Events{wake(kSetTime + 2), held, L"MonitorPower 2", L"MonitorPower -1", L"ExecutionState 2",
                      wake(kSetTime + 2), released, held, L"MonitorPower 2", released, held, L"MonitorPower -1",
                      L"ExecutionState 2", wake(kSetTime + kDaySeconds + 2), released, wake(kSetTime + kDaySeconds + 2),
                      held, L"MonitorPower -1", L"ExecutionState 2", wake(kSetTime + 7 * kDaySeconds + 2), released,
                      held, L"MonitorPower 2", released, L"CancelWakeTimer"}));
}

// From a scheduled turn-on to the turn-off (a start inside that time counts), the display and
// the system with it, while the session is unlocked, and not after a turn-off of Veskaro's
// until a turn-on or the unlock. Windows counts the sets of a type on a request object: a new
// reason's object takes over what is held, each type once.
TEST_F(ScheduleTick, MonitorsKeptOnFromTheTurnOnToTheTurnOff)
{
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    SetText(L"m_oTimeTurnOn", L"7:01:00 AM");
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    Set(L"m_bAutoDisplayBlackScreen", 1);
    m_store.WriteProfileInt(L"", L"m_bKeepMonitorsOnWhenScheduled", 1);
    Open();
    ChangePicker(Window(), IDC_TIME_TURN_ON, TimeOfDay(7, 0, 59));
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1);
    ChangePicker(Window(), IDC_TIME_TURN_ON, TimeOfDay(7, 1, 39));
    TickAt(kSetTime - 1);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 1);
    Command(ID_TURN_OFF_AND_ON_AFTER_10_SECONDS);
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    Send(WM_TIMECHANGE);
    Send(WM_TIMER, TIMER_TURN_ON);
    BlackScreenWatcher watcher(Window(), [&](HWND blackScreen, int) {
        m_outside.log.push_back(L"BlackScreen");
        PressKey(blackScreen);
    });
    TickAt(kSetTime);
    for (int poll = 0; poll < 5; ++poll)
        Send(WM_TIMER, TIMER_QUIET_INPUT);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 1);
    const Events held{L"PowerSetRequest 1", L"PowerSetRequest 0"}, released{L"PowerClearRequest 1", L"PowerClearRequest 0"};
    Events expected = held;
    for (const Events& step : {held, released, released, {L"MonitorPower -1"}, held, released, {L"MonitorPower 2"},
                               {L"MonitorPower -1"}, held, released, {L"BlackScreen", L"MonitorPower 2"}})
        expected.insert(expected.end(), step.begin(), step.end());
    EXPECT_EQ(Filtered(m_outside.log, {L"PowerSetRequest", L"PowerClearRequest", L"MonitorPower", L"BlackScreen"}),
              expected);
    EXPECT_EQ(m_outside.HeldRequests(), 0);
    EXPECT_EQ(m_outside.sessionRegistrations.size(), 1u) << "the lock's turn-off is off, the lock still matters";
}

// In use (input, full screen): held; idle: a fade, ended by input; run out: black screen, off, lock. Turn-on drops it.
TEST_F(ScheduleTick, TurnOffHeldWhileThePCIsInUse)
{
    for (const wchar_t* name : {L"m_bDay7", L"m_bDay1", L"m_bDay8", L"m_bAutoDisplayBlackScreen", L"m_bTurnOffLockPC"})
        Set(name, 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", L"7:01:50 AM");
    m_store.WriteProfileInt(L"", L"m_bTurnOffWhenIdle", 1);
    m_store.WriteProfileInt(L"", L"m_iIdleMinutes", 0);
    Open();
    const auto noted = [&](HWND w, int) { m_outside.log.push_back(L"BlackScreen"), PressKey(w); };
    BlackScreenWatcher watcher(Window(), noted);
    m_outside.millisecondsSinceInput = 299999; // the default five minutes
    TickAt(kSetTime);
    EXPECT_STREQ(m_outside.notifyIcons.back().data.szTip, L"VeskaroTest\nTurn-off waits until the PC is idle");
    EXPECT_EQ(m_outside.notifyIcons.back().data.uFlags, static_cast<UINT>(NIF_TIP | NIF_SHOWTIP));
    m_outside.millisecondsSinceInput = 300000;
    HWND fade = nullptr;
    BYTE alpha = 0;
    TickAt(kSetTime + 1), ::EnumThreadWindows(::GetCurrentThreadId(), &FindFade, reinterpret_cast<LPARAM>(&fade));
    Send(WM_TIMER, TIMER_FADE), ::GetLayeredWindowAttributes(fade, nullptr, &alpha, nullptr);
    EXPECT_TRUE(::IsWindowVisible(fade) && alpha > 0 && alpha < 255 && ::GetForegroundWindow() != fade);
    m_outside.lastInputTime += 1, Send(WM_TIMER, TIMER_FADE);
    EXPECT_FALSE(::IsWindow(fade) || CFadeWindow::IsUp());
    TickAt(kSetTime + 2);
    for (int step = 0; step < CFadeWindow::kSteps; ++step) // the ticks meanwhile neither release nor fade again
        Send(WM_TIMER, TIMER_FADE), TickAt(kSetTime + 2 + step / 4);
    for (int poll = 0; poll < 5; ++poll)
        Send(WM_TIMER, TIMER_QUIET_INPUT);
    m_outside.fullScreen = true; // Monday, until the turn-on
    TickEachSecond(kSetTime + kDaySeconds, kSetTime + kDaySeconds + 10);
    m_outside.fullScreen = false;
    TickAt(kSetTime + kDaySeconds + 11);
    m_outside.fullScreen = true, TickAt(kSetTime + 7 * kDaySeconds); // held; then a gap past Monday's turn-on
    m_outside.fullScreen = false, TickAt(kSetTime + 8 * kDaySeconds + 3600);
    m_outside.fullScreen = true, TickAt(kSetTime + 14 * kDaySeconds); // held; then asleep, for a weekend maybe
    Send(WM_POWERBROADCAST, PBT_APMSUSPEND), m_outside.fullScreen = false, TickAt(kSetTime + 14 * kDaySeconds + 5);
    m_outside.sessionLocked = true, Open(); // started at the lock screen, where the user is not
    BlackScreenWatcher again(Window(), [&](HWND w, int) {
        MSG close{};
        m_outside.log.push_back(L"BlackScreen"), Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
        if (!::PeekMessageW(&close, w, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) // up at the lock screen
            m_outside.log.push_back(L"BlackScreen still up"), PressKey(w);
    });
    TickAt(kSetTime + 21 * kDaySeconds);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK), TickAt(kSetTime + 28 * kDaySeconds); // locked while it is up
    for (int poll = 0; poll < 5; ++poll)
        Send(WM_TIMER, TIMER_QUIET_INPUT);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK), m_outside.fullScreen = true, TickAt(kSetTime + 35 * kDaySeconds);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK), m_outside.fullScreen = false, TickAt(m_outside.now + 1); // no fade
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK), m_outside.fullScreen = true, TickAt(kSetTime + 42 * kDaySeconds);
    m_outside.fullScreen = false, TickAt(m_outside.now + 1); // fading, then locked: off at once
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK), Send(WM_TIMER, TIMER_FADE);
    EXPECT_EQ(PowerCalls(), (Events{L"BlackScreen", L"MonitorPower 2", L"LockWorkStation", L"MonitorPower -1",
                                    L"SendInput", L"MonitorPower 2", L"BlackScreen", L"MonitorPower 2",
                                    L"MonitorPower 2", L"MonitorPower 2"}));
}

// Checked in both menus while set, kept over a restart; the next turn-off only (a held one too); over once past.
// The monitors kept on since 7:01 are let go as the skipped or held turn-off's second passes.
TEST_F(ScheduleTick, SkipTheNextTurnOff)
{
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", L"7:01:00 AM");
    m_store.WriteProfileInt(L"Settings 1\\Schedule 2", L"m_bDay7", 1);
    m_store.WriteProfileString(L"Settings 1\\Schedule 2", L"m_oTimeTurnOff", L"7:02:00 AM");
    m_store.WriteProfileInt(L"", L"m_bKeepMonitorsOnWhenScheduled", 1);
    const auto checked = [this](HMENU menu) { return ::GetMenuState(menu, ID_SKIP_NEXT_TURN_OFF, 0) == MF_CHECKED; };
    const auto keptOn = [this] { return m_outside.HeldRequests() != 0; };
    for (int none : {-1, static_cast<int>(kSetTime + 9 * kDaySeconds)}) // 0xFFFFFFFF, or more than a week on
        EXPECT_FALSE((Set(L"m_iSkippedTurnOff", none), Open(), checked(Dlg().m_menuMain.Get()))) << none;
    Command(ID_SKIP_NEXT_TURN_OFF);
    Open();
    EXPECT_TRUE(checked(Dlg().m_menuTray.Get()) && checked(Dlg().m_menuMain.Get()) && keptOn());
    TickAt(kSetTime);
    EXPECT_FALSE(keptOn());
    Command(ID_SKIP_NEXT_TURN_OFF); // next Sunday's, which the PC sleeps through
    TickAt(kSetTime + 7 * kDaySeconds + 61);
    EXPECT_FALSE(checked(Dlg().m_menuMain.Get()));
    m_store.WriteProfileInt(L"", L"m_bTurnOffWhenIdle", 1);
    m_outside.now = kSetTime + 14 * kDaySeconds - 1, Send(WM_OPTIONS_CHANGED);
    TickAt(kSetTime + 14 * kDaySeconds);
    EXPECT_FALSE(keptOn());
    Command(ID_SKIP_NEXT_TURN_OFF); // the held one
    m_outside.millisecondsSinceInput = 600000;
    TickAt(kSetTime + 14 * kDaySeconds + 1);
    m_outside.now += kDaySeconds, Command(ID_SKIP_NEXT_TURN_OFF); // slept through; a tick lands on the other's
    TickAt(kSetTime + 21 * kDaySeconds + 20);
    EXPECT_EQ(LoggedEvents(), Events{L"Turn Off"});
    Command(ID_SKIP_NEXT_TURN_OFF);
    ChangePicker(Window(), IDC_TIME_TURN_OFF, TimeOfDay(7, 3, 0)); // the skipped one moved: it comes
    EXPECT_FALSE(checked(Dlg().m_menuMain.Get()));
}

// Fifteen minutes later at each choice, kept over a restart, with its lock; never at its own second; dropped,
// as a skip, once it reaches the turn-on.
TEST_F(ScheduleTick, PostponeTheNextTurnOff)
{
    for (const wchar_t* name : {L"m_bDay7", L"m_bDay14", L"m_bTurnOffLockPC"})
        Set(name, 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", L"7:40:00 AM");
    m_store.WriteProfileInt(L"Settings 1\\Schedule 2", L"m_bDay7", 1); // put off with it once reached
    m_store.WriteProfileString(L"Settings 1\\Schedule 2", L"m_oTimeTurnOff", L"7:16:40 AM");
    Set(L"m_iPostponedTurnOff", static_cast<int>(kSetTime + 5)), Set(L"m_iPostponedTo", static_cast<int>(kSetTime + 60));
    m_store.WriteProfileInt(L"", L"m_bKeepMonitorsOnWhenScheduled", 1);
    Open(); // what was stored is no turn-off of a schedule: forgotten
    m_outside.now = kSetTime - 100;
    Command(ID_POSTPONE_NEXT_TURN_OFF), Command(ID_POSTPONE_NEXT_TURN_OFF);
    EXPECT_STREQ(m_outside.notifyIcons.back().data.szTip, L"VeskaroTest\nMonitors off Sun 7:31:40 AM (postponed)");
    Open();
    TickEachSecond(kSetTime - 1, kSetTime + 1), TickAt(kSetTime + 900);
    EXPECT_NE(m_outside.HeldRequests(), 0) << "the monitors kept on until the new second";
    TickAt(kSetTime + 1800);
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower 2", L"LockWorkStation"}));
    EXPECT_EQ(m_outside.HeldRequests(), 0);
    m_outside.now = kSetTime + 7 * kDaySeconds - 100;
    for (int k = 0; k < 3; ++k)
        Command(ID_POSTPONE_NEXT_TURN_OFF);
    EXPECT_EQ(::GetMenuState(Dlg().m_menuTray.Get(), ID_SKIP_NEXT_TURN_OFF, 0), static_cast<UINT>(MF_CHECKED));
    TickAt(kSetTime + 7 * kDaySeconds), TickAt(kSetTime + 7 * kDaySeconds + 2700);
    m_outside.now = kSetTime + 14 * kDaySeconds - 100; // skipped at its new second, with what it put off there
    Command(ID_POSTPONE_NEXT_TURN_OFF), Command(ID_SKIP_NEXT_TURN_OFF);
    TickAt(kSetTime + 14 * kDaySeconds), TickAt(kSetTime + 14 * kDaySeconds + 900);
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower 2", L"LockWorkStation"}));
}

// The set minutes before, never activated, counting down, said once by the icon; Esc closes it alone; it closes as the
// turn-off is made, postponed, skipped or held; "Turn Off Now" makes that one, its lock too, once its click settles.
TEST_F(ScheduleTick, NoticeBeforeTheTurnOff)
{
    for (const wchar_t* name : {L"m_bDay7", L"m_bTurnOffLockPC"})
        Set(name, 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    m_store.WriteProfileInt(L"", L"m_bNoticeBeforeTurnOff", 1), m_store.WriteProfileInt(L"", L"m_iNoticeMinutes", 2);
    m_outside.now = kSetTime - 200, Open();
    const auto notice = [] { return ::FindWindowW(nullptr, L"Notice - VeskaroTest"); };
    const auto says = [&](HWND w) { return w ? GetWindowTextString(::GetDlgItem(w, IDC_NOTICE_TEXT)) : std::wstring(L"(none)"); };
    const auto choose = [&](int id) { ::SendMessageW(notice(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0), PumpMessages(); };
    const auto week = [](int n, __time64_t before) { return kSetTime + n * 7 * kDaySeconds - before; };
    TickAt(kSetTime - 121);
    EXPECT_EQ(notice(), nullptr);
    TickAt(kSetTime - 120), TickAt(kSetTime - 59);
    ASSERT_TRUE(::IsWindowVisible(notice()) && ::GetActiveWindow() != notice());
    EXPECT_TRUE(::GetWindowLongW(notice(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(says(notice()), L"Monitors turn off at 7:01:40 AM (in 0:59)");
    EXPECT_STREQ(m_outside.notifyIcons.back().data.szInfo, L"Monitors turn off at 7:01:40 AM");
    EXPECT_EQ(m_outside.notifyIcons.back().data.dwInfoFlags, static_cast<DWORD>(NIIF_INFO | NIIF_RESPECT_QUIET_TIME));
    choose(IDCANCEL), TickAt(kSetTime - 58), TickAt(kSetTime);
    EXPECT_EQ(notice(), nullptr);
    TickAt(week(1, 60)), choose(IDC_NOTICE_POSTPONE); // to 7:16:40, beyond the two minutes: closed until then
    EXPECT_EQ(says((TickAt(week(1, 0)), notice())), L"(none)");
    EXPECT_EQ(says((TickAt(week(1, -780)), notice())), L"Monitors turn off at 7:16:40 AM (in 2:00)");
    choose(IDC_NOTICE_NOT_TONIGHT), TickAt(week(1, -900));
    TickAt(week(2, 30)), choose(IDC_NOTICE_TURN_OFF_NOW);
    for (int poll = 0; poll < 5; ++poll)
        Send(WM_TIMER, TIMER_QUIET_INPUT);
    TickAt(week(2, 0));
    m_store.WriteProfileInt(L"", L"m_bTurnOffWhenIdle", 1), m_outside.millisecondsSinceInput = 0;
    TickAt(week(3, 1)), TickAt(week(3, 0)); // held
    EXPECT_EQ(says(notice()), L"(none)");
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower 2", L"LockWorkStation", L"MonitorPower 2", L"LockWorkStation"}));
}

// Until the turn-on, monitors woken and then idle the set time go off again; not while off or full-screen.
TEST_F(ScheduleTick, MonitorsOffAgainAfterTheIdleTimeUntilTheTurnOn)
{
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", L"8:01:40 AM");
    m_store.WriteProfileInt(L"", L"m_bTurnOffAgainWhenIdle", 1);
    m_store.WriteProfileInt(L"", L"m_iIdleMinutes", -1);
    Open();
    const auto fadeOut = [this] { for (int step = 0; step < CFadeWindow::kSteps; ++step) Send(WM_TIMER, TIMER_FADE); };
    TickAt(kSetTime);
    m_outside.millisecondsSinceInput = 300000;
    SendDisplayState(Window(), kDisplayOn);
    for (__time64_t after : {299, 300, 301, 800, 3600}) // too soon, full screen, off again, still off, turn-on
        m_outside.fullScreen = after == 300, TickAt(kSetTime + after), fadeOut();
    SendDisplayState(Window(), kDisplayOn);
    TickAt(kSetTime + 3900);
    // Next Sunday: off again under Veskaro's own black screen, and not once a sleep ended the night.
    TickAt(kSetTime + 7 * kDaySeconds);
    SendDisplayState(Window(), kDisplayOn);
    m_outside.fullScreen = true;
    BlackScreenWatcher watcher(Window(),
                               [&](HWND w, int) { TickAt(kSetTime + 7 * kDaySeconds + 300), fadeOut(), PressKey(w); });
    Command(ID_DISPLAY_BLACK_SCREEN);
    m_outside.fullScreen = false;
    SendDisplayState(Window(), kDisplayOn);
    TickAt(kSetTime + 7 * kDaySeconds + 3700);
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower 2", L"MonitorPower 2", L"MonitorPower -1", L"SendInput",
                                    L"MonitorPower 2", L"MonitorPower 2"}));
    EXPECT_STREQ(m_outside.notifyIcons.back().data.szTip, L"VeskaroTest\nMonitors off Sun 7:01:40 AM");
}

TEST_F(ScheduleTick, ExitWhileTheBlackScreenIsUpEndsTheTick)
{
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    SetText(L"m_oTimeTurnOn", kSetTimeText);
    Set(L"m_bAutoDisplayBlackScreen", 1);
    Set(L"m_bTurnOffLockPC", 1);
    Open();
    BlackScreenWatcher watcher(Window(), [&](HWND, int) { Command(ID_EXIT); });
    TickAt(kSetTime);
    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(Window(), nullptr);
    EXPECT_EQ(m_log.Bytes(), "");
    EXPECT_EQ(m_outside.lockCalls, 0);
}

// Due in the same second: one black screen, one turn-off, one lock. The wake timer aims at the
// earliest turn-on, and the monitors are kept on from the latest turn-on, of any schedule.
TEST_F(ScheduleTick, SchedulesDueOnOneNight)
{
    const auto set = [this](const wchar_t* section, std::initializer_list<const wchar_t*> flags, const wchar_t* on) {
        for (const wchar_t* name : flags)
            m_store.WriteProfileInt(section, name, 1);
        m_store.WriteProfileString(section, L"m_oTimeTurnOff", kSetTimeText);
        m_store.WriteProfileString(section, L"m_oTimeTurnOn", on);
    };
    set(kSection, {L"m_bDay6", L"m_bDay7", L"m_bDay8", L"m_bTurnOffLockPC"}, L"7:00:00 AM");
    set(L"Settings 1\\Schedule 2", {L"m_bDay7", L"m_bDay8", L"m_bDay14", L"m_bAutoDisplayBlackScreen"}, L"6:00:00 AM");
    set(L"Settings 1\\Schedule 3", {L"m_bDay7"}, L""); // neither black screen nor lock
    for (const wchar_t* option : {L"m_bWakeForTurnOn", L"m_bKeepMonitorsOnWhenScheduled"})
        m_store.WriteProfileInt(L"", option, 1);
    Open();
    BlackScreenWatcher watcher(Window(), [&](HWND w, int) { m_outside.log.push_back(L"BlackScreen"), PressKey(w); });
    TickAt(kSetTime);
    for (int poll = 0; poll < 5; ++poll)
        Send(WM_TIMER, TIMER_QUIET_INPUT);
    EXPECT_EQ(Filtered(m_outside.log, {L"WakeTimer", L"PowerSetRequest 0", L"PowerClearRequest 0", L"BlackScreen",
                                       L"MonitorPower", L"LockWorkStation"}),
              (Events{L"WakeTimer 1796623140 Veskaro: turn the monitors on at 6:00:00 AM", L"PowerSetRequest 0",
                      L"PowerClearRequest 0", L"BlackScreen", L"MonitorPower 2", L"LockWorkStation"}));
}

TEST_F(ScheduleTick, LockWithoutBlackScreenInTheSameTick)
{
    Set(L"m_bDay7", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    Set(L"m_bTurnOffLockPC", 1);
    Open();

    TickAt(kSetTime);
    EXPECT_EQ(PowerCalls(), (Events{L"MonitorPower 2", L"LockWorkStation"}));
}

TEST_F(ScheduleTick, FormatWithoutSecondsFiresOnceInTheMinute)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << kLocaleSkip;
    UserTimeFormat format(L"h:mm tt");
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    Set(L"m_bAutoDisplayBlackScreen", 1);
    SetText(L"m_oTimeTurnOff", L"7:01 AM");
    SetText(L"m_oTimeTurnOn", L"7:01 AM");
    Open();
    ASSERT_EQ(TimeText(Dlg().m_oTimeTurnOff), L"7:01 AM");

    const __time64_t minute = kSunday070138 - 38; // 7:01:00
    BlackScreenWatcher watcher(Window(), [&](HWND blackScreen, int index) {
        m_outside.log.push_back(L"BlackScreen");
        // The nested ticks of the same minute must neither show a second black screen nor
        // turn the monitors on before the turn-off that waits for this one.
        if (index == 0)
            TickEachSecond(minute + 1, minute + 5);
        PressKey(blackScreen);
    });
    TickEachSecond(minute - 2, minute + 4 * 60);

    EXPECT_EQ(watcher.Seen(), 1);
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn Off", L"Turn On"}));
    EXPECT_EQ(PowerCalls(), (Events{L"BlackScreen", L"MonitorPower 2", L"MonitorPower -1", L"SendInput"}));
}

TEST_F(ScheduleTick, TicksThatSkipTheSetSecondStillFireItOnce)
{
    Set(L"m_bDay7", 1);
    Set(L"m_bDay14", 1);
    SetText(L"m_oTimeTurnOn", L"7:01:39 AM");
    SetText(L"m_oTimeTurnOff", L"7:01:41 AM");
    Open();

    TickAt(kSetTime - 3); // 7:01:37
    TickAt(kSetTime + 2); // 7:01:42: the thread was busy for five seconds
    TickEachSecond(kSetTime + 3, kSetTime + 5);

    // Each in its own second's order, once.
    EXPECT_EQ(LoggedEvents(), (Events{L"Turn On", L"Turn Off"}));
}

TEST_F(ScheduleTick, GapOverSixtySecondsDoesNotCatchUp)
{
    Set(L"m_bDay7", 1);
    SetText(L"m_oTimeTurnOff", kSetTimeText);
    Open();

    TickAt(kSetTime - 61);
    TickAt(kSetTime + 1); // 62 s: sleep or a clock change
    EXPECT_EQ(LoggedEvents(), Events{});

    const __time64_t nextWeek = kSetTime + 7 * kDaySeconds;
    TickAt(nextWeek - 59);
    TickAt(nextWeek + 1); // exactly 60 s
    EXPECT_EQ(LoggedEvents(), Events{L"Turn Off"});
}

TEST_F(ScheduleTick, ClockChangesFireTheSkippedOrRepeatedTimeOnce)
{
    // An hour ahead of UTC; two from 2:00 AM on that Sunday (1:59:59 AM, then 3:00:00 AM), and one
    // again from 3:00 AM a week later (2:59:59 AM, then 2:00:00 AM).
    const __time64_t springForward = kSunday070138 - 6 * 3600 - 98, fallBack = springForward + 7 * kDaySeconds;
    m_outside.zone = {{0, 3600}, {springForward, 7200}, {fallBack, 3600}};
    Set(L"m_bDay7", 1);
    SetText(L"m_oTimeTurnOff", L"2:30:00 AM");
    Open();
    TickEachSecond(springForward - 3, springForward + 3);
    for (__time64_t t = fallBack - 3600; t <= fallBack + 3600; t += 30) // each tick catching up 30 s
        TickAt(t);
    // Right after the jump, and the first time only; the log tells the ticks by the runtime's time.
    const auto logged = [](__time64_t tick) { return DateTimeText(COleDateTime::FromTime64(tick)) + L"\tTurn Off"; };
    EXPECT_EQ(LogLines(m_log.Bytes()), (std::vector<std::wstring>{logged(springForward), logged(fallBack - 1800)}));
}

TEST_F(ScheduleTick, ANewTimeZoneIsReadAndTheTimesItMovesOverAreNotCaughtUp)
{
    Set(L"m_bDay7", 1);
    SetText(L"m_oTimeTurnOff", L"7:30:00 AM");
    Open();
    ::ShowWindow(Window(), SW_SHOWNOACTIVATE);
    TickAt(kSunday070138);
    // The runtime keeps the zone it read first until it is told to read it again.
    m_outside.onReadTimeZone = [this] { m_outside.zone = {{0, 3600}}; };
    Send(WM_TIMECHANGE);
    TickAt(kSunday070138 + 1);
    EXPECT_EQ(ControlText(IDC_STATUS), L"Sunday 8:01:39 AM");
    EXPECT_EQ(LoggedEvents(), Events{});
    // With no message, the zone is read once a minute.
    m_outside.onReadTimeZone = [this] { m_outside.zone = {{0, 7200}}; };
    TickEachSecond(kSunday070138 + 2, kSunday070138 + 61);
    EXPECT_EQ(ControlText(IDC_STATUS), L"Sunday 9:02:39 AM");
    EXPECT_EQ(LoggedEvents(), Events{});
}

TEST_F(ScheduleTick, StatusLineShowsWeekdayAndTimeOnlyWhereItIsSeen)
{
    Open();
    TickAt(kSunday070138 - 9); // hidden: left alone
    EXPECT_EQ(ControlText(IDC_STATUS), L"");
    m_outside.now = kSunday070138;
    Command(ID_CONFIGURE); // shown: the time at once, not at the next tick
    EXPECT_EQ(ControlText(IDC_STATUS), L"Sunday 7:01:38 AM");
    EXPECT_EQ(Dlg().m_strStatus, L"Sunday 7:01:38 AM");
    ::ShowWindow(Window(), SW_MINIMIZE);
    TickAt(kSunday070138 + 1);
    m_outside.now = kSunday070138 + 2;
    EXPECT_EQ(ControlText(IDC_STATUS), L"Sunday 7:01:38 AM");
    Send(WM_SYSCOMMAND, SC_RESTORE); // as the taskbar button restores it
    EXPECT_EQ(ControlText(IDC_STATUS), L"Sunday 7:01:40 AM");
    TickAt(kSunday070138);
    EXPECT_EQ(ControlText(IDC_STATUS), L"Sunday 7:01:38 AM");
    TickAt(kSunday070138 + kDaySeconds + 3600 * 13);
    EXPECT_EQ(ControlText(IDC_STATUS), L"Monday 8:01:38 PM");

    TickAt(-1); // the runtime cannot break this time down
    EXPECT_EQ(ControlText(IDC_STATUS), L"Invalid DateTime Invalid DateTime");
    TickAt(kSunday070138);
    TickAt(LLONG_MAX); // the last second a clock value holds: the tick must still end
    EXPECT_EQ(ControlText(IDC_STATUS), L"Invalid DateTime Invalid DateTime");
}

TEST_F(ScheduleTick, StatusLineEndsWithTheInstanceSuffix)
{
    m_env.allowMultipleInstances = true;
    Open();
    ::ShowWindow(Window(), SW_SHOWNOACTIVATE);
    TickAt(kSunday070138);
    EXPECT_EQ(ControlText(IDC_STATUS), L"Sunday 7:01:38 AM   Instance 1");
    TickAt(-1);
    EXPECT_EQ(ControlText(IDC_STATUS), L"Invalid DateTime Invalid DateTime   Instance 1");
}

TEST_F(ScheduleTick, FirstStartSchedulesNothing)
{
    Open();
    for (int id : {IDC_DAY1, IDC_DAY7, IDC_DAY8, IDC_DAY14, IDC_TURN_OFF_LOCK_PC, IDC_AUTO_DISPLAY_BLACK_SCREEN})
        EXPECT_EQ(::IsDlgButtonChecked(Window(), id), BST_UNCHECKED) << id;
    // Both times are the start-up time, yet no weekday is checked.
    EXPECT_EQ(TimeText(Dlg().m_oTimeTurnOff), L"7:01:38 AM");
    TickEachSecond(kSunday070138, kSunday070138 + 2);
    EXPECT_EQ(LoggedEvents(), Events{});
    EXPECT_EQ(PowerCalls(), Events{});
}

} // namespace
} // namespace veskaro::testing
