#pragma once

#include <cstddef>
#include <ctime>
#include <string>

namespace veskaro
{

// Weekdays are numbered 1 = Sunday ... 7 = Saturday. The 14 day flags hold the
// turn-off days Monday..Sunday followed by the turn-on days Monday..Sunday.
// Both return the zero-based flag index, or -1 for an invalid weekday.
int TurnOffDayFlagIndex(int weekday);
int TurnOnDayFlagIndex(int weekday);

// Longest gap between ticks that is still caught up second by second. A longer
// gap means sleep, hibernation or a clock change: the seconds in between did
// not really pass with the program watching, so they are not acted upon.
constexpr long long kMaxCatchUpSeconds = 60;

struct SecondRange
{
    long long first;
    long long last;
};

// The seconds a timer tick has to test: every second after the previous tick's
// up to the current one, so a late tick cannot skip a scheduled second.
SecondRange SecondsToTest(bool hasPrevious, long long previousTickSecond, long long nowSecond);

// Steps `second` on to the next second of `range`; false when it is already the last.
// The last may be the largest value a second can hold, so this never steps past it.
bool NextSecondToTest(const SecondRange& range, long long& second);

// The largest move of the local clock that daylight saving makes anywhere in the time
// zone database. A larger jump is a change of time zone and, like a change of the clock,
// is not caught up.
constexpr long long kMaxDaylightSavingJumpSeconds = 2 * 3600;

// The local wall clock in seconds: the date and time of day of a broken-down local time
// (tm_year, tm_mon, tm_mday, tm_hour, tm_min, tm_sec) counted from 1 January 1970 as if
// they were UTC. Its difference to the absolute second is the zone's offset at that second.
// Both directions hold for the years 1 to 9999.
long long WallClockSecond(const std::tm& local);
// The broken-down time of a wall-clock second: the fields above and tm_wday.
std::tm WallClockTime(long long wallClockSecond);

// A tick tests the absolute seconds of SecondsToTest, each by its own local time. When the
// local clock jumped ahead since the previous tick (daylight saving began: the wall clock
// moved on by more than the absolute seconds, at most kMaxDaylightSavingJumpSeconds more,
// across a gap that SecondsToTest catches up), the local times it jumped over belong to no
// absolute second. Then the tick tests the wall-clock seconds instead, in time order: from
// the one after the previous tick's up to the current one, the skipped ones included.
// Returns whether it does and sets `wallClock` to them; otherwise leaves it alone.
bool WallClockSecondsToTest(bool hasPrevious, long long previousTickSecond, long long previousWallClock,
                            long long nowSecond, long long nowWallClock, SecondRange& wallClock);

// What a tick keeps of the one before: its absolute second and, where the zone gave a
// local time, its wall-clock second. A default value starts afresh: the next tick tests
// its own second only.
struct PreviousTick
{
    bool hasSecond = false;
    long long second = 0;
    bool hasWallClock = false;
    long long wallClock = 0;
};

// The seconds one tick tests, in time order, each with its local time; the last is now.
// It takes the previous tick's record and moves it on to now at once, so that ticks nested
// in this one's actions start after its seconds instead of testing them again.
class TickSeconds
{
public:
    // nowLocal: the local time of `now`, or null where the zone gives none.
    TickSeconds(PreviousTick& previous, long long now, const std::tm* nowLocal);

