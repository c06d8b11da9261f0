#include "schedule/ScheduleSimulation.h"

#include "schedule/ScheduleRules.h"

#include <algorithm>
#include <map>
#include <random>
#include <string>

namespace veskaro
{

namespace
{

constexpr long long kSecondsPerDay = 86400;
// Only the minutes around the scheduled time matter; simulating whole days
// would cost 86,400 ticks each for nothing.
constexpr long long kWindowSeconds = 300;
constexpr long long kPeriodMs = 1000;
constexpr long long kMaxJitterMs = 60;      // message loop latency
constexpr long long kMaxGranularityMs = 15; // timer expiries are seen on the 15.6 ms clock tick
constexpr unsigned long long kStallOneIn = 2000;
constexpr long long kMinStallMs = 1000;
constexpr long long kMaxStallMs = 3000;

// Own mapping rather than std::uniform_int_distribution, whose output differs
// between standard libraries; the figures should be the same everywhere.
long long Uniform(std::mt19937_64& rng, long long low, long long high)
{
    return low + static_cast<long long>(rng() % static_cast<unsigned long long>(high - low + 1));
}

void AppendTwoDigits(std::wstring& text, long long n)
{
    text += static_cast<wchar_t>(L'0' + n / 10);
    text += static_cast<wchar_t>(L'0' + n % 10);
}

// 24-hour text; whether the hour is 12- or 24-hour makes no difference inside
// the short window around the scheduled time. Built by hand because it runs
// for millions of ticks.
std::wstring TimeText(long long second, bool withSeconds)
{
    const long long s = second % kSecondsPerDay;
    std::wstring text;
    text.reserve(8);
    if (s >= 36000)
        text += static_cast<wchar_t>(L'0' + s / 36000);
    text += static_cast<wchar_t>(L'0' + s / 3600 % 10);
    text += L':';
    AppendTwoDigits(text, s / 60 % 60);
    if (withSeconds)
    {
        text += L':';
        AppendTwoDigits(text, s % 60);
    }
    return text;
}

std::wstring DateText(long long second)
{
    return L"day " + std::to_wstring(second / kSecondsPerDay);
}

// A jittery 1000 ms timer. Like WM_TIMER, it re-arms one period after its expiry was
// seen, so it drifts late, and expiries that pass while the thread is busy merge into
// the one message just handled instead of queueing.
struct JitteryTimer
{
    std::mt19937_64& rng;
    long long expiryMs;

    // The second in which the next tick is handled.
    long long NextTick()
    {
        long long deliveryMs = expiryMs + Uniform(rng, 0, kMaxJitterMs);
        if (rng() % kStallOneIn == 0)
            deliveryMs += Uniform(rng, kMinStallMs, kMaxStallMs);
        do
            expiryMs += kPeriodMs + Uniform(rng, 0, kMaxGranularityMs);
        while (expiryMs <= deliveryMs);
        return deliveryMs / 1000;
    }
};

struct Firings
{
    long long oldCount = 0;
    long long newCount = 0;
};

// Runs the ticks of one window around `scheduled`. The guard lives across days
// as it does in the program.
Firings SimulateWindow(std::mt19937_64& rng, OccurrenceGuard& guard, long long scheduled, bool withSeconds)
{
    const std::wstring scheduleText = TimeText(scheduled, withSeconds);
    const long long endMs = (scheduled + kWindowSeconds) * 1000;
    JitteryTimer timer{rng, (scheduled - kWindowSeconds) * 1000 + Uniform(rng, 0, 999)};
    bool hasPrevious = false;
    long long previousSecond = 0;
    Firings firings;

    while (timer.expiryMs < endMs)
    {
        const long long now = timer.NextTick();
        const std::wstring nowText = TimeText(now, withSeconds);

        if (nowText == scheduleText)
            ++firings.oldCount;

        const SecondRange range = SecondsToTest(hasPrevious, previousSecond, now);
        for (long long t = range.first; t <= range.last; ++t)
        {
            const std::wstring text = t == now ? nowText : TimeText(t, withSeconds);
            if (text == scheduleText && guard.ShouldFire(DateText(t) + L" " + text))
                ++firings.newCount;
        }
        hasPrevious = true;
        previousSecond = now;
    }
    return firings;
}

// Clock changes: the ticks run this long before and after each instant simulated.
constexpr long long kChangeWindowSeconds = 3 * 3600;
// Ordinary instants come this far apart, each at another time of day.
constexpr long long kOrdinaryEverySeconds = 97 * kSecondsPerDay + 3671;
// Changes are found by comparing offsets this far apart; no zone changes twice within.
constexpr long long kScanStepSeconds = 6 * 3600;

long long FloorModulo(long long a, long long b)
{
    const long long r = a % b;
    return r < 0 ? r + b : r;
}

struct ClockChangeSchedule
{
    OccurrenceGuard oldGuard, newGuard;
    long long oldCount = 0, newCount = 0;
};

class ClockChangeWindow
{
public:
    ClockChangeWindow(const LocalTimeOf& localTime, long long center) : m_localTime(localTime)
    {
        // Every minute the clock skipped or repeated at `center`: after a jump ahead, the local
        // seconds between the one before `center` and the one of it; after a fall back, those
        // from the one of `center` up to the one before, which come again.
        long long before = 0, after = 0, wall = 0;
        if (WallClock(center - 1, before) && WallClock(center, after))
        {
            const long long first = after > before ? before + 1 : after;
            const long long last = after > before ? after - 1 : before;
            for (long long minute = first + FloorModulo(-first, 60); minute <= last; minute += 60)
                Add(minute);
        }
        // Ordinary times: two hours either side, the minute before `center` and its second.
        for (const long long offset : {-2 * 3600LL, -60LL, 0LL, 2 * 3600LL})
            if (WallClock(center + offset, wall))
                Add(offset == 0 ? wall : wall - FloorModulo(wall, 60));
    }

