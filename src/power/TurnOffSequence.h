// A turn-off from its request to its end: the wait for the user's input to settle, the
// turn-off and its lock, a turn-on that fell due meanwhile, and the watch that keeps the
// monitors off until the user comes back.
#pragma once

#include "power/FadeWindow.h"
#include "power/TurnOffNotice.h"

#include <windows.h>

#include <ctime>

namespace veskaro {

class CScheduledPower;
class CVeskaroDlg;
class IOutsideWorld;
class ISettingsStore;
struct ScheduleTimes;
struct WeeklyTime;

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
    // `tested`: the calendar second the tick tested, or -1 where it tested a wall-clock second.
    // `afterInput`: asked for by the user's click, whose input must settle first.
    bool Scheduled(bool blackScreen, bool lock, long long tested = -1, bool afterInput = false);
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
    // The PC goes to sleep: the monitors go off with it, and a held turn-off is over.
    void OnSuspend();
    // Timer messages of the main window that belong here; false for the others.
    bool OnTimer(UINT_PTR id);
    // The window is ending: nothing more is done.
    void Stop();

    // While the PC is in use: the scheduled turn-off held until it is idle, the skip of the
    // next one, and the monitors turned off again when someone woke them and went away.
    // At start-up: a skip an earlier run stored.
    void LoadSkip();
    // Once a tick; false when the window ended while a held turn-off's black screen was up.
    bool OnTick(__time64_t now);
    // The menu command: skips the next scheduled turn-off (a held or postponed one at once), or takes the skip back.
    void ToggleSkip();
    // The menu command: the next scheduled turn-off (a held one too) fifteen minutes later, and
    // fifteen more at each choice; one postponed to the next turn-on or past it is dropped, as a skip.
    // `named`: the turn-off the notice names, in place of the next.
    void Postpone(long long named = -1);
    // The tick's test of a second: the postponed turn-off is due at its new one.
    void PostponedDue(long long second, bool& turnOff, bool& blackScreen, bool& lock);
    // A schedule added, edited or removed: the skip, the hold and the turn-off again follow it.
    void OnSchedulesChanged();
    bool IsSkipSet() const { return m_skipAt != 0; }
    bool IsHeld() const { return m_held; }
    // The first second after now (or `from`) at which the tick acts on that action of any schedule.
    bool NextOccurrenceOf(WeeklyTime ScheduleTimes::*action, long long& next, long long from = -1);
    // The next turn-off as the tip names it: true when it is the postponed one.
    bool NextTurnOff(long long& next);
    // The next turn-off the tick will make, as the notice names it: none while one is held.
    bool NextDueTurnOff(long long& second);
    // The notice's choices for the turn-off it names: not tonight, and made now (its black screen
    // and lock, never held, its second used up).
    void SkipTurnOffAt(long long second);
    void TurnOffAt(long long second);
    // What comes next may have changed: the notice follows.
    void OnNextTurnOffChanged() { m_notice.OnNextTurnOffChanged(); }
    void OnNoticeChoice(UINT id) { m_notice.OnChoice(id); }
    void CloseNotice() { m_notice.Close(); } // a black screen comes up

private:
    // The scheduled turn-off's first step: true when it is skipped or held instead of made.
    bool SkipsOrHolds(bool blackScreen, bool lock, long long tested);
    bool InUse(DWORD idleSeconds);
    // The end of the night that a turn-off made or held now belongs to: the next turn-on of any
    // schedule; for a held one without a turn-on, the next turn-off, which is decided afresh.
    // False when there is none.
    bool NightEnd(bool held, long long& end);
    // The hold and the turn-off again end with their night: its turn-on made, or its second passed.
    void EndNight(__time64_t now, bool turnOnMade);
    void SetSkip(__time64_t at);
    void SetPostponed(__time64_t from, __time64_t to);
    bool ScheduleTurnsOffAt(long long second);
    bool PostponementHolds();

    void ArmTurnOffAgain();
    void TurnOffAgainIfIdle(__time64_t now);
    void OnDisplayStateForTurnOffAgain(bool on);

    // The fade before a turn-off made for idleness: the hold's release, or the turn-off again.
    enum class FadeTo { kNothing, kHeld, kAgain };
    bool StartFade(FadeTo to); // false: no fade, the turn-off is made now
    bool FadeLeads();          // what it leads to still stands
    void OnFadeStep();
    void EndFade();

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

    // The held turn-off, with what it is to do once the PC has been idle long enough.
    bool m_held = false;
    __time64_t m_heldUntil = 0; // the end of its night
    bool m_heldBlackScreen = false;
    bool m_heldLock = false;
    DWORD m_heldIdleSeconds = 0;
    __time64_t m_heldAt = 0; // the occurrence it holds
    bool m_releasingHeld = false;
    // The skipped occurrence's calendar second; 0 for none.
    __time64_t m_skipAt = 0;
    // The postponed occurrence, and the second it is made at instead; 0 for none.
    __time64_t m_postponedFrom = 0;
    __time64_t m_postponedTo = 0;
    __time64_t m_makingPostponed = 0; // the occurrence of the postponed turn-off being made
    __time64_t m_madeEarly = 0; // an occurrence made ahead of its second from the notice; 0 for none
    // The turn-off again: armed from a scheduled turn-off until the end of its night.
    bool m_againArmed = false;
    __time64_t m_againDisplayOnSince = 0;
    __time64_t m_againUntil = 0;
    DWORD m_againIdleSeconds = 0;
    CFadeWindow m_fade;
    FadeTo m_fadeTo = FadeTo::kNothing;
    DWORD m_inputAtFade = 0;
    bool m_keyDownAtFade = false; // held already: only its release is input

    CTurnOffNotice m_notice;
};

} // namespace veskaro
