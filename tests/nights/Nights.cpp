// veskaro-nights: seeded weeks of the world played through the main window.
//   veskaro-nights                          the test suite's fixed seeds
//   veskaro-nights --seeds A-B,C --days D   runs seeds A to B and C, each D simulated days
//   veskaro-nights --seed N --days D        replays one
// Exit status 1 on a violation, with the shortest run found that still shows it.
#include "nights/NightRun.h"

#include "app/SettingsStore.h"
#include "res/resource.h"

#include <wtsapi32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace veskaro::testing {

namespace {

// The test suite's seeds and days: within a minute, and each fault the nights have found comes back in them.
const char kTestSeeds[] = "1-40,70,78";
constexpr long long kTestDays = 14;
// Monday 2026-12-07 00:00 UTC.
constexpr long long kMonday = 1796601600;
constexpr long long kDay = 86400;
const long long kZones[] = {0, 3600, -5 * 3600, 5 * 3600 + 1800, -3 * 3600 - 1800, 9 * 3600 + 1800, 13 * 3600};
const wchar_t* const kOptionNames[] = {L"hold while in use", L"turn off again", L"idle minutes",  L"keep on",
                                       L"wake",              L"keep off",       L"turn off at lock", L"lock delay ms",
                                       L"fade",              L"notice",         L"notice minutes"};

long long OptionValue(Rng& rng, long long option)
{
    if (option == 2)
        return rng.Between(1, 10);
    if (option == 7)
        return rng.Chance(30) ? 0 : rng.Between(1, 30) * 1000;
    if (option == 10) // now and then a number the dialog would refuse, stored by hand
        return rng.Chance(85) ? rng.Between(1, 15) : rng.Between(-2, 20);
    return rng.Chance(50);
}

std::wstring Clock(long long second)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"day %lld %02lld:%02lld:%02lld", second / kDay, second % kDay / 3600, second % 3600 / 60,
                  second % 60);
    return text;
}

} // namespace

Schedule DrawSchedule(std::uint64_t number)
{
    Rng rng(number);
    static const int kOffs[] = {21, 22, 22, 23, 23, 0, 1, 12, 18};
    static const int kOns[] = {5, 6, 6, 7, 7, 8, 13};
    const auto time = [&](const int* hours, long long count) {
        const long long quarter = rng.Chance(70) ? hours[rng.Below(count)] * 4 + rng.Below(2) * 2 : rng.Below(96);
        SYSTEMTIME fields{2000, 1, 6, 6, static_cast<WORD>(quarter / 4), static_cast<WORD>(quarter % 4 * 15), 0, 0};
        return COleDateTime::FromSystemTime(fields);
    };
    Schedule schedule;
    schedule.timeTurnOff = time(kOffs, 9);
    schedule.timeTurnOn = time(kOns, 7);
    const bool noTurnOn = rng.Chance(8);
    for (int day = 0; day < 14; ++day)
        schedule.days[day] = rng.Chance(75) && !(noTurnOn && day >= 7);
    schedule.autoDisplayBlackScreen = rng.Chance(40);
    schedule.turnOffLockPC = rng.Chance(30);
    return schedule;
}

Setup DrawSetup(std::uint64_t seed)
{
    Rng rng(seed * 0x2545F4914F6CDD1DULL + 1);
    Setup setup;
    setup.seed = seed;
    const long long offset = kZones[rng.Below(7)];
    setup.start = kMonday - offset; // local midnight
    setup.zone.emplace_back(0, offset);
    if (rng.Chance(40)) // daylight saving begins, and ends again
    {
        // Zones change at most once in a few days: the program's rules count on it.
        const long long begins = rng.Between(1, 8);
        setup.zone.emplace_back(setup.start + begins * kDay + 2 * 3600, offset + 3600);
        setup.zone.emplace_back(setup.start + (begins + rng.Between(5, 20)) * kDay + 3 * 3600, offset);
    }
    setup.modernStandby = rng.Chance(20);
    for (long long k = rng.Between(1, 3); k > 0; --k)
        setup.schedules.push_back(rng.Next() >> 1);
    for (int option = 0; option < 8; ++option)
        if (rng.Chance(60))
            setup.options.emplace_back(option, static_cast<int>(OptionValue(rng, option)));
    // The options added later draw from a generator of their own: the rest of each seed stays as it was.
    Rng later(seed * 0xA24BAED4963EE407ULL + 11);
    for (int option = 8; option < 11; ++option)
        if (later.Chance(50))
            setup.options.emplace_back(option, static_cast<int>(OptionValue(later, option)));
    return setup;
}

