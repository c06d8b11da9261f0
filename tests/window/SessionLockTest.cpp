// Turning the monitors off on a session lock: the subscription and its retries, the
// delay on a one-shot timer, and the window staying responsive while it waits.
#include "window/PowerBroadcast.h"
#include "window/WindowTest.h"

#include "common/TestFiles.h"
#include "res/resource.h"

#include <wtsapi32.h>

#include <algorithm>
#include <chrono>
#include <climits>

namespace veskaro::testing {
namespace {

class SessionLock : public MainWindowTest
{
protected:
    SessionLock() : m_log(Widen(::testing::UnitTest::GetInstance()->current_test_info()->name()) + L".log")
    {
        m_store.WriteProfileInt(L"", L"m_bKeepALog", 1);
        m_store.WriteProfileString(L"", L"LogFilePath", m_log.Path());
    }

    void OpenWithOption(int delay)
    {
        m_store.WriteProfileInt(L"", L"m_bAutoTurnOffWhenLocked", 1);
        m_store.WriteProfileInt(L"", L"m_iLockTurnOffDelay", delay);
        OpenMainWindow();
    }
    void Lock() { Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1); }
    void Unlock() { Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 1); }
    // The lock timer's expiry, as the system delivers it.
    void LockTimerFires() { Send(WM_TIMER, TIMER_LOCK_TURN_OFF); }
    void Tick() { Send(WM_TIMER, TIMER_SCHEDULE); }

    int TurnOffLines() const
    {
        return CountUtf16(m_log.Bytes(), L"\tTurn Off\n");
    }
    int Registrations() const { return static_cast<int>(m_outside.sessionRegistrations.size()); }

    // Runs this thread's messages until the log has `lines` turn-offs or the time is up.
    bool WaitForTurnOffLines(int lines, DWORD timeoutMs)
    {
        return WaitFor([&] { return TurnOffLines() >= lines; }, timeoutMs);
    }

    ScratchFile m_log;
};

TEST_F(SessionLock, TheDefaultsSubscribeAndEveryUserSwitchEndsTheKeepOffWatch)
{
    OpenMainWindow();
    ASSERT_EQ(Registrations(), 1);
    EXPECT_FALSE(Dlg().m_sessionWatchRetry.Pending());
    // The display comes on for another session at the console, or for this one taken over
    // remotely, without input this session sees: the watch would turn it off on that user.
    for (int code : {WTS_CONSOLE_CONNECT, WTS_CONSOLE_DISCONNECT, WTS_REMOTE_CONNECT})
    {
        Command(ID_TURN_OFF_MONITORS_NOW);
        Send(WM_WTSSESSION_CHANGE, static_cast<WPARAM>(code), 1);
        SendDisplayState(Window(), kDisplayOn);
        EXPECT_FALSE(::KillTimer(Window(), TIMER_KEEP_OFF)) << code;
    }
}

TEST_F(SessionLock, OptionOnSubscribesForThisSessionAfterUnsubscribing)
{
    OpenWithOption(1000);
    ASSERT_EQ(Registrations(), 1);
    EXPECT_EQ(m_outside.sessionRegistrations[0], std::make_pair(Window(), DWORD{NOTIFY_FOR_THIS_SESSION}));
    const auto unregister = std::find(m_outside.log.begin(), m_outside.log.end(), L"UnRegisterSessionNotification");
    const auto registration = std::find(m_outside.log.begin(), m_outside.log.end(), L"RegisterSessionNotification");
    EXPECT_LT(unregister, registration);
    EXPECT_FALSE(Dlg().m_sessionWatchRetry.Pending());
}

TEST_F(SessionLock, SwitchingTheOptionOffAndRenewingSubscribesAgain)
{
    OpenWithOption(1000);
    m_store.WriteProfileInt(L"", L"m_bAutoTurnOffWhenLocked", 0);
    Dlg().UpdateSessionLockWatch();
    EXPECT_EQ(Registrations(), 2);
    EXPECT_EQ(m_outside.log.back(), L"RegisterSessionNotification");
}

