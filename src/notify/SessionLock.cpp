// Turning the monitors off when the session is locked.
//
// The wait between the lock and the turn-off runs on timer 3 (TIMER_LOCK_TURN_OFF), never
// as a sleep: the window keeps painting, ticking and hearing notifications meanwhile, and an
// unlock inside the wait can still cancel it.
#include "ui/VeskaroDlg.h"

#include "app/SettingsStore.h"
#include "framework/OutsideWorld.h"
#include "power/DlgBlackScreen.h"
#include "res/resource.h"

#include <wtsapi32.h>

#include <algorithm>

namespace veskaro {

// Whatever the options: the keep-off watch ends when the console or a remote client changes
// hands, and the lock options and the monitors kept on follow the lock and unlock.
void CVeskaroDlg::UpdateSessionLockWatch()
{
    m_outside.UnRegisterSessionNotification(m_hWnd);
    m_sessionWatchRetry.Start(!m_outside.RegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION));
}

// The session service may not be up yet early in a logon.
void CVeskaroDlg::RetrySessionLockWatch()
{
    if (m_sessionWatchRetry.Due())
        m_sessionWatchRetry.Tried(m_outside.RegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION));
}

void CVeskaroDlg::StopSessionLockWatch()
{
    m_outside.KillTimer(m_hWnd, TIMER_LOCK_TURN_OFF);
    m_sessionWatchRetry.Stop();
    m_outside.UnRegisterSessionNotification(m_hWnd);
}

void CVeskaroDlg::OnSessionChange(WPARAM code, LPARAM)
{
    switch (code)
    {
    case WTS_SESSION_LOCK:
    {
        CDlgBlackScreen::ForgetHeldKeys(); // the keys that locked it are released on the secure desktop
        m_scheduledPower.OnSessionLock();
        // Nobody sees a black screen at the lock screen, and the key that closed it at the return
        // would turn the monitors off and lock once more: its turn-off is made now.
        CDlgBlackScreen::CloseAll();
        if (kAutoTurnOffWhenLocked.Read(m_env.store) == 0)
            return;
        const int delay = kLockTurnOffDelay.Read(m_env.store);
        if (delay <= 0)
        {
            m_outside.KillTimer(m_hWnd, TIMER_LOCK_TURN_OFF);
            TurnOffAfterLock(delay);
            return;
        }
        // A lock while waiting starts the wait again.
        const UINT period = std::min(static_cast<UINT>(delay), static_cast<UINT>(USER_TIMER_MAXIMUM));
        m_outside.SetTimer(m_hWnd, TIMER_LOCK_TURN_OFF, period);
        return;
    }
    case WTS_SESSION_UNLOCK:
        // The user is back before the delay ran out: leave the monitors on.
        m_outside.KillTimer(m_hWnd, TIMER_LOCK_TURN_OFF);
        m_turnOff.OnUnlock();
        m_scheduledPower.OnSessionUnlock();
        return;
    case WTS_CONSOLE_CONNECT:
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_CONNECT: return m_turnOff.OnUserMayBeBack();
    default: return;
    }
}

void CVeskaroDlg::OnLockTurnOffTimer()
{
    // One-shot. An expiry that was already queued when an unlock killed the timer finds
    // no timer left to kill, and must not turn the monitors off.
    if (!m_outside.KillTimer(m_hWnd, TIMER_LOCK_TURN_OFF))
        return;
    TurnOffAfterLock(kLockTurnOffDelay.Read(m_env.store));
}

// A short delay ends while the keys that locked (Windows+L) may still be coming up.
void CVeskaroDlg::TurnOffAfterLock(int delay)
{
    CTurnOffSequence::Request request;
    request.sessionLock = true;
    if (delay < static_cast<int>(CTurnOffSequence::kQuietInputMs))
        m_turnOff.AfterInput(request);
    else
        m_turnOff.Now(request);
}

} // namespace veskaro
