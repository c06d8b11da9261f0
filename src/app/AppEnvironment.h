// What the windows of one process share: the application name, the settings store,
// the outside world and the instance mode read at start-up.
#pragma once

#include <string>

namespace veskaro {

class ISettingsStore;
class IOutsideWorld;

struct AppEnvironment
{
    std::wstring applicationName;
    ISettingsStore& store;
    IOutsideWorld& outside;
    // Read once at start-up; a change takes effect at the next start.
    bool allowMultipleInstances = false;
    // The argument text the restart manager starts the program again with: the process's own,
    // or only ":silent" after a command, which is carried out once.
    std::wstring restartArguments;
};

} // namespace veskaro