std::vector<Event> DrawEvents(std::uint64_t seed, int days, const Setup& setup)
{
    Rng rng(seed * 0x9E3779B97F4A7C15ULL + 7), aim(seed * 0xD6E8FEB86659FD93ULL + 3);
    Rng notice(seed * 0x9FB21C651E98DF25ULL + 5);
    std::vector<Event> events;
    const auto add = [&](long long at, What what, long long a = 0, long long b = 0) {
        events.push_back(Event{at, what, a, b});
    };
    for (long long day = 0; day < days; ++day)
    {
        const long long base = day * kDay;
        const auto any = [&] { return base + rng.Below(kDay); };
        // The person: a working day of bursts and pauses, a film, the night.
        if (!rng.Chance(10))
        {
            long long t = base + rng.Between(6 * 3600, 11 * 3600);
            const long long leave = base + rng.Between(16 * 3600, 23 * 3600 + 1800);
            while (t < leave)
            {
                const long long burst = rng.Between(20, 1800);
                add(t, What::Input, burst);
                t += burst + rng.Between(5, 1200);
                if (rng.Chance(4))
                    add(t, What::FullScreen, rng.Between(600, 7200));
            }
            if (rng.Chance(35))
                add(leave - rng.Below(3 * 3600), What::FullScreen, rng.Between(1800, 3 * 3600));
            if (rng.Chance(50))
                add(leave, What::Lock);
        }
        if (rng.Chance(25))
            add(any(), What::Input, rng.Between(10, 900));
        if (aim.Chance(8)) // a night through at the PC, which is too busy for a tick at a turn-on now and then
        {
            for (long long t = base + aim.Between(20 * 3600, 23 * 3600); t < base + kDay + aim.Between(3 * 3600, 9 * 3600);)
            {
                const long long burst = aim.Between(60, 1800);
                add(t, What::Input, burst);
                t += burst + aim.Between(5, 50);
            }
            const ScheduleTimes times = TimesOf(DrawSchedule(setup.schedules[aim.Below(setup.schedules.size())]));
            if (aim.Chance(50) && times.turnOn.secondOfDay >= 0)
                add(base + kDay + times.turnOn.secondOfDay - aim.Between(1, 60), What::Late, aim.Between(61, 900));
        }
        // The PC
        if (rng.Chance(40))
            add(any(), What::Sleep, rng.Between(600, 10 * 3600), rng.Chance(70));
        if (rng.Chance(15))
            add(any(), What::Power, rng.Chance(60));
        if (rng.Chance(30))
            add(any(), What::OtherWake);
        if (rng.Chance(10))
        {
            const long long codes[] = {WTS_CONSOLE_CONNECT, WTS_CONSOLE_DISCONNECT, WTS_REMOTE_CONNECT};
            add(any(), What::Session, codes[rng.Below(3)]);
        }
        if (rng.Chance(10))
            add(any(), rng.Chance(50) ? What::Lock : What::Unlock);
        // The clock
        if (rng.Chance(50))
            add(any(), What::Late, rng.Between(2, 50));
        if (rng.Chance(30)) // a gap over the catch-up, mostly across a quarter hour, where schedules fall
            add(std::max(base, base + rng.Below(96) * 900 - rng.Between(1, 60)), What::Late, rng.Between(61, 900));
        if (aim.Chance(15)) // a postpone or a few, mostly in the half hour before a turn-off
        {
            const ScheduleTimes times = TimesOf(DrawSchedule(setup.schedules[aim.Below(setup.schedules.size())]));
            const long long at = base + (aim.Chance(70) ? times.turnOff.secondOfDay - aim.Between(1, 1800) : aim.Below(kDay));
            for (long long k = aim.Between(1, 4); k > 0; --k)
                add(std::max(base, at + k), What::Postpone);
        }
        if (aim.Chance(25)) // and one across a time of the first schedules, so that a turn-off or turn-on passes unmade
        {
            const ScheduleTimes times = TimesOf(DrawSchedule(setup.schedules[aim.Below(setup.schedules.size())]));
            const int second = (aim.Chance(50) ? times.turnOff : times.turnOn).secondOfDay;
            add(std::max(base, base + second - aim.Between(1, 60)), What::Late, aim.Between(61, 900));
        }
        if (rng.Chance(5))
            add(any(), What::Zone, kZones[rng.Below(7)]);
        // The user at the program
        if (rng.Chance(25))
            add(any(), What::Edit, rng.Below(8), static_cast<long long>(rng.Next() >> 1));
        if (rng.Chance(12))
            add(any(), What::Add, 0, static_cast<long long>(rng.Next() >> 1));
        if (rng.Chance(8))
            add(any(), What::Remove, rng.Below(8));
        for (int k = 0; k < 2; ++k)
            if (rng.Chance(20))
            {
                const long long option = rng.Below(8);
                add(any(), What::Option, option, OptionValue(rng, option));
            }
        if (rng.Chance(20))
            add(any(), What::Skip);
        if (rng.Chance(12))
        {
            const long long commands[] = {ID_TURN_OFF_MONITORS_NOW, ID_TURN_OFF_AND_ON_AFTER_10_SECONDS, ID_LOCK_PC_NOW,
                                          ID_DISPLAY_BLACK_SCREEN};
            add(any(), What::Command, commands[rng.Below(4)]);
        }
        if (rng.Chance(6))
            add(any(), What::Restart, rng.Between(5, 3600));
        // At the notice, in the quarter hour before a turn-off: a choice, where the notice is up.
        if (notice.Chance(40))
        {
            const ScheduleTimes times = TimesOf(DrawSchedule(setup.schedules[notice.Below(setup.schedules.size())]));
            add(std::max(base, base + times.turnOff.secondOfDay - notice.Between(1, 900)), What::Notice, notice.Below(4));
        }
        if (notice.Chance(10))
        {
            const long long option = notice.Between(8, 10);
            add(base + notice.Below(kDay), What::Option, option, OptionValue(notice, option));
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& x, const Event& y) { return x.at < y.at; });
    return events;
}

