#include "schedule/ScheduleRules.h"
#include "tools/ScheduleSimulation.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include <climits>
#include <cstdio>

using namespace veskaro;

// A local time "YYYY-MM-DD hh:mm:ss" as a wall-clock second, and a wall-clock second as that text and weekday.
static long long Wall(const char* text)
{
    std::tm t{};
    std::sscanf(text, "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour, &t.tm_min, &t.tm_sec);
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    return WallClockSecond(t);
}
static std::string Text(long long wallClock)
{
    const std::tm t = WallClockTime(wallClock);
    char text[32];
    return std::string(text, std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %a", &t));
}

TEST(ScheduleRules, DayFlagIndices)
{
    // Weekday 1 = Sunday ... 7 = Saturday; flags run Monday..Sunday.
    const int off[] = {6, 0, 1, 2, 3, 4, 5};
    for (int weekday = 1; weekday <= 7; ++weekday)
    {
        EXPECT_EQ(TurnOffDayFlagIndex(weekday), off[weekday - 1]) << weekday;
        EXPECT_EQ(TurnOnDayFlagIndex(weekday), off[weekday - 1] + 7) << weekday;
    }
    for (int invalid : {0, 8, -1, INT_MIN, INT_MAX})
    {
        EXPECT_EQ(TurnOffDayFlagIndex(invalid), -1);
        EXPECT_EQ(TurnOnDayFlagIndex(invalid), -1);
    }
}

TEST(ScheduleRules, SecondsToTestCatchesUpShortGapsOnly)
{
    struct Case
    {
        bool hasPrevious;
        long long previous, now, first, last;
    };
    const Case cases[] = {
        {false, 0, 500, 500, 500},   // first tick
        {true, 500, 500, 500, 500},  // same second again
        {true, 500, 501, 501, 501},  // on time
        {true, 500, 502, 501, 502},  // one second skipped
        {true, 500, 560, 501, 560},  // longest catch-up
        {true, 500, 561, 561, 561},  // sleep or clock change
        {true, 500, 499, 499, 499},  // clock went back
        {true, 86398, 86401, 86399, 86401}, // across midnight
        {true, LLONG_MIN, LLONG_MAX, LLONG_MAX, LLONG_MAX},
        {true, LLONG_MAX, LLONG_MIN, LLONG_MIN, LLONG_MIN},
        {true, LLONG_MAX - 1, LLONG_MAX, LLONG_MAX, LLONG_MAX},
    };
    for (const Case& c : cases)
    {
        const SecondRange r = SecondsToTest(c.hasPrevious, c.previous, c.now);
        EXPECT_EQ(r.first, c.first) << c.previous << " -> " << c.now;
        EXPECT_EQ(r.last, c.last) << c.previous << " -> " << c.now;

        // Each second once, up to and including the last, even the largest there is.
        long long second = r.first;
        long long visited = 1;
        while (visited <= kMaxCatchUpSeconds + 1 && NextSecondToTest(r, second))
            ++visited;
        EXPECT_EQ(visited, c.last - c.first + 1) << c.previous << " -> " << c.now;
        EXPECT_EQ(second, c.last) << c.previous << " -> " << c.now;
    }
}

TEST(ScheduleRules, WallClockSecondsToTestAcrossClockChanges)
{
    struct Case
    {
        long long offsetBefore, offsetAfter; // minutes ahead of UTC
        const char* previousTick;            // its local time
        long long elapsed;                   // absolute seconds from it to this tick
        const char *first, *last;            // the wall-clock seconds to test; "" for the absolute ones
    };
    const Case cases[] = {
        {-300, -240, "2024-03-10 01:59:59", 1, "2024-03-10 02:00:00 Sun", "2024-03-10 03:00:00 Sun"}, // New York
        {-300, -240, "2024-03-10 01:59:00", 60, "2024-03-10 01:59:01 Sun", "2024-03-10 03:00:00 Sun"}, // late tick
        {630, 660, "2026-10-04 01:59:59", 1, "2026-10-04 02:00:00 Sun", "2026-10-04 02:30:00 Sun"}, // Lord Howe
        {-180, -120, "2018-11-03 23:59:59", 1, "2018-11-04 00:00:00 Sun", "2018-11-04 01:00:00 Sun"}, // Sao Paulo
        {0, 120, "2026-03-29 00:59:59", 1, "2026-03-29 01:00:00 Sun", "2026-03-29 03:00:00 Sun"}, // Troll, 2 hours
        {-240, -300, "2026-11-01 01:59:59", 1, "", ""}, // New York falls back
        {-300, -300, "2026-03-08 01:59:50", 20, "", ""}, // no change
        {-300, -240, "2026-03-08 01:59:59", 61, "", ""}, // gap over the catch-up limit
        {0, 180, "2026-03-29 00:59:59", 1, "", ""},      // over 2 hours: a change of zone
        {-300, -240, "2026-03-08 01:59:59", -5, "", ""}, // the clock set back
    };
    SecondRange r{};
    for (const Case& c : cases)
    {
        const long long previous = Wall(c.previousTick) - c.offsetBefore * 60, now = previous + c.elapsed;
        const bool wallClock =
            WallClockSecondsToTest(true, previous, Wall(c.previousTick), now, now + c.offsetAfter * 60, r);
        EXPECT_EQ(wallClock ? Text(r.first) : "", c.first) << c.previousTick;
        EXPECT_EQ(wallClock ? Text(r.last) : "", c.last) << c.previousTick;
    }
    EXPECT_FALSE(WallClockSecondsToTest(false, 0, 0, 1, 3601, r)); // no previous tick
    EXPECT_FALSE(WallClockSecondsToTest(true, LLONG_MIN, LLONG_MIN, LLONG_MAX, LLONG_MAX, r));
    EXPECT_EQ(Text(Wall("2000-02-28 23:59:59") + 1), "2000-02-29 00:00:00 Tue");
    EXPECT_EQ(Text(Wall("2100-02-28 23:59:59") + 1), "2100-03-01 00:00:00 Mon");

    // A tick's seconds and local times, in New York, where 2024-03-10 07:00 UTC was 2:00 EST.
    const long long jump = Wall("2024-03-10 07:00:00");
    const auto newYork = [jump](long long second, std::tm& local) {
        local = WallClockTime(second + (second < jump ? -5 : -4) * 3600);
        return true;
    };
    PreviousTick previous;
    std::vector<std::string> tested;
    const auto tick = [&](long long now) {
        std::tm local{};
        TickSeconds seconds(previous, now, newYork(now, local) ? &local : nullptr);
        tested.clear();
        do
            tested.push_back(seconds.LocalTime(newYork, local) ? Text(WallClockSecond(local)) : "none");
        while (seconds.Next());
    };
    tick(jump - 30);
    EXPECT_EQ(tested, std::vector<std::string>{"2024-03-10 01:59:30 Sun"}); // the first tick: now only
    tick(jump + 2); // late across the jump: the skipped hour too, in time order
    ASSERT_EQ(tested.size(), 29u + 3600u + 3u);
    EXPECT_EQ(tested.front(), "2024-03-10 01:59:31 Sun");
    EXPECT_EQ(tested[29], "2024-03-10 02:00:00 Sun");
    EXPECT_EQ(tested.back(), "2024-03-10 03:00:02 Sun");
    tick(jump + 4); // on the absolute seconds again
    EXPECT_EQ(tested, (std::vector<std::string>{"2024-03-10 03:00:03 Sun", "2024-03-10 03:00:04 Sun"}));
    previous = PreviousTick{}; // starts afresh
    tick(jump + 10);
    EXPECT_EQ(tested, std::vector<std::string>{"2024-03-10 03:00:10 Sun"});
}

// The second the wake timer is set for: the tick's own answer, across a week and daylight saving.
TEST(ScheduleRules, NextOccurrenceIsWhereTheTickActs)
{
    // New York, 2026: 2:00 EST jumps to 3:00 EDT at 07:00 UTC on 8 March; 2:00 EDT falls back to
    // 1:00 EST at 06:00 UTC on 1 November. Every text below is UTC.
    const long long spring = Wall("2026-03-08 07:00:00"), fall = Wall("2026-11-01 06:00:00");
    const auto newYork = [=](long long second, std::tm& local) {
        local = WallClockTime(second + (second >= spring && second < fall ? -4 : -5) * 3600);
        return true;
    };
    struct Case
    {
        const char* days; // Sunday first
        const char* time; // local, or "" for none
        const char* from;
        const char* next; // "" for never
    };
    const Case cases[] = {
        {"SMTWTFS", "07:00:00", "2026-12-06 11:59:59", "2026-12-06 12:00:00 Sun"}, // later today
        {"SMTWTFS", "07:00:00", "2026-12-06 12:00:00", "2026-12-07 12:00:00 Mon"}, // its own second: tomorrow
        {"-M-----", "07:00:00", "2026-12-07 12:00:01", "2026-12-14 12:00:00 Mon"}, // a week on
        {"S------", "23:59:59", "2026-12-09 10:00:00", "2026-12-14 04:59:59 Mon"}, // Sunday 23:59:59 local
        {"-------", "07:00:00", "2026-12-06 00:00:00", ""},
        {"SMTWTFS", "", "2026-12-06 00:00:00", ""},
        {"SMTWTFS", "02:30:00", "2026-03-08 06:00:00", "2026-03-08 07:00:00 Sun"}, // skipped: right after the jump
        {"SMTWTFS", "03:30:00", "2026-03-08 06:00:00", "2026-03-08 07:30:00 Sun"},
        {"SMTWTFS", "01:30:00", "2026-11-01 04:00:00", "2026-11-01 05:30:00 Sun"}, // repeated: the first
        {"SMTWTFS", "01:30:00", "2026-11-01 05:45:00", "2026-11-02 06:30:00 Mon"}, // and only the first
    };
    for (const Case& c : cases)
    {
        WeeklyTime time;
        for (int day = 0; day < 7; ++day)
            time.days[day] = c.days[day] != '-';
        time.secondOfDay = *c.time ? static_cast<int>(Wall((std::string("1970-01-01 ") + c.time).c_str())) : -1;
        long long next = 0;
        EXPECT_EQ(NextOccurrence(time, Wall(c.from), newYork, next) ? Text(next) : "", c.next) << c.from;
    }

    const WeeklyTime daily{{true, true, true, true, true, true, true}, 7 * 3600};
    long long last = 0;
    const auto lastBefore = [&](const char* at) {
        return LastOccurrence(daily, Wall(at), newYork, last) ? Text(last) : std::string();
    };
    // Across schedules: the earliest of them, none without any.
    WeeklyTime weekend{{true, false, false, false, false, false, true}, 9 * 3600};
    const auto nextOfAny = [&](std::vector<WeeklyTime> times, const char* from) {
        return NextOccurrenceOfAny(times, Wall(from), newYork, last) ? Text(last) : std::string();
    };
    EXPECT_EQ(nextOfAny({daily, weekend}, "2026-12-05 12:00:00"), "2026-12-05 14:00:00 Sat");
    EXPECT_EQ(nextOfAny({weekend, daily}, "2026-12-07 11:00:00"), "2026-12-07 12:00:00 Mon");
    EXPECT_EQ(nextOfAny({}, "2026-12-07 11:00:00"), "");
    EXPECT_EQ(lastBefore("2026-12-06 12:00:00"), "2026-12-06 12:00:00 Sun"); // its own second counts
    EXPECT_EQ(lastBefore("2026-12-06 11:59:59"), "2026-12-05 12:00:00 Sat");
    EXPECT_FALSE(NextOccurrence(daily, 0, [](long long, std::tm&) { return false; }, last));
}

TEST(ScheduleRules, ScheduleLineNamesTheDaysTheTimesAndTheExtras)
{
    const std::wstring names[7] = {L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat", L"Sun"};
    struct Case
    {
        const char* offDays; // Monday first
        const char* onDays;
        bool blackScreen, lock;
        const wchar_t* line;
    };
    const Case cases[] = {
        {"MTWTF--", "MTWTF--", true, true, L"Mon\u2013Fri: off 11:00 PM, on 7:00 AM (black screen, lock)"},
        {"-----SS", "-----SS", false, true, L"Sat, Sun: off 11:00 PM, on 7:00 AM (lock)"},
        {"M-W-F-S", "-------", true, false, L"Mon, Wed, Fri, Sun: off 11:00 PM (black screen)"},
        {"MTWTF--", "-TWTFS-", false, false, L"Mon\u2013Fri: off 11:00 PM; Tue\u2013Sat: on 7:00 AM"},
        {"-------", "MTWTFSS", false, false, L"Mon\u2013Sun: on 7:00 AM"},
        {"-------", "-------", false, false, L"No weekdays: off 11:00 PM, on 7:00 AM"},
    };
    for (const Case& c : cases)
    {
        ScheduleLineParts parts{{}, {}, L"11:00 PM", L"7:00 AM", c.blackScreen, c.lock};
        for (int day = 0; day < 7; ++day)
            parts.offDays[day] = c.offDays[day] != '-', parts.onDays[day] = c.onDays[day] != '-';
        EXPECT_EQ(ScheduleLine(parts, names), c.line);
    }
}

TEST(ScheduleRules, TrayTipTellsWhatComesNext)
{
    const auto format = [](long long at) { return std::wstring(at == 2 ? L"Tue 7:00 AM" : L"Mon 11:00 PM"); };
    const struct { long long off, on; bool skipped, held; const wchar_t* tip; } cases[] = {
        {1, 2, false, false, L"Veskaro\nMonitors off Mon 11:00 PM"},
        {3, 2, false, false, L"Veskaro\nMonitors on Tue 7:00 AM"},
        {2, 2, false, false, L"Veskaro\nMonitors off Tue 7:00 AM"},
        {1, 2, true, false, L"Veskaro\nTurn-off skipped; monitors on Tue 7:00 AM"},
        {1, -1, true, false, L"Veskaro\nTurn-off skipped"},
        {1, 2, false, true, L"Veskaro\nTurn-off waits until the PC is idle"},
        {-1, -1, false, false, L"Veskaro"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrayTipText(L"Veskaro", c.off, c.on, c.skipped, c.held, format), c.tip);
}

TEST(ScheduleRules, OccurrenceGuardFiresOncePerKey)
{
    OccurrenceGuard guard;
    EXPECT_FALSE(guard.AlreadyFired(L""));
    EXPECT_TRUE(guard.ShouldFire(L"6/12/2026 7:01"));
    EXPECT_FALSE(guard.ShouldFire(L"6/12/2026 7:01"));
    EXPECT_TRUE(guard.AlreadyFired(L"6/12/2026 7:01"));
    EXPECT_TRUE(guard.ShouldFire(L"6/13/2026 7:01"));
    EXPECT_FALSE(guard.AlreadyFired(L"6/12/2026 7:01"));

    // The empty key is never taken as fired, nor does it replace the last key.
    EXPECT_TRUE(guard.ShouldFire(L""));
    EXPECT_TRUE(guard.ShouldFire(L""));
    guard.Remember(L"");
    EXPECT_TRUE(guard.AlreadyFired(L"6/13/2026 7:01"));

    guard.Remember(L"6/14/2026 7:01");
    EXPECT_FALSE(guard.ShouldFire(L"6/14/2026 7:01"));
}

TEST(ScheduleSimulation, NewRuleFiresExactlyOncePerOccurrence)
{
    for (bool withSeconds : {true, false})
    {
        const SimulationResult r = SimulateSchedule(10000, withSeconds, 20260612);
        EXPECT_EQ(r.days, 10000);
        EXPECT_EQ(r.newMissed, 0) << withSeconds;
        EXPECT_EQ(r.newRepeated, 0) << withSeconds;
        if (withSeconds)
        {
            EXPECT_GT(r.oldMissed, 0);
        }
        else
        {
            EXPECT_EQ(r.oldMissed, 0);
            EXPECT_GT(r.oldRepeated, 55 * r.days);
            EXPECT_LT(r.oldRepeated, 60 * r.days);
        }
    }
    // Several schedules a day, two in the same second: each fires once, and that second acts once.
    const SchedulesResult several = SimulateSchedules(2000, 20260612);
    EXPECT_EQ(several.newMissed + several.newRepeated, 0);
    EXPECT_GT(several.sharedMissed, 0) << "one action a tick for all the schedules misses some";
    EXPECT_EQ(several.actions, (several.schedules - 1) * several.days);
}

TEST(ScheduleSimulation, SameSeedSameResult)
{
    const SimulationResult a = SimulateSchedule(200, true, 7);
    const SimulationResult b = SimulateSchedule(200, true, 7);
    EXPECT_EQ(a.oldMissed, b.oldMissed);
    EXPECT_EQ(a.oldRepeated, b.oldRepeated);
    EXPECT_EQ(SimulateSchedule(-5, true, 7).days, 0);
}
