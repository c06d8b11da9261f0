#pragma once

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

} // namespace veskaro
