// What the schedule asks of Windows' power management: a wake timer for the scheduled
// turn-on, the system kept awake for it, and the monitors kept on from a scheduled turn-on
// to the turn-off.
#pragma once

#include "framework/Handles.h"
#include "power/PowerRequests.h"
#include "schedule/ScheduleList.h"

#include <windows.h>

#include <ctime>
#include <string>
#include <vector>

namespace veskaro {

class CVeskaroDlg;
class IOutsideWorld;
class ISettingsStore;

// Every schedule's actions, the first schedule's first.
using ScheduledTimes = std::vector<ScheduleTimes>;

class CScheduledPower
{
public:
    CScheduledPower(CVeskaroDlg& window, IOutsideWorld& outside, ISettingsStore& store);

    // After start-up, and after any change of the schedule, the time, the zone or a resume.
    void Update();
    // The options changed: the keep-on request follows them from now on.
    void OnOptionsChanged();
    // The scheduled turn-off begins (before its black screen).
    void OnScheduledTurnOff();
    // Its second passed without it (skipped or held): the monitors are no longer kept on all the same.
    void OnScheduledTurnOffPassed();
    void OnScheduledTurnOn();
    // The turn-offs from `from` on are made at `to` instead (the postpone; 0, 0 for none): the
    // keep-on period lasts until then. `follow`: the request follows at once (not at start-up).
    void PutOff(__time64_t from, __time64_t to, bool follow = true);
    // Any other turn-on Veskaro performs.
    void OnTurnOn();
    // Any turn-off Veskaro performs, just before it; turnOnAfter for the ten-second turn-on.
    void BeforeTurnOff(bool turnOnAfter = false);
    void OnSessionLock();
    void OnSessionUnlock();
    bool IsSessionLocked() const { return m_locked; }
    // Woken without the user (PBT_APMRESUMEAUTOMATIC), and the user's input after a resume.
    void OnResume();
    void OnUserResume();
    // Each tick: a turn-on or turn-off passed unmade (a gap in the ticks) leaves the wake timer
    // or the keep-on request behind.
    void OnTick(__time64_t now);
    // The PC went on or off AC power.
    void OnPowerStatusChange();
    bool OnTimer(UINT_PTR id);
    // Exit or the end of the session: everything is released.
    void Stop();

private:
    bool InKeepOnPeriod(const ScheduledTimes& times);
    void Hold();
    void HoldSystem();

    CVeskaroDlg& m_window;
    IOutsideWorld& m_outside;
    ISettingsStore& m_store;
    CPowerRequests m_requests;
    UniqueKernelHandle m_timer;
    __time64_t m_turnOnDue = 0; // the turn-on the wake timer is set for; 0 for none
    std::wstring m_reason;
    // The system is held while any of these asks for it; the first two end at these times (0: not held).
    __time64_t m_resumeHoldEnd = 0;  // from a resume until the user is back or the turn-on is past
    __time64_t m_standbyHoldEnd = 0; // Modern Standby: from a scheduled turn-off until the turn-on is past
    bool m_shortTurnOnHold = false;  // Modern Standby: the ten seconds before a turn-on
    bool m_keepOn = false;           // the monitors are kept on, and the system with them
    __time64_t m_keepOnUntil = 0;    // while kept on: the next turn-off of any schedule; 0 for none
    bool m_onAcPower = true;
    bool m_locked = false;
    bool m_keepOnSuspended = false; // released by a turn-off until the next turn-on or unlock
    __time64_t m_putOffFrom = 0, m_putOffTo = 0;
};

} // namespace veskaro
