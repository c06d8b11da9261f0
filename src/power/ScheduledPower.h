// What the schedule asks of Windows' power management: a wake timer for the scheduled
// turn-on, the system kept awake for it, and the monitors kept on from a scheduled turn-on
// to the turn-off.
#pragma once

#include "framework/Handles.h"
#include "power/PowerRequests.h"
#include "schedule/ScheduleRules.h"

#include <windows.h>

#include <ctime>
#include <string>

namespace veskaro {

class CVeskaroDlg;
class IOutsideWorld;
class ISettingsStore;

// The schedule's two actions as the power management needs them.
struct ScheduledTimes
{
    WeeklyTime turnOff;
    WeeklyTime turnOn;
    std::wstring turnOnText; // the time as the user reads it
};

class CScheduledPower
{
public:
    CScheduledPower(CVeskaroDlg& window, IOutsideWorld& outside, ISettingsStore& store);

    // After start-up, and after any change of the schedule, the time, the zone or a resume.
    void Update();
    // The options changed: the keep-on request follows them from now on.
    void OnOptionsChanged();
    void OnScheduledTurnOff();
    void OnScheduledTurnOn();
    // Any turn-off Veskaro performs, just before it.
    void BeforeTurnOff();
    void OnSessionLock();
    void OnSessionUnlock();
    void OnResume();
    bool OnTimer(UINT_PTR id);
    // Exit or the end of the session: everything is released.
    void Stop();

private:
    bool InKeepOnPeriod(const ScheduledTimes& times);
    void HoldSystem();

    CVeskaroDlg& m_window;
    IOutsideWorld& m_outside;
    ISettingsStore& m_store;
    CPowerRequests m_requests;
    UniqueKernelHandle m_timer;
    __time64_t m_turnOnDue = 0; // the turn-on the wake timer is set for; 0 for none
    std::wstring m_reason;
    bool m_holdForResume = false;  // from a resume until the turn-on, a few minutes at most
    bool m_holdForStandby = false; // from a scheduled turn-off until the turn-on
    bool m_keepOnSuspended = false; // released by a turn-off or the lock until the next turn-on or unlock
};

} // namespace veskaro
