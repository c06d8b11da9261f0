// A turn-off from its request to its end: the wait for the user's input to settle, the
// turn-off and its lock, a turn-on that fell due meanwhile, and the watch that keeps the
// monitors off until the user comes back.
#pragma once

#include <windows.h>

#include <ctime>

namespace veskaro {

class CScheduledPower;
class CVeskaroDlg;
class IOutsideWorld;
class ISettingsStore;

class CTurnOffSequence
{
public:
    struct Request
    {
        bool lock = false;        // lock the workstation after the turn-off
        bool turnOnAfter = false; // turn the monitors on ten seconds after it
        bool sessionLock = false; // asked for by a session lock: an unlock takes it back
        bool settle = false;      // wait the quiet time whatever the input looks like
    };

    // Quiet input: this long without any, and no key or button held.
    static constexpr DWORD kQuietInputMs = 500;

    CTurnOffSequence(CVeskaroDlg& window, IOutsideWorld& outside, ISettingsStore& store, CScheduledPower& power);

    // A turn-off that follows the user's own input waits for the release of the key or
    // button and for quiet input; one asked for meanwhile joins it.
    void AfterInput(const Request& request);
    // A turn-off on the clock, with nothing of the user's to wait for.
    void Now(const Request& request);
    // The scheduled turn-off: the black screen first when asked, then the turn-off after
    // the input that closed it. False when the window ended while the black screen was up.
    bool Scheduled(bool blackScreen, bool lock);
    // A turn-on Veskaro performs (the schedule, the ten seconds). One that falls due while a
    // turn-off waits ends the wait first; one during the scheduled black screen comes right
    // after that black screen's turn-off.
    void TurnOn(bool scheduled = false);
    void OnUnlock();
    void OnDisplayState(bool on);
    // A suspend or resume, or another session at the console: the display may come on
    // without input this session sees (the power button, the lid, presence sensing, a
    // user switch), so the watch ends.
    void OnUserMayBeBack();
    // Timer messages of the main window that belong here; false for the others.
    bool OnTimer(UINT_PTR id);
    // The window is ending: nothing more is done.
    void Stop();

private:
    bool TurnOffIfQuiet(); // true when nothing waits any more
    void Perform(const Request& request);
    void EndWatch();
    bool UserCameBack();

    CVeskaroDlg& m_window;
    IOutsideWorld& m_outside;
    ISettingsStore& m_store;
    CScheduledPower& m_power;

    bool m_waiting = false;
    Request m_waited;
    int m_quietPolls = 0;

    bool m_blackScreenUp = false;
    bool m_turnOnDeferred = false;
    bool m_deferredScheduled = false;

    // The watch: the session's last input time when the monitors went off, and the times of
    // the turn-offs made again, at most a few in any ten minutes.
    bool m_watching = false;
    bool m_displayOn = true; // as the last display notification said
    DWORD m_inputAtTurnOff = 0;
    static constexpr int kMaxTurnOffsAgain = 3;
    __time64_t m_turnedOffAgain[kMaxTurnOffsAgain] = {}; // oldest first
    int m_turnOffsAgain = 0;
};

} // namespace veskaro
