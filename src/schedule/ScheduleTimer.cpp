// The once-a-second schedule tick and the timers of the main window.
#include "ui/VeskaroDlg.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

#include <cwchar>
#include <ctime>

namespace veskaro {

namespace {

// The full weekday name in the runtime library's locale, or "Invalid DateTime".
std::wstring WeekdayName(const COleDateTime& value)
{
    std::tm fields{};
    if (!value.GetAsTm(fields))
        return kInvalidDateTimeText;
    wchar_t name[256] = {};
    if (std::wcsftime(name, 256, L"%A", &fields) == 0)
        return std::wstring();
    return name;
}

// A broken-down local time as a date-time value; invalid where there is none.
COleDateTime LocalValue(bool known, const std::tm& local)
{
    return known ? COleDateTime::FromLocalTime(local) : COleDateTime(0.0, COleDateTime::invalid);
}

// Windows may deliver a tick this late, to wake the processor once for several programs'
// timers: the status line's second then lags by at most a twentieth of a second, which
// nobody sees, and the seconds a late tick skipped are tested by the tick itself.
constexpr ULONG kScheduleToleranceMs = 50;

} // namespace

void CVeskaroDlg::StartScheduleTimer()
{
    m_outside.SetTimer(m_hWnd, TIMER_SCHEDULE, 1000, kScheduleToleranceMs);
}

void CVeskaroDlg::SetStatusLine(const COleDateTime& now)
{
    m_strStatus = WeekdayName(now) + L" " + TimeText(now);
    m_strStatus += m_strInstanceSuffix;
    ::SetDlgItemTextW(m_hWnd, IDC_STATUS, m_strStatus.c_str());
}

void CVeskaroDlg::RefreshStatusLine()
{
    std::tm local{};
    SetStatusLine(LocalValue(m_outside.LocalTime(m_env.outside.Now(), local), local));
}

bool CVeskaroDlg::IsTurnOffDay()
{
    const int index = TurnOffDayFlagIndex(m_oTimeNow.GetDayOfWeek());
    return index >= 0 && DayFlag(index) != 0;
}

bool CVeskaroDlg::IsTurnOnDay()
{
    const int index = TurnOnDayFlagIndex(m_oTimeNow.GetDayOfWeek());
    return index >= 0 && DayFlag(index) != 0;
}

// The tick empties m_strTimeText2 at each second it tests: the second's text is made once.
bool CVeskaroDlg::IsTurnOffTime()
{
    m_strTimeText1 = TimeText(m_oTimeTurnOff);
    if (m_strTimeText2.empty())
        m_strTimeText2 = TimeText(m_oTimeNow);
    return m_oTimeNow.GetStatus() == COleDateTime::valid && m_strTimeText1 == m_strTimeText2;
}

bool CVeskaroDlg::IsTurnOnTime()
{
    m_strTimeText1 = TimeText(m_oTimeTurnOn);
    if (m_strTimeText2.empty())
        m_strTimeText2 = TimeText(m_oTimeNow);
    return m_oTimeNow.GetStatus() == COleDateTime::valid && m_strTimeText1 == m_strTimeText2;
}

// A zone moved since the last reading (travel, an automatic zone, an update of the zone's
// rules) moves the local clock at once; that jump is not daylight saving, and the local
// times it moves over are not caught up.
void CVeskaroDlg::ReadTimeZoneAndRestartWallClock()
{
    m_iTicksSinceTimeZoneRead = 0;
    const __time64_t now = m_outside.Now();
    std::tm before{};
    std::tm after{};
    const bool known = m_outside.LocalTime(now, before);
    m_outside.ReadTimeZone();
    if (!known || !m_outside.LocalTime(now, after) || WallClockSecond(before) != WallClockSecond(after))
    {
        m_previousTick.hasWallClock = false; // the absolute seconds are still caught up
        m_scheduledPower.Update();
        UpdateTrayTip();
    }
}

void CVeskaroDlg::OnTimeChange()
{
    ReadTimeZoneAndRestartWallClock();
    m_scheduledPower.Update();
    UpdateTrayTip();
}

void CVeskaroDlg::OnScheduleTick()
{
    // Windows says when the zone changes; once a minute covers a message that never came.
    if (++m_iTicksSinceTimeZoneRead >= 60)
        ReadTimeZoneAndRestartWallClock();
    const __time64_t now = m_env.outside.Now();
    std::tm local{};
    const COleDateTime nowValue = LocalValue(m_outside.LocalTime(now, local), local);
    m_oTimeNow = nowValue;

    // Nobody sees the status line of a hidden or minimised window; showing it fills it again.
    if (::IsWindowVisible(m_hWnd) && !::IsIconic(m_hWnd))
        SetStatusLine(nowValue);

    // What passed unmade in a gap is let go before this tick's own actions read it.
    m_scheduledPower.OnTick(now);

    // Taken before anything is done: ticks nested in the black screen's modal loop
    // must start after this tick's seconds, not test them again.
    TickSeconds seconds(m_previousTick, now, nowValue.GetStatus() == COleDateTime::valid ? &local : nullptr);
    const auto zone = [this](long long second, std::tm& t) { return m_outside.LocalTime(second, t); };

    // A late tick tests each second it skipped, on that second's own weekday and time text.
    // Every schedule fires each action once per occurrence; the schedules that act in the
    // same second act once: one turn-off, with the black screen and the lock if any asks.
    bool acted = false;
    do
    {
        m_oTimeNow = seconds.IsNow() ? nowValue : LocalValue(seconds.LocalTime(zone, local), local);
        const bool others = !m_schedules.Entries().empty();
        m_strTimeText2 = others ? TimeText(m_oTimeNow) : std::wstring();

        bool turnOff = IsTurnOffDay() && IsTurnOffTime() &&
                       m_turnOffGuard.ShouldFire(m_oTimeNow.Format(VAR_DATEVALUEONLY) + L" " + m_strTimeText2);
        bool blackScreen = turnOff && m_bAutoDisplayBlackScreen != 0;
        bool lock = turnOff && m_bTurnOffLockPC != 0;
        if (others)
            m_schedules.DueTurnOffs(m_oTimeNow, m_strTimeText2, turnOff, blackScreen, lock);
        m_turnOff.PostponedDue(seconds.IsNow() ? now : seconds.CalendarSecond(), turnOff, blackScreen, lock);
        if (turnOff)
        {
            acted = true;
            const COleDateTime tested = m_oTimeNow;
            if (!m_turnOff.Scheduled(blackScreen, lock, seconds.CalendarSecond()))
                return; // the window ended while the black screen was up
            // Ticks inside the black screen moved the time on; this tick goes on with its own.
            m_oTimeNow = tested;
            m_strTimeText2 = TimeText(m_oTimeNow);
        }

        bool turnOn = IsTurnOnDay() && IsTurnOnTime() &&
                      m_turnOnGuard.ShouldFire(m_oTimeNow.Format(VAR_DATEVALUEONLY) + L" " + m_strTimeText2);
        if (others)
            turnOn = m_schedules.DueTurnOns(m_oTimeNow, m_strTimeText2) || turnOn;
        if (turnOn)
            acted = true, m_turnOff.TurnOn(true);
    } while (seconds.Next());

    if (!m_turnOff.OnTick(now))
        return; // the window ended while a held turn-off's black screen was up
    if (acted || m_trayTip.NewDay(local) || m_trayTip.Passed(now))
        UpdateTrayTip();
    RetrySessionLockWatch();
    RetryTrayIcon();
}

void CVeskaroDlg::OnTimer(UINT_PTR id)
{
    switch (id)
    {
    case TIMER_SCHEDULE: OnScheduleTick(); break;
    case TIMER_LOCK_TURN_OFF: OnLockTurnOffTimer(); break;
    default: m_turnOff.OnTimer(id) || m_scheduledPower.OnTimer(id); break;
    }
}

} // namespace veskaro