TEST_F(SessionLock, ZeroOrNegativeDelayTurnsOffAtOnce)
{
    OpenWithOption(0);
    Lock();
    EXPECT_EQ(TurnOffLines(), 1);
    m_store.WriteProfileInt(L"", L"m_iLockTurnOffDelay", -250);
    Lock();
    EXPECT_EQ(TurnOffLines(), 2);
    m_store.WriteProfileInt(L"", L"m_iLockTurnOffDelay", INT_MIN);
    Lock();
    EXPECT_EQ(TurnOffLines(), 3);
    // Nothing was left waiting to turn off once more.
    EXPECT_FALSE(::KillTimer(Window(), TIMER_LOCK_TURN_OFF));
}

TEST_F(SessionLock, DelayWaitsForTheTimerAndTurnsOffOnce)
{
    OpenWithOption(1000);
    Lock();
    EXPECT_EQ(TurnOffLines(), 0);
    LockTimerFires();
    EXPECT_EQ(TurnOffLines(), 1);
    // One-shot: the timer is gone and a late expiry does nothing more.
    LockTimerFires();
    EXPECT_EQ(TurnOffLines(), 1);
    EXPECT_FALSE(::KillTimer(Window(), TIMER_LOCK_TURN_OFF));
}

TEST_F(SessionLock, TheDefaultDelayIsUsedWhenNoneIsStored)
{
    m_store.WriteProfileInt(L"", L"m_bAutoTurnOffWhenLocked", 1);
    OpenMainWindow();
    const auto locked = std::chrono::steady_clock::now();
    Lock();
    EXPECT_EQ(TurnOffLines(), 0);
    ASSERT_TRUE(WaitForTurnOffLines(1, 5000));
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - locked).count();
    // 1000 ms: not sooner (a clock tick of slack), and not a whole further wait later.
    EXPECT_GE(waited, 984);
    EXPECT_LT(waited, 1900);
}

TEST_F(SessionLock, TheRealTimerTurnsOffAfterTheDelay)
{
    OpenWithOption(30);
    Lock();
    EXPECT_EQ(TurnOffLines(), 0);
    EXPECT_TRUE(WaitForTurnOffLines(1, 10000));
    EXPECT_EQ(TurnOffLines(), 1);
}

TEST_F(SessionLock, UnlockBeforeTheTimerCancelsTheTurnOff)
{
    OpenWithOption(1000);
    Lock();
    Unlock();
    // Even an expiry already on its way finds nothing to do.
    LockTimerFires();
    EXPECT_EQ(TurnOffLines(), 0);
    EXPECT_FALSE(::KillTimer(Window(), TIMER_LOCK_TURN_OFF));
    // Unlocking with nothing pending is harmless, and the next lock works again.
    Unlock();
    Lock();
    LockTimerFires();
    EXPECT_EQ(TurnOffLines(), 1);
    // A short delay ends while Windows+L may still be held: the turn-off waits, and an unlock takes it back.
    m_store.WriteProfileInt(L"", L"m_iLockTurnOffDelay", 0);
    m_outside.keyOrButtonDown = true;
    Lock();
    Unlock();
    m_outside.keyOrButtonDown = false;
    Send(WM_TIMER, TIMER_QUIET_INPUT);
    EXPECT_EQ(TurnOffLines(), 1);
}

TEST_F(SessionLock, ASecondLockRestartsTheWaitWithTheDelayReadAgain)
{
    OpenWithOption(INT_MAX);
    Lock();
    m_store.WriteProfileInt(L"", L"m_iLockTurnOffDelay", 30);
    Lock();
    // Only a restarted timer, with the new delay, can expire within the wait.
    EXPECT_TRUE(WaitForTurnOffLines(1, 10000));
    LockTimerFires();
    EXPECT_EQ(TurnOffLines(), 1);
}

TEST_F(SessionLock, OtherSessionChangesDoNothing)
{
    OpenWithOption(0);
    for (int code : {WTS_CONSOLE_CONNECT, WTS_CONSOLE_DISCONNECT, WTS_REMOTE_CONNECT, WTS_SESSION_LOGON,
                     WTS_SESSION_LOGOFF, WTS_SESSION_UNLOCK, 0, 99})
        Send(WM_WTSSESSION_CHANGE, static_cast<WPARAM>(code), 1);
    EXPECT_EQ(TurnOffLines(), 0);
    EXPECT_FALSE(m_log.Exists());
}

