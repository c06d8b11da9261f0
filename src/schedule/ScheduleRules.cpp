#include "schedule/ScheduleRules.h"

namespace veskaro
{

int TurnOffDayFlagIndex(int weekday)
{
    if (weekday < 1 || weekday > 7)
        return -1;
    // The flags start with Monday, the weekday numbers with Sunday.
    return (weekday + 5) % 7;
}

int TurnOnDayFlagIndex(int weekday)
{
    const int off = TurnOffDayFlagIndex(weekday);
    return off < 0 ? -1 : off + 7;
}

SecondRange SecondsToTest(bool hasPrevious, long long previousTickSecond, long long nowSecond)
{
    // Unsigned difference: the inputs come from the clock and may be anything,
    // and a signed subtraction of far-apart values would overflow.
    if (hasPrevious && previousTickSecond < nowSecond &&
        static_cast<unsigned long long>(nowSecond) - static_cast<unsigned long long>(previousTickSecond) <=
            static_cast<unsigned long long>(kMaxCatchUpSeconds))
    {
        return SecondRange{previousTickSecond + 1, nowSecond};
    }
    return SecondRange{nowSecond, nowSecond};
}

bool NextSecondToTest(const SecondRange& range, long long& second)
{
    if (second >= range.last)
        return false;
    ++second;
    return true;
}

bool OccurrenceGuard::ShouldFire(const std::wstring& occurrenceKey)
{
    if (AlreadyFired(occurrenceKey))
        return false;
    Remember(occurrenceKey);
    return true;
}

void OccurrenceGuard::Remember(const std::wstring& key)
{
    // An empty key names no occurrence; keep the last real one.
    if (!key.empty())
        m_lastFired = key;
}

bool OccurrenceGuard::AlreadyFired(const std::wstring& key) const
{
    return !key.empty() && key == m_lastFired;
}

} // namespace veskaro
