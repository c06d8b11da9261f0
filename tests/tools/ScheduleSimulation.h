#pragma once

#include <ctime>
#include <functional>

namespace veskaro
{

// Outcome of simulating one scheduled turn-off a day under a jittery timer.
// Missed: occurrences that never fired. Repeated: firings beyond the first.
struct SimulationResult
{
    long long days;
    long long oldMissed, oldRepeated, newMissed, newRepeated;
};

// Compares the old tick rule (each tick tests only its own second's time text,
// with no memory) against the program's tick. Deterministic for a given seed;
// the time text is "h:mm:ss" or, without seconds, "h:mm".
SimulationResult SimulateSchedule(long long days, bool formatHasSeconds, unsigned long long seed);

// Several schedules acting within a few minutes of each other each day, two of them in the
// same second. Shared: one schedule's rule kept for them all, one action a tick; new: the
// program's, one guard per schedule and one action a second. Actions: those the program made.
struct SchedulesResult
{
    long long days, schedules;
    long long sharedMissed, sharedRepeated, newMissed, newRepeated, actions;
};
SchedulesResult SimulateSchedules(long long days, unsigned long long seed);

// A time zone: the local time of an absolute second; false when it has none.
using LocalTimeOf = std::function<bool(long long second, std::tm& local)>;

// Outcome of simulating a zone's clock changes under the same jittery timer.
// Occurrences: scheduled local times, each due once. Old: the rule that catches up
// absolute seconds only; new: the program's tick, which tests the skipped wall-clock seconds too.
struct ClockChangeResult
{
    long long changes, occurrences;
    long long oldMissed, oldRepeated, newMissed, newRepeated;
};

// Finds the changes of the zone's offset from `from` to `to` (absolute seconds) and,
// in the ticks of the hours around each, schedules every minute the local clock skipped
// or repeated there, plus a few ordinary times; around ordinary instants through the
// period too, so a zone without changes is tested as well. Time texts with seconds.
ClockChangeResult SimulateClockChanges(const LocalTimeOf& localTime, long long from, long long to,
                                       unsigned long long seed);

} // namespace veskaro