    bool IsNow() const { return m_second == m_range.last; }
    // The local time of the second at hand: now's own, the wall clock's where daylight
    // saving began since the previous tick, otherwise what `zone(second, local)` gives.
    // False where there is none.
    template <typename Zone>
    bool LocalTime(const Zone& zone, std::tm& local) const
    {
        if (IsNow())
        {
            local = m_nowLocal;
            return m_nowKnown;
        }
        if (m_wallClock)
        {
            local = WallClockTime(m_second);
            return true;
        }
        return zone(m_second, local);
    }
    // Steps to the next second; false after the last.
    bool Next() { return NextSecondToTest(m_range, m_second); }
    // The calendar second at hand; -1 where the tick tests wall-clock seconds.
    long long CalendarSecond() const { return m_wallClock ? -1 : m_second; }

private:
    SecondRange m_range;
    long long m_second = 0;
    bool m_wallClock = false;
    bool m_nowKnown;
    std::tm m_nowLocal{};
};

// The weekdays and the time of day of one scheduled action.
struct WeeklyTime
{
    bool days[7] = {};     // by tm_wday, 0 = Sunday
    int secondOfDay = -1;  // outside 0..86399: no time, so never
};

// The absolute second at which the local clock of `zone(second, local)` first shows the
// wall-clock second `wallClock`; where daylight saving skips it, the first second after
// the jump. False where the zone gives no local time.
template <typename Zone>
bool FirstSecondShowing(long long wallClock, const Zone& zone, long long& second)
{
    std::tm local{};
    const auto wallOf = [&](long long at, long long& wall) {
        return zone(at, local) ? (wall = WallClockSecond(local), true) : false;
    };
    // The zone's offsets well before and well after: no zone changes twice within two days.
    long long before = 0, after = 0;
    if (!wallOf(wallClock - 2 * 86400, before) || !wallOf(wallClock + 2 * 86400, after))
        return false;
    const long long early = wallClock - (before - (wallClock - 2 * 86400));
    const long long late = wallClock - (after - (wallClock + 2 * 86400));
    long long wall = 0;
    // A repeated time shows at both: the first is the one the tick acts on.
    for (long long candidate : {early < late ? early : late, early < late ? late : early})
        if (wallOf(candidate, wall) && wall == wallClock)
            return second = candidate, true;
    // Skipped: the first second whose wall clock is past it lies between the two.
    long long low = early < late ? early : late, high = early < late ? late : early;
    while (low < high)
    {
        const long long middle = low + (high - low) / 2;
        if (!wallOf(middle, wall))
            return false;
        if (wall > wallClock)
            high = middle;
        else
            low = middle + 1;
    }
    return second = low, true;
}

// The first second after `from` at which the tick acts on `time`, in the local zone of
// `zone(second, local)`: a time that daylight saving skips acts right after the jump, one it
// repeats acts the first time. False when it never does.
template <typename Zone>
bool NextOccurrence(const WeeklyTime& time, long long from, const Zone& zone, long long& next)
{
    std::tm local{};
    if (time.secondOfDay < 0 || time.secondOfDay >= 86400 || !zone(from, local))
        return false;
    const long long midnight = WallClockSecond(local) - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    // Today's, through the same weekday a week on.
    for (int day = 0; day <= 7; ++day)
    {
        const long long wallClock = midnight + day * 86400LL + time.secondOfDay;
        if (time.days[WallClockTime(wallClock).tm_wday] && FirstSecondShowing(wallClock, zone, next) && next > from)
            return true;
    }
    return false;
}

// The earliest of NextOccurrence over several times: what the schedules do next; `which`, where
// given, is set to the index of the time that comes first.
template <typename Times, typename Zone>
bool NextOccurrenceOfAny(const Times& times, long long from, const Zone& zone, long long& next,
                         std::size_t* which = nullptr)
{
    bool found = false;
    std::size_t index = 0;
    for (const WeeklyTime& time : times)
    {
        long long at = 0;
        if (NextOccurrence(time, from, zone, at) && (!found || at < next))
        {
            next = at, found = true;
            if (which)
                *which = index;
        }
        ++index;
    }
    return found;
}

// The latest second up to `at` at which the tick acted on `time`, looking back a week and a day.
template <typename Zone>
bool LastOccurrence(const WeeklyTime& time, long long at, const Zone& zone, long long& last)
{
    bool found = false;
    long long next = 0;
    for (long long from = at - 8 * 86400LL; NextOccurrence(time, from, zone, next) && next <= at; from = next)
        found = true, last = next;
    return found;
}

// The notification area shows this many characters of a tip.
constexpr std::size_t kMaxTrayTipLength = 127;

// The tray icon's tip: the name and, on a second line, what the schedule does next. `off` and
// `on` are the calendar seconds of the next turn-off and turn-on, -1 where there is none;
// `format` gives the day and time of one as the user reads them.
template <typename Format>
std::wstring TrayTipText(const std::wstring& name, long long off, long long on, bool skipped, bool held,
                         const Format& format, bool postponed = false)
{
    std::wstring next;
    if (held)
        next = L"Turn-off waits until the PC is idle";
    else if (skipped)
        next = on >= 0 ? L"Turn-off skipped; monitors on " + format(on) : L"Turn-off skipped";
    else if (off >= 0 && (on < 0 || off <= on)) // at the same second the turn-off comes first
        next = L"Monitors off " + format(off) + (postponed ? L" (postponed)" : L"");
    else if (on >= 0)
        next = L"Monitors on " + format(on);
    std::wstring tip = next.empty() ? name : name + L"\n" + next;
    if (tip.size() > kMaxTrayTipLength)
        tip.resize(kMaxTrayTipLength);
    return tip;
}

// The tip last given to the shell and the local day it was formed on, so that it is given
// again only when it changed.
class TrayTipCache
{
public:
    // True when `text` differs from the last; it is then the last.
    bool Changed(const std::wstring& text) { return text != m_text ? (m_text = text, true) : false; }
    // The first second the tip names (-1: none); once it has passed, the tip is stale.
    void Names(long long second) { m_named = second; }
    bool Passed(long long now) const { return m_named >= 0 && now >= m_named; }
    bool NewDay(const std::tm& local)
    {
        const int day = local.tm_year * 366 + local.tm_yday;
        return day != m_day ? (m_day = day, true) : false;
    }

private:
    std::wstring m_text;
    int m_day = -1;
    long long m_named = -1;
};

// Makes a scheduled action fire once per occurrence. The key is the local date
// text plus time text of the matching second; when the time text has no
// seconds, every tick of that minute yields the same key. Only the last fired
// key is kept: occurrences of one action come in time order. The empty key
// never counts as fired, so ShouldFire returns true for it every time.
class OccurrenceGuard
{
public:
    // True when `occurrenceKey` has not fired yet; it then counts as fired.
    bool ShouldFire(const std::wstring& occurrenceKey);
    void Remember(const std::wstring& key);
    bool AlreadyFired(const std::wstring& key) const;

private:
    std::wstring m_lastFired;
};

// Something the system refused (the tray icon at a slow sign-in, the session subscription
// before its service is up), tried again every few schedule ticks for a bounded time.
class TickRetry
{
public:
    static constexpr int kEveryTicks = 5;
    static constexpr int kForTicks = 10 * 60;

    // After the first attempt.
    void Start(bool failed)
    {
        m_bPending = failed;
        m_iTicks = 0;
    }
    void Stop() { m_bPending = false; }
    bool Pending() const { return m_bPending; }
    // Once per tick: true when the next attempt is due.
    bool Due() { return m_bPending && ++m_iTicks % kEveryTicks == 0; }
    // That attempt's end: done, or given up after the bounded time.
    void Tried(bool done) { m_bPending = !done && m_iTicks < kForTicks; }

private:
    bool m_bPending = false;
    int m_iTicks = 0; // since the first attempt
};

// One schedule's line in the list of schedules, e.g. "Mon–Fri: off 11:00 PM, on 7:00 AM
// (black screen, lock)". The days run Monday first, as the day flags do; dayNames are the
// user's abbreviated names in that order, and the times are already in the user's format.
struct ScheduleLineParts
{
    bool offDays[7] = {};
    bool onDays[7] = {};
    std::wstring offTime;
    std::wstring onTime;
    bool blackScreen = false;
    bool lock = false;
};
std::wstring ScheduleLine(const ScheduleLineParts& parts, const std::wstring (&dayNames)[7]);

} // namespace veskaro
