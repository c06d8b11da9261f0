// The user's text log of the program's own turn-offs and turn-ons.
#pragma once

namespace veskaro {

class ISettingsStore;
class IOutsideWorld;

// Appends one line when logging is on; never reports a failure to the caller.
// The options are read afresh for every line, so a change in the settings takes
// effect with the next one.
void AppendEventLog(ISettingsStore& store, IOutsideWorld& outside, bool turnOff);

} // namespace veskaro
