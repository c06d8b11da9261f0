// Whole weeks played through the main window on the fake outside world: the world's events,
// and one run of them that checks, after every step, that the night went as the user asked.
#pragma once

#include "app/RegistryStore.h"
#include "fakes/FakeOutsideWorld.h"
#include "schedule/ScheduleList.h"
#include "window/ScheduleTestSupport.h"
#include "window/WindowTest.h"

#include <climits>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veskaro::testing {

// The same numbers on every compiler and system: no library distributions.
class Rng
{
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    long long Below(long long n) { return static_cast<long long>(Next() % static_cast<std::uint64_t>(n)); }
    long long Between(long long low, long long high) { return low + Below(high - low + 1); }
    bool Chance(int percent) { return Below(100) < percent; }

private:
    std::uint64_t m_state;
};

enum class What
{
    Input,      // the person works for `a` seconds
    FullScreen, // a film or game for `a` seconds
    Sleep,      // the PC sleeps `a` seconds; `b`: the wake timer is honoured
    Lock,
    Unlock,
    Session,    // a console connect or disconnect, or a remote connect: WTS code `a`
    OtherWake,  // another program turns the display on
    Power,      // `a`: on AC power
    Late,       // no tick for `a` seconds
    Zone,       // the zone's offset becomes `a` seconds
    Edit,       // schedule `a` (modulo their number) becomes the one drawn from `b`
    Add,
    Remove,
    Option,     // option `a` becomes `b`
    Skip,
    Command,    // the command `a`, as the command line sends it
    Restart,    // Exit, and a start again `a` seconds later
    Postpone,   // the next turn-off fifteen minutes later
    Notice,     // a choice at the notice, where it is up: `a` 0 postpone, 1 not tonight, 2 turn off now, 3 close
};

struct Event
{
    long long at; // seconds from the run's start
    What what;
    long long a = 0;
    long long b = 0;
};

std::wstring Describe(const Event& event);
// Prints a line as UTF-8, whatever the runtime's locale.
void Print(const std::wstring& line);

// What a run starts with.
struct Setup
{
    std::uint64_t seed = 0;
    long long start = 0;                          // calendar second
    std::vector<std::pair<long long, long long>> zone; // offsets from their calendar seconds on
    bool modernStandby = false;
    std::vector<long long> schedules;             // drawn from these numbers
    std::vector<std::pair<int, int>> options;     // option index, value
};

Setup DrawSetup(std::uint64_t seed);
std::vector<Event> DrawEvents(std::uint64_t seed, int days, const Setup& setup);
Schedule DrawSchedule(std::uint64_t number);

struct Violation
{
    int invariant = 0;
    std::wstring what;
    long long at = 0; // calendar second
};

class NightRun
{
public:
    NightRun(const Setup& setup, std::vector<Event> events, long long seconds, const std::wstring& name);
    ~NightRun();
    NightRun(const NightRun&) = delete;
    NightRun& operator=(const NightRun&) = delete;
    std::optional<Violation> Play();
    long long Steps() const { return m_steps; }

private:
    // A scheduled action the user asked for, from the tick that tests its second until it is made.
    struct Expectation
    {
        long long second = 0;
        bool turnOn = false;
        long long id = 0;
        int tick = 0;
        bool blackScreen = false, lock = false;
        bool made = false, lockedAtTurnOff = false, lockDone = false, blackSeen = false;
        bool deferred = false; // due while a black screen was up: made with its turn-off, once for all
        int madeBy = 0; // the timer or command it is made in, where not the tick (or the quiet input after it)
        long long closedMs = -1, dueMs = -1;
    };

    // The driver: one step of the world a posted message, so that modal loops drive it too.
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Continue();
    void Step();
    long long NextTickMs();
    void Advance(long long ms);
    void Input();
    void Apply(const Event& event);
    void EditSchedules(const Event& event);
    void SessionLock(bool locked, bool byPerson);
    void SetDisplay(bool on);
    void Resume(bool byPerson);
    void Tick();
    void Fire(HWND window, UINT_PTR id);
    void Start();
    void Exit();
    void Finish();
    void Stimulus(int kind, const std::function<void()>& send);

