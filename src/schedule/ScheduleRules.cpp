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

namespace
{

constexpr int kSecondsPerDay = 86400;

int FloorDivide(int a, int b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar, month 1..12
// (H. Hinnant's days_from_civil). The calendar here counts in int: 32-bit Windows has
// no 64-bit division of its own, and the program would carry the compiler's.
int DaysFromDate(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int era = FloorDivide(year, 400);
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

} // namespace

long long WallClockSecond(const std::tm& local)
{
    return static_cast<long long>(DaysFromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)) *
               kSecondsPerDay +
           local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

std::tm WallClockTime(long long wallClockSecond)
{
    // No 64-bit division either: 86400 = 128 * 675, and w >> 7 is w / 128 rounded down,
    // which fits an int for the years 1 to 9999.
    const int days = FloorDivide(static_cast<int>(wallClockSecond >> 7), 675);
    const int secondOfDay = static_cast<int>(wallClockSecond - static_cast<long long>(days) * kSecondsPerDay);
    // H. Hinnant's civil_from_days.
    const int shifted = days + 719468;
    const int era = FloorDivide(shifted, 146097);
    const int dayOfEra = shifted - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthIndex = (5 * dayOfYear + 2) / 153; // 0 = March
    const int month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;

    std::tm local{};
    local.tm_year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0) - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    local.tm_hour = secondOfDay / 3600;
    local.tm_min = secondOfDay / 60 % 60;
    local.tm_sec = secondOfDay % 60;
    local.tm_wday = days - FloorDivide(days + 4, 7) * 7 + 4; // 1 January 1970 was a Thursday
    local.tm_isdst = -1;
    return local;
}

bool WallClockSecondsToTest(bool hasPrevious, long long previousTickSecond, long long previousWallClock,
                            long long nowSecond, long long nowWallClock, SecondRange& wallClock)
{
    using Unsigned = unsigned long long;
    constexpr auto u = [](long long value) { return static_cast<Unsigned>(value); };
    if (!hasPrevious || previousTickSecond >= nowSecond || previousWallClock >= nowWallClock)
        return false;
    // Both differences are positive, so exact in unsigned arithmetic.
    const Unsigned elapsed = u(nowSecond) - u(previousTickSecond);
    const Unsigned advanced = u(nowWallClock) - u(previousWallClock);
    if (elapsed > u(kMaxCatchUpSeconds) || advanced <= elapsed ||
        advanced - elapsed > u(kMaxDaylightSavingJumpSeconds))
        return false;
    wallClock = SecondRange{previousWallClock + 1, nowWallClock};
    return true;
}

TickSeconds::TickSeconds(PreviousTick& previous, long long now, const std::tm* nowLocal)
    : m_range(SecondsToTest(previous.hasSecond, previous.second, now)), m_nowKnown(nowLocal != nullptr)
{
    const long long nowWallClock = m_nowKnown ? WallClockSecond(*nowLocal) : 0;
    if (m_nowKnown)
    {
        m_nowLocal = *nowLocal;
        m_wallClock = WallClockSecondsToTest(previous.hasWallClock, previous.second, previous.wallClock, now,
                                             nowWallClock, m_range);
    }
    m_second = m_range.first;
    previous = PreviousTick{true, now, m_nowKnown, nowWallClock};
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

namespace {

// "Mon–Fri", "Sat, Sun", "Mon, Wed, Fri": three or more days in a row as a range.
std::wstring DaysText(const bool (&days)[7], const std::wstring (&names)[7])
{
    std::wstring text;
    for (int first = 0; first < 7; ++first)
    {
        if (!days[first])
            continue;
        int last = first;
        while (last + 1 < 7 && days[last + 1])
            ++last;
        text += (text.empty() ? L"" : L", ") + names[first];
        if (last - first >= 2)
            text += L"\u2013" + names[last];
        else if (last > first)
            text += L", " + names[last];
        first = last;
    }
    return text;
}

} // namespace

std::wstring ScheduleLine(const ScheduleLineParts& parts, const std::wstring (&dayNames)[7])
{
    const std::wstring offDays = DaysText(parts.offDays, dayNames);
    const std::wstring onDays = DaysText(parts.onDays, dayNames);
    std::wstring line;
    if (offDays == onDays)
        line = (offDays.empty() ? L"No weekdays" : offDays) + L": off " + parts.offTime + L", on " + parts.onTime;
    else if (onDays.empty())
        line = offDays + L": off " + parts.offTime;
    else if (offDays.empty())
        line = onDays + L": on " + parts.onTime;
    else
        line = offDays + L": off " + parts.offTime + L"; " + onDays + L": on " + parts.onTime;
    if (parts.blackScreen || parts.lock)
        line += std::wstring(L" (") + (parts.blackScreen ? L"black screen" : L"") +
                (parts.blackScreen && parts.lock ? L", " : L"") + (parts.lock ? L"lock" : L"") + L")";
    return line;
}

} // namespace veskaro