std::wstring Describe(const Event& event)
{
    static const wchar_t* const kNames[] = {L"input for", L"full screen for", L"sleep for", L"lock", L"unlock",
                                            L"session change", L"another program turns the display on", L"on AC power",
                                            L"no tick for", L"zone offset", L"edit schedule", L"add schedule",
                                            L"remove schedule", L"option", L"skip the next turn-off", L"command",
                                            L"exit, and start again after", L"postpone the next turn-off",
                                            L"at the notice:"};
    static const wchar_t* const kChoices[] = {L"Postpone 15 Minutes", L"Not Tonight", L"Turn Off Now", L"close"};
    std::wstring text = Clock(event.at) + L"  " + kNames[static_cast<int>(event.what)];
    switch (event.what)
    {
    case What::Input:
    case What::FullScreen:
    case What::Late:
    case What::Restart: return text + L" " + std::to_wstring(event.a) + L" s";
    case What::Sleep: return text + L" " + std::to_wstring(event.a) + (event.b ? L" s, woken by its timer" : L" s");
    case What::Session:
    case What::Power:
    case What::Zone:
    case What::Command: return text + L" " + std::to_wstring(event.a);
    case What::Edit:
    case What::Add:
    case What::Remove:
        return text + L" " + std::to_wstring(event.a) + L": " + ScheduleLineOf(DrawSchedule(event.b));
    case What::Option: return text + L" " + kOptionNames[event.a] + L" = " + std::to_wstring(event.b);
    case What::Notice: return text + L" " + kChoices[event.a];
    default: return text;
    }
}

