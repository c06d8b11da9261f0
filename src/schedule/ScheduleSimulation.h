#pragma once

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
// with no memory) against SecondsToTest plus OccurrenceGuard. Deterministic
// for a given seed; the time text is "h:mm:ss" or, without seconds, "h:mm".
SimulationResult SimulateSchedule(long long days, bool formatHasSeconds, unsigned long long seed);

} // namespace veskaro
