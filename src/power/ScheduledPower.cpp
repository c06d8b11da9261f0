#include "power/ScheduledPower.h"

#include "app/SettingsStore.h"
#include "framework/OutsideWorld.h"
#include "res/resource.h"
#include "ui/VeskaroDlg.h"

#include <algorithm>

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
    const __time64_t now = m_outside.Now();
    // The earliest turn-on of all the schedules.
    std::vector<WeeklyTime> turnOns;
    for (const ScheduleTimes& schedule : times)
        turnOns.push_back(schedule.turnOn);
    long long next = 0;
    std::size_t earliest = 0;
    const bool any = NextOccurrenceOfAny(turnOns, now, zone, next, &earliest);
    const bool wake = kWakeForTurnOn.Read(m_store) != 0 && any;
    m_reason = L"Veskaro: turn the monitors on at " + times[earliest].turnOnText;
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
        m_resumeHoldEnd = m_standbyHoldEnd = 0;
    }
    m_onAcPower = m_outside.IsOnAcPower();
    Hold();
}

bool CScheduledPower::InKeepOnPeriod(const ScheduledTimes& times)
{
    if (kKeepMonitorsOnWhenScheduled.Read(m_store) == 0)
        return false;
    const LocalZone zone{m_outside};
    const __time64_t now = m_outside.Now();
    // From the latest turn-on of any schedule to the next turn-off of any.
    const auto latest = [&](WeeklyTime ScheduleTimes::*action, long long before, long long& last) {
        bool found = false;
        for (const ScheduleTimes& schedule : times)
        {
            long long at = 0;
            if (LastOccurrence(schedule.*action, before, zone, at) && (!found || at > last))
                last = at, found = true;
        }
        return found;
    };
    long long lastOn = 0, lastOff = 0, offBefore = 0;
    if (!latest(&ScheduleTimes::turnOn, now, lastOn))
        return false;
    // Without a turn-off in the schedules, the period lasts until one is set.
    if (!latest(&ScheduleTimes::turnOff, now, lastOff) || lastOn >= lastOff)
        return true;
    // A turn-off put off ends it at its new second, where it ran when that turn-off fell due.
    return lastOff >= m_putOffFrom && now < m_putOffTo &&
           (!latest(&ScheduleTimes::turnOff, m_putOffFrom - 1, offBefore) || lastOn >= offBefore);
}

void CScheduledPower::Hold()
{
    // Kept on only while someone can see it: not after a turn-off of Veskaro's, not at the
    // lock screen, which keeps its own time-out. A PC set to sleep would sleep with the
    // display held on, so the system is held with it.
    const ScheduledTimes times = m_window.GetScheduledTimes();
    m_keepOn = !m_locked && !m_keepOnSuspended && InKeepOnPeriod(times);
    // Its end, the next turn-off of any schedule, for a tick that comes after it unmade (a gap).
    std::vector<WeeklyTime> turnOffs;
    for (const ScheduleTimes& schedule : times)
        turnOffs.push_back(schedule.turnOff);
    long long end = 0;
    m_keepOnUntil = m_keepOn && NextOccurrenceOfAny(turnOffs, m_outside.Now(), LocalZone{m_outside}, end) ? end : 0;
    if (m_keepOnUntil >= m_putOffFrom && m_keepOnUntil < m_putOffTo)
        m_keepOnUntil = m_putOffTo;
    HoldSystem();
    m_requests.Hold(PowerRequestDisplayRequired, m_keepOn, m_reason);
}

void CScheduledPower::HoldSystem()
{
    const __time64_t now = m_outside.Now();
    for (__time64_t* end : {&m_resumeHoldEnd, &m_standbyHoldEnd})
        *end = now < *end ? *end : 0;
    // A whole weekend held on battery would drain it, lid closed: only on AC power.
    const bool standby = m_standbyHoldEnd != 0 && m_onAcPower;
    m_requests.Hold(PowerRequestSystemRequired, m_resumeHoldEnd != 0 || standby || m_shortTurnOnHold || m_keepOn,
                    m_reason);
    // Window timers wait through a sleep; the end is checked against the clock when they come.
    const __time64_t end = m_resumeHoldEnd == 0 || (m_standbyHoldEnd != 0 && m_standbyHoldEnd < m_resumeHoldEnd)
                               ? m_standbyHoldEnd
                               : m_resumeHoldEnd;
    HWND window = m_window.GetSafeHwnd();
    if (end == 0)
        m_outside.KillTimer(window, TIMER_WAKE_HOLD);
    else
        m_outside.SetTimer(window, TIMER_WAKE_HOLD,
                           static_cast<UINT>(std::min<__time64_t>(end - now, 24 * 3600) * 1000));
}

