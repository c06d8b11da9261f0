// Missed and repeated scheduled actions under a jittery timer, the old tick rule against
// the one the program uses, for time texts with and without seconds.
// Usage: veskaro-simulate [days [seed]]; prints one "name value" line per figure.
#include "schedule/ScheduleSimulation.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

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
    return 0;
}