    bool WallClock(long long second, long long& wall) const
    {
        std::tm local{};
        if (!m_localTime(second, local))
            return false;
        wall = WallClockSecond(local);
        return true;
    }

    // Tests one local second: by the old rule, the new or both.
    void Test(long long wall, bool byOld, bool byNew)
    {
        const auto found = m_schedules.find(FloorModulo(wall, kSecondsPerDay));
        if (found == m_schedules.end())
            return;
        // The key stands for the date and time texts of the local second.
        const std::wstring key = std::to_wstring(wall);
        if (byOld && found->second.oldGuard.ShouldFire(key))
            ++found->second.oldCount;
        if (byNew && found->second.newGuard.ShouldFire(key))
            ++found->second.newCount;
    }

    void Count(ClockChangeResult& result) const
    {
        for (const auto& entry : m_schedules)
        {
            const ClockChangeSchedule& s = entry.second;
            ++result.occurrences;
            result.oldMissed += s.oldCount == 0 ? 1 : 0;
            result.oldRepeated += s.oldCount > 1 ? s.oldCount - 1 : 0;
            result.newMissed += s.newCount == 0 ? 1 : 0;
            result.newRepeated += s.newCount > 1 ? s.newCount - 1 : 0;
        }
    }

private:
    // A window spans less than a day of local time, so the time of day names one occurrence.
    void Add(long long wall) { m_schedules[FloorModulo(wall, kSecondsPerDay)]; }

    const LocalTimeOf& m_localTime;
    std::map<long long, ClockChangeSchedule> m_schedules; // by second of the day
};

void SimulateAround(std::mt19937_64& rng, const LocalTimeOf& localTime, long long center, ClockChangeResult& result)
{
    ClockChangeWindow window(localTime, center);
    JitteryTimer timer{rng, (center - kChangeWindowSeconds) * 1000 + Uniform(rng, 0, 999)};
    bool hasPrevious = false, hasPreviousWall = false;
    long long previousSecond = 0, previousWall = 0, wall = 0;

    while (timer.expiryMs < (center + kChangeWindowSeconds) * 1000)
    {
        const long long now = timer.NextTick();
        long long nowWall = 0;
        const bool nowKnown = window.WallClock(now, nowWall);
        const SecondRange absolute = SecondsToTest(hasPrevious, previousSecond, now);
        SecondRange wallClock{};
        const bool byWallClock = nowKnown && WallClockSecondsToTest(hasPreviousWall, previousSecond, previousWall,
                                                                    now, nowWall, wallClock);
        for (long long second = absolute.first; second <= absolute.last; ++second)
            if (window.WallClock(second, wall))
                window.Test(wall, true, !byWallClock);
        if (byWallClock)
            for (wall = wallClock.first; wall <= wallClock.last; ++wall)
                window.Test(wall, false, true);
        hasPrevious = true;
        previousSecond = now;
        hasPreviousWall = nowKnown;
        previousWall = nowWall;
    }
    window.Count(result);
}

} // namespace

SimulationResult SimulateSchedule(long long days, bool formatHasSeconds, unsigned long long seed)
{
    std::mt19937_64 rng(seed);
    OccurrenceGuard guard;
    SimulationResult result{days < 0 ? 0 : days, 0, 0, 0, 0};

    for (long long day = 0; day < result.days; ++day)
    {
        // Day numbers start at 1 so a window reaching back past midnight stays
        // at positive seconds.
        const long long scheduled = (day + 1) * kSecondsPerDay + Uniform(rng, 0, kSecondsPerDay - 1);
        const Firings f = SimulateWindow(rng, guard, scheduled, formatHasSeconds);
        result.oldMissed += f.oldCount == 0 ? 1 : 0;
        result.oldRepeated += f.oldCount > 1 ? f.oldCount - 1 : 0;
        result.newMissed += f.newCount == 0 ? 1 : 0;
        result.newRepeated += f.newCount > 1 ? f.newCount - 1 : 0;
    }
    return result;
}

ClockChangeResult SimulateClockChanges(const LocalTimeOf& localTime, long long from, long long to,
                                       unsigned long long seed)
{
    std::mt19937_64 rng(seed);
    ClockChangeResult result{0, 0, 0, 0, 0, 0};
    const auto offset = [&localTime](long long second) {
        std::tm local{};
        return localTime(second, local) ? WallClockSecond(local) - second : 0;
    };
    for (long long second = from; second < to; second += kScanStepSeconds)
    {
        long long low = second, high = std::min(second + kScanStepSeconds, to);
        if (offset(low) == offset(high))
            continue;
        while (high - low > 1) // the first second with the new offset
        {
            const long long middle = low + (high - low) / 2;
            (offset(middle) == offset(low) ? low : high) = middle;
        }
        ++result.changes;
        SimulateAround(rng, localTime, high, result);
    }
    for (long long center = from + kOrdinaryEverySeconds / 2; center < to; center += kOrdinaryEverySeconds)
        SimulateAround(rng, localTime, center, result);
    return result;
}

} // namespace veskaro