    // The model: what the user asked for, from the world and the program's pure rules.
    std::function<bool(long long, std::tm&)> Zone();
    long long LastInputMs() const;
    long long Idle() const;
    bool Option(int index) const;
    bool InUse(long long idleSeconds) const;
    bool NextOf(bool turnOn, long long from, long long& next);
    bool NightEnd(bool held, long long& end);
    bool InKeepOnPeriod(long long at);
    void TickModel(long long now, int tick);
    void EndNights(long long now);
    void TurnOffModel(long long second, long long now, int tick, bool blackScreen, bool lock);
    void Expect(long long second, int tick, bool blackScreen, bool lock);
    void Postpone(long long named = -1);
    void NoticeChoice(long long choice);
    long long NoticeMinutes() const;
    bool NoticeDue(long long& due);
    long long PostponedModel(long long second, bool& off, bool& blackScreen, bool& lock);
    bool PostponedTurnOff(long long& off);

    // What the window did, and the invariants.
    void Observe();
    int TurnOffSeen(int kind);
    void TurnOnSeen(int kind);
    void BlackScreenShown();
    void Fail(int invariant, const std::wstring& what);
    void CheckUnaskedTurnOff();
    void CheckKeepOffWatch();
    void CheckLock(int kind, int made);
    void CheckExpectations();
    void CheckRequests();
    void CheckWakeTimer();
    void CheckTip();
    void CheckNotice();
    void CheckBalancesAfterExit();

    Setup m_setup;
    std::vector<Event> m_events;
    size_t m_next = 0;
    long long m_endMs;
    ScratchKey m_key;
    CRegistryStore m_store;
    FakeOutsideWorld m_outside;
    AppEnvironment m_env;
    std::unique_ptr<CVeskaroDlg> m_dlg, m_retired;
    std::unique_ptr<PowerRequestRecorder> m_recorder;
    HWND m_driver = nullptr;
    bool m_trace; // every event and outside call, with its time and what asked for it
    bool m_continuePosted = false, m_done = false;
    std::optional<Violation> m_violation;
    long long m_steps = 0, m_sameMsSteps = 0;

    // The world
    long long m_ms = 0, m_inputUntilMs = 0, m_fullScreenUntilMs = 0, m_noTicksUntilMs = 0, m_keyMs = -1000;
    long long m_denseUntil = 0, m_wakeMs = 0, m_sleptMs = 0, m_restartMs = -1, m_displayOnSince = 0;
    long long m_tenSecondsUntilMs = 0;
    bool m_asleep = false, m_honoured = false, m_locked = false, m_displayOn = true;
    std::vector<int> m_pending; // what Windows does next: the display's state, the session locked
    std::vector<Schedule> m_schedules;
    std::vector<int> m_options;

    // The model
    std::vector<int> m_stimuli, m_tickStack; // nested, innermost last
    int m_ticks = 0;
    long long m_lastTick = -1;
    std::vector<Expectation> m_expected;
    long long m_expectations = 0;
    std::vector<long long> m_screens; // the black screens up, oldest first: the expectation each shows for, or -1
    long long m_skipAt = 0, m_nightEnd = LLONG_MAX;
    long long m_postponedFrom = 0, m_postponedTo = 0, m_heldAt = 0;
    long long m_madeEarly = 0, m_noticeClosedFor = 0; // from the notice
    int m_fadeSteps = -1; // the held turn-off's fade: its steps so far, -1 while none
    long long m_fadeInputMs = 0, m_fadeSeenMs = -1, m_fadeSeenInputMs = 0; // and any fade's, as seen
    bool m_skippedNow = false;
    bool m_held = false, m_heldBlack = false, m_heldLock = false;
    long long m_heldUntil = 0, m_heldIdle = 0;
    bool m_again = false;
    bool m_tenSecondsDeferred = false;
    long long m_zoneMovedAt = -1;
    long long m_againUntil = 0, m_againIdle = 0;
    bool m_suspended = false, m_sessionChanged = false;
    long long m_armedWake = 0, m_lastTurnOffMs = -1;
    std::wstring m_tip;
};

} // namespace veskaro::testing