namespace {

struct Outcome
{
    std::optional<Violation> violation;
    long long steps = 0;
};

Outcome Play(const Setup& setup, const std::vector<Event>& events, long long days, int trial)
{
    NightRun run(setup, events, days * kDay,
                 L"Nights-" + std::to_wstring(setup.seed) + L"-" + std::to_wstring(trial));
    Outcome outcome;
    outcome.violation = run.Play();
    outcome.steps = run.Steps();
    return outcome;
}

std::wstring When(const Setup& setup, long long second)
{
    return Clock(second - setup.start) + L" (calendar second " + std::to_wstring(second) + L")";
}

// Trims days and events while the same invariant still fails; a few hundred replays at most.
void Shrink(const Setup& setup, std::vector<Event>& events, long long& days, Violation& violation)
{
    int trial = 0;
    const auto fails = [&](const std::vector<Event>& candidate, long long candidateDays) {
        Outcome outcome = Play(setup, candidate, candidateDays, ++trial);
        if (!outcome.violation || outcome.violation->invariant != violation.invariant)
            return false;
        violation = *outcome.violation;
        days = std::min(candidateDays, (violation.at - setup.start) / kDay + 1);
        return true;
    };
    days = std::min(days, (violation.at - setup.start) / kDay + 1);
    events.erase(std::remove_if(events.begin(), events.end(), [&](const Event& e) { return e.at >= days * kDay; }),
                 events.end());
    for (size_t chunk = std::max<size_t>(events.size() / 2, 1); chunk >= 1 && trial < 400; chunk /= 2)
    {
        for (size_t from = 0; from < events.size() && trial < 400;)
        {
            std::vector<Event> candidate(events.begin(), events.begin() + from);
            candidate.insert(candidate.end(), events.begin() + std::min(events.size(), from + chunk), events.end());
            if (fails(candidate, days))
                events = candidate;
            else
                from += chunk;
        }
        if (chunk == 1)
            break;
    }
}

int Usage()
{
    std::fwprintf(stderr, L"usage: veskaro-nights [--seeds A-B[,C...]] [--days D] | --seed N [--days D]\n");
    return 2;
}

// "1-40,162": the seeds, in order; false for anything else.
bool ParseSeeds(const char* text, std::vector<unsigned long long>& seeds)
{
    seeds.clear();
    for (const char* part = text; *part != '\0';)
    {
        unsigned long long first = 0, last = 0;
        int used = 0;
        if (std::sscanf(part, "%llu-%llu%n", &first, &last, &used) != 2)
        {
            if (std::sscanf(part, "%llu%n", &first, &used) != 1)
                return false;
            last = first;
        }
        if (last < first || last - first > 1000000 || (part[used] != '\0' && part[used] != ','))
            return false;
        for (unsigned long long seed = first; seed <= last; ++seed)
            seeds.push_back(seed);
        part += used + (part[used] == ',');
    }
    return !seeds.empty();
}

} // namespace

int Main(int argc, char** argv)
{
    // Without arguments, the fixed set the test suite runs.
    std::vector<unsigned long long> seeds;
    ParseSeeds(kTestSeeds, seeds);
    long long days = kTestDays;
    for (int k = 1; k < argc; k += 2)
    {
        const bool list = std::strcmp(argv[k], "--seeds") == 0 || std::strcmp(argv[k], "--seed") == 0;
        if (k + 1 >= argc || (list ? !ParseSeeds(argv[k + 1], seeds)
                                   : std::strcmp(argv[k], "--days") != 0 || (days = std::atoll(argv[k + 1])) <= 0))
            return Usage();
    }
    const auto began = std::chrono::steady_clock::now();
    long long runs = 0, steps = 0;
    for (const unsigned long long seed : seeds)
    {
        ++runs;
        const Setup setup = DrawSetup(seed);
        std::vector<Event> events = DrawEvents(seed, static_cast<int>(days), setup);
        Outcome outcome = Play(setup, events, days, 0);
        steps += outcome.steps;
        if (!outcome.violation)
            continue;
        Violation violation = *outcome.violation;
        Print(L"seed " + std::to_wstring(seed) + L": invariant " + std::to_wstring(violation.invariant) + L" violated at " +
              When(setup, violation.at) + L": " + violation.what);
        const size_t drawn = events.size();
        long long shortDays = days;
        Shrink(setup, events, shortDays, violation);
        Print(L"shortest run found: " + std::to_wstring(shortDays) + L" day(s), " + std::to_wstring(events.size()) + L" of " +
              std::to_wstring(drawn) + L" events; it fails at " + When(setup, violation.at) + L": " + violation.what);
        Print(L"  zone offset " + std::to_wstring(setup.zone.front().second) +
              (setup.zone.size() > 1 ? L", with daylight saving" : L"") + (setup.modernStandby ? L", Modern Standby" : L""));
        for (const long long number : setup.schedules)
        {
            const Schedule schedule = DrawSchedule(static_cast<std::uint64_t>(number));
            Print(L"  schedule " + ScheduleLineOf(schedule));
        }
        for (const auto& [option, value] : setup.options)
            Print(L"  option " + std::wstring(kOptionNames[option]) + L" = " + std::to_wstring(value));
        for (const Event& event : events)
            Print(L"  " + Describe(event));
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    wchar_t line[160];
    std::swprintf(line, 160, L"%lld runs, %lld days, 0 violations, %.0f s (%.1f days/s, %lld steps)", runs, runs * days,
                  seconds, runs * days / std::max(seconds, 0.001), steps);
    Print(line);
    return 0;
}

} // namespace veskaro::testing
