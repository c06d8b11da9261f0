#pragma once

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
