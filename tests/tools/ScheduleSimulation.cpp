// The schedule simulation of scripts/bench. Its ticks are the program's own: the seconds
// and local times of TickSeconds, and OccurrenceGuard; only the timer and the texts are modelled.
#include "ScheduleSimulation.h"

#include "schedule/ScheduleRules.h"

#include <algorithm>
#include <ctime>
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

void AppendTwoDigits(std::wstring& text, int n)
{
    text += static_cast<wchar_t>(L'0' + n / 10);
    text += static_cast<wchar_t>(L'0' + n % 10);
}

// 24-hour text; whether the hour is 12- or 24-hour makes no difference inside
// the short window around the scheduled time. Built by hand because it runs
// for millions of ticks.
std::wstring TimeText(const std::tm& local, bool withSeconds)
{
    std::wstring text;
    text.reserve(8);
    if (local.tm_hour >= 10)
        text += static_cast<wchar_t>(L'0' + local.tm_hour / 10);
    text += static_cast<wchar_t>(L'0' + local.tm_hour % 10);
    text += L':';
    AppendTwoDigits(text, local.tm_min);
    if (withSeconds)
    {
        text += L':';
        AppendTwoDigits(text, local.tm_sec);
    }
    return text;
}

std::wstring DateText(const std::tm& local)
{
    return std::to_wstring(local.tm_year + 1900) + L"-" + std::to_wstring(local.tm_mon + 1) + L"-" +
           std::to_wstring(local.tm_mday);
}