void CScheduledPower::OnOptionsChanged()
{
    m_keepOnSuspended = false;
    Update();
}

void CScheduledPower::OnScheduledTurnOff()
{
    // With Modern Standby the monitors going off starts standby, and no timer wakes the PC
    // from it: the system is held awake until the turn-on instead, and no longer, fired or not.
    if (m_turnOnDue != 0 && m_outside.IsModernStandby())
        m_standbyHoldEnd = m_turnOnDue + kHoldPastTurnOnSeconds;
    // A black screen nobody closes must not keep the display lit all night.
    BeforeTurnOff();
}

void CScheduledPower::OnTick(__time64_t now)
{
    if (m_turnOnDue != 0 && now > m_turnOnDue)
        Update(); // aimed at the next turn-on, or cancelled
    else if (m_keepOnUntil != 0 && now >= m_keepOnUntil)
        Hold(); // the keep-on period ended with a turn-off that passed unmade
}

void CScheduledPower::PutOff(__time64_t from, __time64_t to, bool follow)
{
    m_putOffFrom = from;
    m_putOffTo = to;
    if (follow)
        Hold();
}

void CScheduledPower::OnScheduledTurnOffPassed()
{
    Hold();
}

void CScheduledPower::OnScheduledTurnOn()
{
    // A PC woken for it stays held until the user is back or its few minutes are over.
    m_standbyHoldEnd = 0;
    OnTurnOn();
}

void CScheduledPower::OnTurnOn()
{
    m_shortTurnOnHold = false;
    m_keepOnSuspended = false;
    Update();
}

void CScheduledPower::BeforeTurnOff(bool turnOnAfter)
{
    m_keepOnSuspended = true;
    m_shortTurnOnHold = m_shortTurnOnHold || (turnOnAfter && m_outside.IsModernStandby());
    Hold();
}

void CScheduledPower::OnSessionLock()
{
    m_locked = true;
    Hold();
}

void CScheduledPower::OnSessionUnlock()
{
    m_locked = false;
    m_keepOnSuspended = false;
    Hold();
}

void CScheduledPower::OnResume()
{
    const __time64_t now = m_outside.Now();
    if (m_turnOnDue != 0 && now + 2 * kWakeEarlySeconds >= m_turnOnDue && now < m_turnOnDue + kHoldPastTurnOnSeconds)
        m_resumeHoldEnd = m_turnOnDue + kHoldPastTurnOnSeconds;
    // The timer has gone off, or the PC slept through it: set for the next turn-on.
    Update();
}

void CScheduledPower::OnUserResume()
{
    // Windows keeps a PC awake that the user is at.
    m_resumeHoldEnd = 0;
    HoldSystem();
}

void CScheduledPower::OnPowerStatusChange()
{
    m_onAcPower = m_outside.IsOnAcPower();
    HoldSystem();
}

bool CScheduledPower::OnTimer(UINT_PTR id)
{
    if (id != TIMER_WAKE_HOLD)
        return false;
    HoldSystem();
    return true;
}

void CScheduledPower::Stop()
{
    m_outside.KillTimer(m_window.GetSafeHwnd(), TIMER_WAKE_HOLD);
    if (m_timer)
        m_outside.CancelWaitableTimer(m_timer.Get());
    m_timer.Reset();
    m_turnOnDue = m_resumeHoldEnd = m_standbyHoldEnd = 0;
    m_shortTurnOnHold = m_keepOn = false;
    m_keepOnUntil = 0;
    m_requests.ReleaseAll();
}

} // namespace veskaro