TEST_F(SessionLock, TicksTrayAndNotificationsAreHandledDuringTheWait)
{
    OpenWithOption(60000);
    const ULONGLONG before = ::GetTickCount64();
    Lock();
    EXPECT_LT(::GetTickCount64() - before, 5000u) << "the lock handler must not wait out the delay";
    EXPECT_EQ(TurnOffLines(), 0);

    ::ShowWindow(Window(), SW_SHOWNOACTIVATE);
    const std::wstring statusBefore = ControlText(IDC_STATUS);
    ++m_outside.now;
    Tick();
    EXPECT_NE(ControlText(IDC_STATUS), statusBefore);
    EXPECT_NE(ControlText(IDC_STATUS), L"");

    Send(WM_TRAY_NOTIFY, 0, MAKELPARAM(WM_CONTEXTMENU, TRAY_ICON_ID));
    EXPECT_EQ(m_outside.popupMenus.size(), 1u);

    SendDisplayState(Window(), kDisplayOff);
    EXPECT_EQ(::SendDlgItemMessageW(Window(), IDC_MONITOR_STATE_LIST, LB_GETCOUNT, 0, 0), 1);

    // And the wait is still there to end in a turn-off.
    LockTimerFires();
    EXPECT_EQ(TurnOffLines(), 1);
}

TEST_F(SessionLock, AFailedRegistrationIsRetriedOnTheTickUntilItSucceeds)
{
    m_outside.sessionRegistrationFailures = 3;
    OpenWithOption(0);
    EXPECT_EQ(Registrations(), 1);
    EXPECT_TRUE(Dlg().m_sessionWatchRetry.Pending());
    // Every few seconds, not at every tick.
    for (int i = 0; i < 4; ++i)
        Tick();
    EXPECT_EQ(Registrations(), 1);
    Tick();
    EXPECT_EQ(Registrations(), 2);
    for (int i = 0; i < 10; ++i)
        Tick();
    EXPECT_EQ(Registrations(), 4);
    EXPECT_FALSE(Dlg().m_sessionWatchRetry.Pending());
    for (const auto& registration : m_outside.sessionRegistrations)
        EXPECT_EQ(registration, std::make_pair(Window(), DWORD{NOTIFY_FOR_THIS_SESSION}));
    // Subscribed now: no more attempts.
    for (int i = 0; i < 20; ++i)
        Tick();
    EXPECT_EQ(Registrations(), 4);
}

TEST_F(SessionLock, RetriesStopAfterTenMinutes)
{
    m_outside.sessionRegistrationFailures = INT_MAX;
    OpenWithOption(0);
    for (int i = 0; i < 10 * 60; ++i)
        Tick();
    EXPECT_EQ(Registrations(), 1 + 10 * 60 / 5);
    EXPECT_FALSE(Dlg().m_sessionWatchRetry.Pending());
    for (int i = 0; i < 60; ++i)
        Tick();
    EXPECT_EQ(Registrations(), 1 + 10 * 60 / 5);
}

TEST_F(SessionLock, RetriesGoOnWhenTheOptionIsSwitchedOffMeanwhile)
{
    m_outside.sessionRegistrationFailures = 1;
    OpenWithOption(0);
    m_store.WriteProfileInt(L"", L"m_bAutoTurnOffWhenLocked", 0);
    for (int i = 0; i < 30; ++i)
        Tick();
    EXPECT_EQ(Registrations(), 2);
    EXPECT_FALSE(Dlg().m_sessionWatchRetry.Pending());
}

TEST_F(SessionLock, DestroyingTheWindowUnsubscribesAndDropsTheWait)
{
    OpenWithOption(1000);
    HWND window = Window();
    Lock();
    m_outside.sessionUnregistrations.clear();
    ::DestroyWindow(window);
    EXPECT_EQ(m_outside.sessionUnregistrations, (std::vector<HWND>{window}));
    PumpMessages();
    EXPECT_EQ(TurnOffLines(), 0);
}

} // namespace
} // namespace veskaro::testing