// The zone of the simulated days: the local time is the absolute one.
bool Utc(long long second, std::tm& local)
{
    local = WallClockTime(second);
    return true;
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

// One tick at `now` as the program makes it: `test(local)` for each second it tests, in time order.
template <typename Zone, typename Test>
void ProgramTick(PreviousTick& previous, const Zone& zone, long long now, const Test& test)
{
    std::tm local{};
    const bool nowKnown = zone(now, local);
    TickSeconds seconds(previous, now, nowKnown ? &local : nullptr);
    do
        if (seconds.LocalTime(zone, local))
            test(local);
    while (seconds.Next());
}

// One scheduled action as the tick fires it: once per occurrence, whose key is the local
// date and time texts.
struct Action
{
    OccurrenceGuard guard;
    long long count = 0;

    bool Fire(const std::tm& local, const std::wstring& timeText)
    {
        const bool fires = guard.ShouldFire(DateText(local) + L" " + timeText);
        count += fires ? 1 : 0;
        return fires;
    }
};

void CountOutcome(long long count, long long& missed, long long& repeated)
{
    missed += count == 0 ? 1 : 0;
    repeated += count > 1 ? count - 1 : 0;
}

// Runs the ticks of one window around `scheduled`; returns how often the old rule fired.
// The action, with its guard, lives across days as it does in the program.
long long SimulateWindow(std::mt19937_64& rng, Action& action, long long& tick, long long scheduled,
                         bool withSeconds)
{
    std::tm local{};
    Utc(scheduled, local);
    const std::wstring scheduleText = TimeText(local, withSeconds);
    const long long endMs = (scheduled + kWindowSeconds) * 1000;
    JitteryTimer timer{rng, (scheduled - kWindowSeconds) * 1000 + Uniform(rng, 0, 999)};
    PreviousTick previous;
    long long oldCount = 0;

    for (; timer.expiryMs < endMs; ++tick)
    {
        const long long now = timer.NextTick();
        Utc(now, local);
        if (TimeText(local, withSeconds) == scheduleText)
            ++oldCount;
        ProgramTick(previous, Utc, now, [&](const std::tm& tested) {
            const std::wstring text = TimeText(tested, withSeconds);
            if (text == scheduleText)
                action.Fire(tested, text);
        });
    }
    return oldCount;
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

// The actions scheduled at one time of day: by the old rule and by the program's.
struct ClockChangeSchedule
{
    Action old, ours;
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

    // The actions scheduled at the time of day of `local`, if any. Time texts have seconds,
    // so the time of day stands for the text.
    ClockChangeSchedule* At(const std::tm& local)
    {
        const auto found = m_schedules.find(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
        return found == m_schedules.end() ? nullptr : &found->second;
    }

    void Count(ClockChangeResult& result) const
    {
        for (const auto& entry : m_schedules)
        {
            ++result.occurrences;
            CountOutcome(entry.second.old.count, result.oldMissed, result.oldRepeated);
            CountOutcome(entry.second.ours.count, result.newMissed, result.newRepeated);
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
    PreviousTick previousOld, previousOurs;

    for (long long tick = 0; timer.expiryMs < (center + kChangeWindowSeconds) * 1000; ++tick)
    {
        const long long now = timer.NextTick();
        // The old rule is the same tick that never knows the previous wall clock, so it
        // catches up absolute seconds only.
        previousOld.hasWallClock = false;
        ProgramTick(previousOld, localTime, now, [&](const std::tm& local) {
            if (ClockChangeSchedule* s = window.At(local))
                s->old.Fire(local, TimeText(local, true));
        });
        ProgramTick(previousOurs, localTime, now, [&](const std::tm& local) {
            if (ClockChangeSchedule* s = window.At(local))
                s->ours.Fire(local, TimeText(local, true));
        });
    }
    window.Count(result);
}

// Several schedules of one day, as seconds after the first one's time: two in the same second,
// the others from a second to two minutes later, within what one late tick catches up.
constexpr long long kScheduleOffsets[] = {0, 0, 1, 2, 3, 45, 61, 119};

} // namespace

SchedulesResult SimulateSchedules(long long days, unsigned long long seed)
{
    std::mt19937_64 rng(seed);
    constexpr int kCount = static_cast<int>(sizeof(kScheduleOffsets) / sizeof(kScheduleOffsets[0]));
    Action ours[kCount], shared[kCount];
    SchedulesResult result{days < 0 ? 0 : days, kCount, 0, 0, 0, 0, 0};
    long long tick = 0;
    for (long long day = 0; day < result.days; ++day)
    {
        const long long first = (day + 1) * kSecondsPerDay + Uniform(rng, 0, kSecondsPerDay - 1);
        std::wstring texts[kCount];
        std::tm local{};
        for (int i = 0; i < kCount; ++i)
            Utc(first + kScheduleOffsets[i], local), texts[i] = TimeText(local, true), ours[i].count = shared[i].count = 0;
        JitteryTimer timer{rng, (first - kWindowSeconds) * 1000 + Uniform(rng, 0, 999)};
        PreviousTick previous;
        for (; timer.expiryMs < (first + kWindowSeconds) * 1000; ++tick)
        {
            bool actedInTick = false; // the rule of one schedule, one flag a tick for them all
            ProgramTick(previous, Utc, timer.NextTick(), [&](const std::tm& tested) {
                const std::wstring text = TimeText(tested, true);
                bool due = false;
                for (int i = 0; i < kCount; ++i)
                    if (text == texts[i])
                    {
                        due = ours[i].Fire(tested, text) || due;
                        if (!actedInTick)
                            shared[i].Fire(tested, text);
                    }
                actedInTick = actedInTick || due;
                result.actions += due ? 1 : 0;
            });
        }
        for (int i = 0; i < kCount; ++i)
        {
            CountOutcome(shared[i].count, result.sharedMissed, result.sharedRepeated);
            CountOutcome(ours[i].count, result.newMissed, result.newRepeated);
        }
    }
    return result;
}

SimulationResult SimulateSchedule(long long days, bool formatHasSeconds, unsigned long long seed)
{
    std::mt19937_64 rng(seed);
    Action action;
    long long tick = 0;
    SimulationResult result{days < 0 ? 0 : days, 0, 0, 0, 0};

    for (long long day = 0; day < result.days; ++day)
    {
        // Day numbers start at 1 so a window reaching back past midnight stays
        // at positive seconds.
        const long long scheduled = (day + 1) * kSecondsPerDay + Uniform(rng, 0, kSecondsPerDay - 1);
        action.count = 0;
        CountOutcome(SimulateWindow(rng, action, tick, scheduled, formatHasSeconds), result.oldMissed, result.oldRepeated);
        CountOutcome(action.count, result.newMissed, result.newRepeated);
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
