#include "schedule/ScheduleSimulation.h"

#include "schedule/ScheduleRules.h"

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
    long long expiryMs = (scheduled - kWindowSeconds) * 1000 + Uniform(rng, 0, 999);
    bool hasPrevious = false;
    long long previousSecond = 0;
    Firings firings;

    while (expiryMs < endMs)
    {
        long long deliveryMs = expiryMs + Uniform(rng, 0, kMaxJitterMs);
        if (rng() % kStallOneIn == 0)
            deliveryMs += Uniform(rng, kMinStallMs, kMaxStallMs);
        const long long now = deliveryMs / 1000;
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

        // Like WM_TIMER: the timer re-arms one period after its expiry was seen,
        // so it drifts late, and expiries that pass while the thread is busy
        // merge into the one message just handled instead of queueing.
        do
            expiryMs += kPeriodMs + Uniform(rng, 0, kMaxGranularityMs);
        while (expiryMs <= deliveryMs);
    }
    return firings;
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

} // namespace veskaro
