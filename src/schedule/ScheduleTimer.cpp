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

} // namespace

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

bool CVeskaroDlg::IsTurnOffTime()
{
    m_strTimeText1 = TimeText(m_oTimeTurnOff);
    m_strTimeText2 = TimeText(m_oTimeNow);
    return m_oTimeNow.GetStatus() == COleDateTime::valid && m_strTimeText1 == m_strTimeText2;
}

bool CVeskaroDlg::IsTurnOnTime()
{
    m_strTimeText1 = TimeText(m_oTimeTurnOn);
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
    }
}

void CVeskaroDlg::OnTimeChange()
{
    ReadTimeZoneAndRestartWallClock();
    m_scheduledPower.Update();
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

    m_strStatus = WeekdayName(m_oTimeNow) + L" " + TimeText(m_oTimeNow);
    m_strStatus += m_strInstanceSuffix;
    ::SetDlgItemTextW(m_hWnd, IDC_STATUS, m_strStatus.c_str());

    // Taken before anything is done: ticks nested in the black screen's modal loop
    // must start after this tick's seconds, not test them again.
    TickSeconds seconds(m_previousTick, now, nowValue.GetStatus() == COleDateTime::valid ? &local : nullptr);
    const auto zone = [this](long long second, std::tm& t) { return m_outside.LocalTime(second, t); };

    // A late tick tests each second it skipped, on that second's own weekday and
    // time text; each action fires at most once per tick and once per occurrence.
    bool turnedOff = false;
    bool turnedOn = false;
    do
    {
        m_oTimeNow = seconds.IsNow() ? nowValue : LocalValue(seconds.LocalTime(zone, local), local);

        if (!turnedOff && IsTurnOffDay() && IsTurnOffTime() &&
            m_turnOffGuard.ShouldFire(m_oTimeNow.Format(VAR_DATEVALUEONLY) + L" " + m_strTimeText2))
        {
            turnedOff = true;
            const COleDateTime tested = m_oTimeNow;
            if (!m_turnOff.Scheduled(m_bAutoDisplayBlackScreen != 0, m_bTurnOffLockPC != 0))
                return; // the window ended while the black screen was up
            // Ticks inside the black screen moved the time on; this tick goes on with its own.
            m_oTimeNow = tested;
        }

        if (!turnedOn && IsTurnOnDay() && IsTurnOnTime() &&
            m_turnOnGuard.ShouldFire(m_oTimeNow.Format(VAR_DATEVALUEONLY) + L" " + m_strTimeText2))
        {
            turnedOn = true;
            m_turnOff.TurnOn(true);
        }
    } while (seconds.Next());

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
