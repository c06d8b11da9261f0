// Missed and repeated scheduled actions under a jittery timer, the old tick rule against the one
// the program uses: for time texts with and without seconds, and across the clock changes of real zones.
// Usage: veskaro-simulate [days [seed]]; prints one "name value" line per figure.
#include "ScheduleSimulation.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <string>

int main(int argc, char** argv)
{
    long long days = 10000;
    unsigned long long seed = 20260612;
    if (argc > 1)
        days = std::strtoll(argv[1], nullptr, 10);
    if (argc > 2)
        seed = std::strtoull(argv[2], nullptr, 10);
    if (days <= 0 || argc > 3)
    {
        std::fputs("usage: veskaro-simulate [days [seed]]\n", stderr);
        return 2;
    }
    std::printf("days %lld\nseed %llu\n", days, seed);
    for (const bool withSeconds : {true, false})
    {
        const veskaro::SimulationResult result = veskaro::SimulateSchedule(days, withSeconds, seed);
        const char* format = withSeconds ? "seconds" : "minutes";
        std::printf("%s_old_missed %lld\n%s_old_repeated %lld\n", format, result.oldMissed, format,
                    result.oldRepeated);
        std::printf("%s_new_missed %lld\n%s_new_repeated %lld\n", format, result.newMissed, format,
                    result.newRepeated);
    }
    const veskaro::SchedulesResult several = veskaro::SimulateSchedules(days, seed);
    std::printf("schedules %lld\nschedules_shared_missed %lld\nschedules_shared_repeated %lld\n"
                "schedules_new_missed %lld\nschedules_new_repeated %lld\nschedules_actions %lld\n",
                several.schedules, several.sharedMissed, several.sharedRepeated, several.newMissed,
                several.newRepeated, several.actions);
    // Clock changes of 2010 to 2019 in real zones; the C library takes a zone it cannot find for UTC.
    for (const char* zone :
         {"America/New_York", "Europe/Berlin", "Australia/Lord_Howe", "America/Sao_Paulo", "Asia/Kolkata"})
    {
        std::FILE* file = std::fopen((std::string("/usr/share/zoneinfo/") + zone).c_str(), "rb");
        if (!file || std::fclose(file) != 0)
            return std::fprintf(stderr, "veskaro-simulate: no zone %s; install tzdata\n", zone), 1;
        setenv("TZ", zone, 1);
        tzset();
        const veskaro::ClockChangeResult r = veskaro::SimulateClockChanges(
            [](std::time_t second, std::tm& local) { return localtime_r(&second, &local) != nullptr; }, 1262304000,
            1577836800, seed);
        std::printf("clock_change_zone %s\n%s changes %lld\n%s occurrences %lld\n%s old_missed %lld\n"
                    "%s old_repeated %lld\n%s new_missed %lld\n%s new_repeated %lld\n",
                    zone, zone, r.changes, zone, r.occurrences, zone, r.oldMissed, zone, r.oldRepeated, zone,
                    r.newMissed, zone, r.newRepeated);
    }
    return 0;
}
