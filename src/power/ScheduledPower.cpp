#include "power/ScheduledPower.h"

#include "app/SettingsStore.h"
#include "framework/OutsideWorld.h"
#include "res/resource.h"
#include "ui/VeskaroDlg.h"

namespace veskaro {

namespace {

// The PC is woken a minute early: it takes a few seconds to resume, and the first tick after
// a sleep tests its own second only; the ticks after it then meet the set second itself.
constexpr __time64_t kWakeEarlySeconds = 60;
// Windows sends an unattended wake back to sleep after about two minutes: the system is
// held awake from the resume until the turn-on, at most this long past its time.
constexpr __time64_t kHoldPastTurnOnSeconds = 5 * 60;

// The local zone, as the tick sees it.
struct LocalZone
{
    IOutsideWorld& outside;
    bool operator()(long long second, std::tm& local) const { return outside.LocalTime(second, local); }
};

} // namespace

CScheduledPower::CScheduledPower(CVeskaroDlg& window, IOutsideWorld& outside, ISettingsStore& store)
    : m_window(window), m_outside(outside), m_store(store), m_requests(outside)
{
}

void CScheduledPower::Update()
{
    const ScheduledTimes times = m_window.GetScheduledTimes();
    const LocalZone zone{m_outside};
    long long next = 0;
    const bool wake =
        kWakeForTurnOn.Read(m_store) != 0 && NextOccurrence(times.turnOn, m_outside.Now(), zone, next);
    m_reason = L"Veskaro: turn the monitors on at " + times.turnOnText;
    m_turnOnDue = wake ? next : 0;
    if (wake)
    {
        if (!m_timer)
            m_timer.Reset(m_outside.CreateWaitableTimer());
        // Windows may decline to wake the PC (no wake timers in the power plan, none on this
        // PC: ERROR_NOT_SUPPORTED): nothing more can be done, and nothing is reported.
        DWORD error = 0;
        if (m_timer)
            m_outside.SetWakeTimer(m_timer.Get(), next - kWakeEarlySeconds, m_reason, error);
    }
    else
    {
        if (m_timer)
            m_outside.CancelWaitableTimer(m_timer.Get());
        m_timer.Reset();
        m_holdForResume = m_holdForStandby = false;
        ::KillTimer(m_window.GetSafeHwnd(), TIMER_WAKE_HOLD);
    }
    HoldSystem();
    m_requests.Hold(PowerRequestDisplayRequired, !m_keepOnSuspended && InKeepOnPeriod(times), m_reason);
}

bool CScheduledPower::InKeepOnPeriod(const ScheduledTimes& times)
{
    if (kKeepMonitorsOnWhenScheduled.Read(m_store) == 0)
        return false;
    const LocalZone zone{m_outside};
    const __time64_t now = m_outside.Now();
    long long lastOn = 0, lastOff = 0;
    // Without a turn-off in the schedule, the period lasts until one is set.
    return LastOccurrence(times.turnOn, now, zone, lastOn) &&
           (!LastOccurrence(times.turnOff, now, zone, lastOff) || lastOn >= lastOff);
}

void CScheduledPower::HoldSystem()
{
    m_requests.Hold(PowerRequestSystemRequired, m_holdForResume || m_holdForStandby, m_reason);
}

void CScheduledPower::OnOptionsChanged()
{
    m_keepOnSuspended = false;
    Update();
}

void CScheduledPower::OnScheduledTurnOff()
{
    // With Modern Standby the monitors going off starts standby, and no timer wakes the PC
    // from it: the system is held awake until the turn-on instead.
    if (m_turnOnDue != 0 && m_outside.IsModernStandby())
    {
        m_holdForStandby = true;
        HoldSystem();
    }
}

void CScheduledPower::OnScheduledTurnOn()
{
    m_holdForResume = m_holdForStandby = false;
    ::KillTimer(m_window.GetSafeHwnd(), TIMER_WAKE_HOLD);
    m_keepOnSuspended = false;
    Update();
}

void CScheduledPower::BeforeTurnOff()
{
    m_keepOnSuspended = true;
    m_requests.Hold(PowerRequestDisplayRequired, false, m_reason);
}

void CScheduledPower::OnSessionLock()
{
    // The lock screen keeps its own time-out.
    BeforeTurnOff();
}

void CScheduledPower::OnSessionUnlock()
{
    m_keepOnSuspended = false;
    Update();
}

void CScheduledPower::OnResume()
{
    const __time64_t now = m_outside.Now();
    if (m_turnOnDue != 0 && now + 2 * kWakeEarlySeconds >= m_turnOnDue && now < m_turnOnDue + kHoldPastTurnOnSeconds)
    {
        m_holdForResume = true;
        ::SetTimer(m_window.GetSafeHwnd(), TIMER_WAKE_HOLD,
                   static_cast<UINT>((m_turnOnDue + kHoldPastTurnOnSeconds - now) * 1000), nullptr);
    }
    // The timer has gone off, or the PC slept through it: set for the next turn-on.
    Update();
}

bool CScheduledPower::OnTimer(UINT_PTR id)
{
    if (id != TIMER_WAKE_HOLD)
        return false;
    ::KillTimer(m_window.GetSafeHwnd(), TIMER_WAKE_HOLD);
    m_holdForResume = false;
    HoldSystem();
    return true;
}

void CScheduledPower::Stop()
{
    ::KillTimer(m_window.GetSafeHwnd(), TIMER_WAKE_HOLD);
    if (m_timer)
        m_outside.CancelWaitableTimer(m_timer.Get());
    m_timer.Reset();
    m_turnOnDue = 0;
    m_holdForResume = m_holdForStandby = false;
    m_requests.ReleaseAll();
}

} // namespace veskaro
