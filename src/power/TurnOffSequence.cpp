#include "power/TurnOffSequence.h"

#include "app/SettingsStore.h"
#include "framework/OutsideWorld.h"
#include "power/DlgBlackScreen.h"
#include "power/ScheduledPower.h"
#include "res/resource.h"
#include "ui/VeskaroDlg.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace veskaro {

namespace {

constexpr UINT kTurnOnDelayMs = 10000;

// The release of the key or button that chose a command, or a nudge of the mouse after
// the click, is input and would turn the displays straight back on.
constexpr UINT kQuietPollMs = 100;
constexpr int kQuietPollLimit = 50; // about five seconds; a stuck key does not hold it longer

// A display that comes on without input is turned off again once it has settled; a
// program that keeps waking it is given up on after a few tries.
constexpr UINT kKeepOffDelayMs = 2000;
constexpr __time64_t kTurnOffsAgainPeriod = 10 * 60;

} // namespace

CTurnOffSequence::CTurnOffSequence(CVeskaroDlg& window, IOutsideWorld& outside, ISettingsStore& store,
                                   CScheduledPower& power)
    : m_window(window), m_outside(outside), m_store(store), m_power(power),
      m_notice(window, outside, store, power, *this)
{
}

void CTurnOffSequence::AfterInput(const Request& request)
{
    if (m_waiting)
    {
        m_waited.lock = m_waited.lock || request.lock;
        m_waited.turnOnAfter = m_waited.turnOnAfter || request.turnOnAfter;
        m_waited.sessionLock = m_waited.sessionLock && request.sessionLock;
        m_waited.settle = m_waited.settle || request.settle;
    }
    else
    {
        m_waited = request;
    }
    m_waiting = true;
    m_quietPolls = 0;
    if (TurnOffIfQuiet())
        m_outside.KillTimer(m_window.GetSafeHwnd(), TIMER_QUIET_INPUT);
    else
        m_outside.SetTimer(m_window.GetSafeHwnd(), TIMER_QUIET_INPUT, kQuietPollMs);
}

void CTurnOffSequence::Now(const Request& request)
{
    Perform(request);
}

bool CTurnOffSequence::Scheduled(bool blackScreen, bool lock, long long tested, bool afterInput)
{
    // At the lock screen nobody sees a black screen, the key that closed it would lock once
    // more at the return, and the session is locked already: the monitors go off at once.
    if (m_power.IsSessionLocked())
        blackScreen = lock = false;
    if (SkipsOrHolds(blackScreen, lock, tested))
    {
        m_power.OnScheduledTurnOffPassed(); // the monitors are no longer kept on all the same
        return true;
    }
    Request request;
    request.lock = lock;
    m_power.OnScheduledTurnOff();
    if (!blackScreen)
    {
        afterInput ? AfterInput(request) : Now(request);
        return true;
    }
    // Ticks nested in the black screen's modal loop may fall due for a turn-on: it waits
    // for this turn-off (or for the outer black screen's, when these nest).
    const bool outerUp = std::exchange(m_blackScreenUp, true);
    m_window.ShowBlackScreen();
    m_blackScreenUp = outerUp;
    // Closed meanwhile (Exit, the close box): the program is ending, and nothing more is done.
    if (!m_window.GetSafeHwnd())
        return false;
    if (m_power.IsSessionLocked())
        request.lock = false; // closed at the lock, or locked meanwhile
    if (m_turnOnDeferred && !m_blackScreenUp)
    {
        // The monitors are to be on at once: no input to wait for. A nested black screen's turn-off
        // still waiting is this one too: the turn-on makes it, once, with the lock of either.
        m_turnOnDeferred = false;
        if (m_waiting)
            m_waited.lock = m_waited.lock || request.lock;
        else
            Now(request);
        TurnOn(m_deferredScheduled);
        return true;
    }
    // The key or click that closed the black screen is still input. A key its hook swallowed
    // never shows as held, and its release is still to come: give that release time to show.
    request.settle = true;
    AfterInput(request);
    return true;
}

void CTurnOffSequence::TurnOn(bool scheduled)
{
    EndFade(); // the monitors are to be on
    if (scheduled)
        EndNight(m_outside.Now(), true);
    if (m_blackScreenUp)
    {
        m_deferredScheduled = (m_turnOnDeferred && m_deferredScheduled) || scheduled;
        m_turnOnDeferred = true;
        return;
    }
    if (m_waiting)
    {
        // The wait ends: the turn-off it held is made now, and the turn-on follows it.
        m_outside.KillTimer(m_window.GetSafeHwnd(), TIMER_QUIET_INPUT);
        m_waiting = false;
        Request waited = std::exchange(m_waited, Request{});
        waited.turnOnAfter = false;
        Perform(waited);
    }
    EndWatch();
    m_window.TurnMonitorsOn();
    if (scheduled)
        m_power.OnScheduledTurnOn();
    else
        m_power.OnTurnOn();
}

void CTurnOffSequence::OnUnlock()
{
    // The user is back before the monitors went off: leave them on.
    if (!m_waiting || !m_waited.sessionLock)
        return;
    m_waiting = false;
    m_outside.KillTimer(m_window.GetSafeHwnd(), TIMER_QUIET_INPUT);
}

bool CTurnOffSequence::TurnOffIfQuiet()
{
    if (!m_waiting)
        return true;
    const bool settled = !m_waited.settle || m_quietPolls >= static_cast<int>(kQuietInputMs / kQuietPollMs);
    const bool quiet = settled && !m_outside.IsKeyOrButtonDown() &&
                       m_outside.MillisecondsSinceInput() >= kQuietInputMs;
    if (!quiet && ++m_quietPolls < kQuietPollLimit)
        return false;
    m_waiting = false;
    Perform(std::exchange(m_waited, Request{}));
    return true;
}

void CTurnOffSequence::Perform(const Request& request)
{
    m_power.BeforeTurnOff(request.turnOnAfter);
    m_window.TurnMonitorsOff();
    if (request.lock)
    {
        DWORD error = 0;
        m_outside.LockWorkStation(error); // a failed scheduled lock is not reported
    }
    HWND window = m_window.GetSafeHwnd();
    // The ten seconds count from the turn-off; a second command while armed restarts them.
    if (request.turnOnAfter)
        m_outside.SetTimer(window, TIMER_TURN_ON, kTurnOnDelayMs);
    m_outside.KillTimer(window, TIMER_KEEP_OFF);
    m_watching = kKeepMonitorsOff.Read(m_store) != 0;
    m_inputAtTurnOff = m_outside.LastInputTime();
    m_displayOn = false; // until Windows says it came on
}

void CTurnOffSequence::OnDisplayState(bool on)
{
    m_displayOn = on;
    OnDisplayStateForTurnOffAgain(on);
    if (!on || !m_watching)
        return;
    if (UserCameBack())
        EndWatch();
    else
        m_outside.SetTimer(m_window.GetSafeHwnd(), TIMER_KEEP_OFF, kKeepOffDelayMs);
}

bool CTurnOffSequence::UserCameBack()
{
    // Cleared in the Settings dialog, of this instance or another, counts as well.
    return kKeepMonitorsOff.Read(m_store) == 0 || m_outside.LastInputTime() != m_inputAtTurnOff;
}

void CTurnOffSequence::EndWatch()
{
    m_watching = false;
    m_outside.KillTimer(m_window.GetSafeHwnd(), TIMER_KEEP_OFF);
}

bool CTurnOffSequence::OnTimer(UINT_PTR id)
{
    HWND window = m_window.GetSafeHwnd();
    switch (id)
    {
    case TIMER_TURN_ON:
        TurnOn();
        m_outside.KillTimer(window, TIMER_TURN_ON);
        return true;
    case TIMER_QUIET_INPUT:
        if (TurnOffIfQuiet())
            m_outside.KillTimer(window, TIMER_QUIET_INPUT);
        return true;
    case TIMER_FADE: return OnFadeStep(), true;
    case TIMER_KEEP_OFF:
    {
        m_outside.KillTimer(window, TIMER_KEEP_OFF);
        if (!m_watching || UserCameBack())
            return EndWatch(), true;
        // Gone off again meanwhile: a turn-off now would count against the limit and log a
        // turn-off that never happened. The watch goes on for its next coming on.
        if (!m_displayOn)
            return true;
        const __time64_t now = m_outside.Now();
        __time64_t* end = m_turnedOffAgain + m_turnOffsAgain;
        __time64_t* recent = std::find_if(m_turnedOffAgain, end, [now](__time64_t at) {
            return now - at < kTurnOffsAgainPeriod;
        });
        m_turnOffsAgain = static_cast<int>(std::copy(recent, end, m_turnedOffAgain) - m_turnedOffAgain);
        if (m_turnOffsAgain == kMaxTurnOffsAgain)
            return EndWatch(), true; // on until the next turn-off
        m_turnedOffAgain[m_turnOffsAgain++] = now;
        Perform(Request{});
        return true;
    }
    default: return false;
    }
}

void CTurnOffSequence::OnUserMayBeBack()
{
    EndWatch();
}

void CTurnOffSequence::OnSuspend()
{
    EndWatch();
    EndFade();
    // Its night may last days (a weekend, a schedule without a turn-on): it must not come the
    // next afternoon, after a few idle minutes.
    if (std::exchange(m_held, false))
        m_window.UpdateTrayTip();
}

void CTurnOffSequence::Stop()
{
    HWND window = m_window.GetSafeHwnd();
    m_outside.KillTimer(window, TIMER_QUIET_INPUT);
    m_outside.KillTimer(window, TIMER_TURN_ON);
    m_waiting = false;
    m_turnOnDeferred = false;
    EndWatch();
    EndFade();
    m_held = m_againArmed = false;
    m_notice.Close();
}

// ---- While the PC is in use ----

namespace {

// The skipped occurrence, as an unsigned 32-bit calendar second (enough until 2106).
const wchar_t kSkippedTurnOff[] = L"m_iSkippedTurnOff";
// The postponed occurrence and its new second, in the same form.
const wchar_t kPostponedTurnOff[] = L"m_iPostponedTurnOff";
const wchar_t kPostponedTo[] = L"m_iPostponedTo";
constexpr __time64_t kPostponeSeconds = 15 * 60;
// A tick late by up to this much still acts on the second it missed.
constexpr __time64_t kOccurrenceGrace = kMaxCatchUpSeconds;

} // namespace

void CTurnOffSequence::LoadSkip()
{
    const auto read = [this](const wchar_t* name) -> __time64_t {
        return static_cast<unsigned>(m_store.GetProfileInt(m_window.m_strSection, name, 0));
    };
    const __time64_t at = read(kSkippedTurnOff);
    const __time64_t now = m_outside.Now();
    // Passed, or no occurrence of a weekly schedule: over.
    m_skipAt = at + kOccurrenceGrace >= now && at <= now + 8 * 86400LL ? at : 0;
    // A postponement is of one occurrence, by at most its night.
    const __time64_t from = read(kPostponedTurnOff);
    const __time64_t to = read(kPostponedTo);
    const bool comes = from != 0 && to > from && to - from <= 8 * 86400LL && to + kOccurrenceGrace >= now &&
                       to <= now + 16 * 86400LL;
    m_postponedFrom = comes ? from : 0;
    m_postponedTo = comes ? to : 0;
    // Whatever is stored, it never makes a turn-off that no schedule asked for.
    if (m_postponedTo != 0 && !PostponementHolds())
        m_postponedFrom = m_postponedTo = 0;
    m_power.PutOff(m_postponedFrom, m_postponedTo, false);
}

bool CTurnOffSequence::ScheduleTurnsOffAt(long long second)
{
    const auto zone = [this](long long at, std::tm& local) { return m_outside.LocalTime(at, local); };
    const ScheduledTimes times = m_window.GetScheduledTimes();
    return std::any_of(times.begin(), times.end(), [&](const ScheduleTimes& schedule) {
        long long at = 0;
        return NextOccurrence(schedule.turnOff, second - 1, zone, at) && at == second;
    });
}

bool CTurnOffSequence::PostponementHolds()
{
    // Its occurrence a turn-off of a schedule still, and its new second before the next turn-on.
    long long turnOn = 0;
    return ScheduleTurnsOffAt(m_postponedFrom) &&
           !(NextOccurrenceOf(&ScheduleTimes::turnOn, turnOn, m_postponedFrom) && m_postponedTo >= turnOn);
}

void CTurnOffSequence::SetPostponed(__time64_t from, __time64_t to)
{
    m_postponedFrom = from;
    m_postponedTo = to;
    m_power.PutOff(from, to);
    m_store.WriteProfileInt(m_window.m_strSection, kPostponedTurnOff, static_cast<int>(static_cast<unsigned>(from)));
    m_store.WriteProfileInt(m_window.m_strSection, kPostponedTo, static_cast<int>(static_cast<unsigned>(to)));
    m_window.UpdateTrayTip();
}

void CTurnOffSequence::SetSkip(__time64_t at)
{
    m_skipAt = at;
    m_store.WriteProfileInt(m_window.m_strSection, kSkippedTurnOff, static_cast<int>(static_cast<unsigned>(at)));
    m_window.UpdateTrayTip();
}

void CTurnOffSequence::ToggleSkip()
{
    if (m_held)
    {
        // The held turn-off is the next one; its second let the monitors go already.
        m_held = false;
        m_window.UpdateTrayTip();
        return;
    }
    // Otherwise the next turn-off the tip names: a postponed one at its new second, with the turn-offs it
    // put off still put off.
    long long next = 0;
    if (m_skipAt != 0)
        SetSkip(0);
    else if (NextTurnOff(next), next >= 0)
        SetSkip(next);
}

void CTurnOffSequence::Postpone(long long named)
{
    const __time64_t now = m_outside.Now();
    long long next = named, from = m_postponedFrom, to = 0;
    if (m_postponedTo == 0 && m_held) // its second passed already: fifteen minutes from now, the hold ended
        from = m_heldAt, to = now + kPostponeSeconds, m_held = false;
    else if (next < 0 && (NextTurnOff(next), next < 0))
        return; // no schedule turns off
    else if (next == m_postponedTo)
        to = m_postponedTo + kPostponeSeconds;
    else // one before the postponed one, or the first: put off, with every turn-off up to the new second
        from = next, to = std::max<long long>(m_postponedTo, next + kPostponeSeconds);
    if (m_skipAt != 0 && (m_skipAt == from || m_skipAt == next))
        SetSkip(0); // later rather than not at all
    long long turnOn = 0;
    if (NextOccurrenceOf(&ScheduleTimes::turnOn, turnOn, from) && to >= turnOn)
    {
        // It would fall into the day: dropped, as a skip.
        SetPostponed(0, 0);
        if (from > now)
            SetSkip(from);
        return;
    }
    SetPostponed(from, to);
}

bool CTurnOffSequence::NextOccurrenceOf(WeeklyTime ScheduleTimes::*action, long long& next, long long from)
{
    std::vector<WeeklyTime> times;
    for (const ScheduleTimes& schedule : m_window.GetScheduledTimes())
        times.push_back(schedule.*action);
    const auto zone = [this](long long second, std::tm& local) { return m_outside.LocalTime(second, local); };
    return NextOccurrenceOfAny(times, from >= 0 ? from : m_outside.Now(), zone, next);
}

bool CTurnOffSequence::NextTurnOff(long long& next)
{
    // One the notice made already is not made again.
    if (!NextOccurrenceOf(&ScheduleTimes::turnOff, next) ||
        (next == m_madeEarly && !NextOccurrenceOf(&ScheduleTimes::turnOff, next, next)))
        next = -1;
    if (m_postponedTo == 0)
        return false;
    // The turn-offs from the postponed one's second on come at its new second with it.
    if (next >= 0 && next < m_postponedFrom)
        return false;
    if (m_postponedTo == m_madeEarly) // made from the notice: the first after its new second
    {
        if (!NextOccurrenceOf(&ScheduleTimes::turnOff, next, m_postponedTo))
            next = -1;
        return false;
    }
    next = m_postponedTo;
    return true;
}

bool CTurnOffSequence::NextDueTurnOff(long long& second)
{
    if (m_held)
        return false;
    // None while the next is skipped: not tonight for it must not turn into one for the one after.
    NextTurnOff(second);
    return second >= 0 && second != m_skipAt;
}

void CTurnOffSequence::SkipTurnOffAt(long long second)
{
    SetSkip(second); // a postponed one at its new second: what it put off stays put off
}

void CTurnOffSequence::TurnOffAt(long long second)
{
    // A postponed one with the black screens and locks of all it put off, which stay put off.
    const long long first = m_postponedTo != 0 && second == m_postponedTo ? m_postponedFrom : second;
    bool blackScreen = false;
    bool lock = false;
    m_window.TurnOffActionsAt(first, second, blackScreen, lock);
    m_madeEarly = second; // its own second passes unmade
    m_window.UpdateTrayTip();
    m_releasingHeld = true; // made as asked, never held
    Scheduled(blackScreen, lock, -1, true); // the click is input: it settles first
}

bool CTurnOffSequence::NightEnd(bool held, long long& end)
{
    return NextOccurrenceOf(&ScheduleTimes::turnOn, end) || (held && NextOccurrenceOf(&ScheduleTimes::turnOff, end));
}

void CTurnOffSequence::EndNight(__time64_t now, bool turnOnMade)
{
    if (turnOnMade || now >= m_againUntil)
        m_againArmed = false;
    if (m_held && (turnOnMade || now >= m_heldUntil))
    {
        m_held = false;
        m_window.UpdateTrayTip();
    }
}

void CTurnOffSequence::OnSchedulesChanged()
{
    // A postponement is aimed at one occurrence: moved or gone, the turn-off the user now sees comes; and one
    // that now reaches the next turn-on is dropped. So is a skip, or one made early (of its new second too).
    if (m_postponedTo != 0 && !PostponementHolds())
        SetPostponed(0, 0);
    const auto aimed = [this](__time64_t at) { return at == m_postponedTo || ScheduleTurnsOffAt(at); };
    if (m_skipAt != 0 && !aimed(m_skipAt))
        SetSkip(0);
    if (m_madeEarly != 0 && !aimed(m_madeEarly))
        m_madeEarly = 0;
    long long end = 0;
    if (m_held && NightEnd(true, end))
        m_heldUntil = end;
    else if (std::exchange(m_held, false))
        m_window.UpdateTrayTip(); // no schedule turns off any more
    if (m_againArmed)
        m_againArmed = NightEnd(false, m_againUntil);
}

bool CTurnOffSequence::InUse(DWORD idleSeconds)
{
    // A locked session is nobody's, and Veskaro's own black screen or fade is no program of the user's.
    if (m_power.IsSessionLocked())
        return false;
    return m_outside.MillisecondsSinceInput() < idleSeconds * 1000 ||
           (m_outside.IsFullScreenOrPresenting() && !CDlgBlackScreen::IsAnyUp() && !CFadeWindow::IsUp());
}

bool CTurnOffSequence::SkipsOrHolds(bool blackScreen, bool lock, long long tested)
{
    const struct Made { __time64_t& from; ~Made() { from = 0; } } made{m_makingPostponed};
    if (std::exchange(m_releasingHeld, false))
        return ArmTurnOffAgain(), false;
    const __time64_t now = m_outside.Now();
    // The skipped occurrence itself; where the tick tested a wall-clock second, its own time tells.
    const long long at = tested >= 0 ? tested : now;
    const auto reached = [&](__time64_t mark) {
        return tested >= 0 ? tested == mark : now - mark <= kOccurrenceGrace;
    };
    if (m_madeEarly != 0 && m_madeEarly <= at && reached(std::exchange(m_madeEarly, 0)))
        return true;
    if (m_skipAt != 0 && m_skipAt <= at)
    {
        const bool thisOne = reached(m_skipAt);
        SetSkip(0);
        if (thisOne)
            return true;
    }
    // The postponed occurrence is made at its new second, and so is any other meanwhile: the next turn-off
    // the user put off.
    if (m_postponedTo != 0 && m_postponedFrom <= at && at < m_postponedTo)
        return true;
    EndNight(now, false); // a hold of last night's does not take this one in
    if (m_held)
    {
        m_heldBlackScreen = m_heldBlackScreen || blackScreen;
        m_heldLock = m_heldLock || lock;
        return true;
    }
    if (kTurnOffWhenIdle.Read(m_store) != 0)
    {
        const DWORD idleSeconds = static_cast<DWORD>(ReadIdleMinutes(m_store)) * 60;
        if (InUse(idleSeconds))
        {
            long long end = 0;
            m_heldUntil = NightEnd(true, end) ? end : LLONG_MAX;
            m_held = true;
            m_heldBlackScreen = blackScreen;
            m_heldLock = lock;
            m_heldIdleSeconds = idleSeconds;
            m_heldAt = m_makingPostponed != 0 ? m_makingPostponed : at;
            m_window.UpdateTrayTip();
            return true;
        }
    }
    ArmTurnOffAgain();
    return false;
}

bool CTurnOffSequence::OnTick(__time64_t now)
{
    m_notice.OnTick(now);
    if (!m_held && !m_againArmed && m_skipAt == 0 && m_postponedTo == 0 && m_madeEarly == 0)
        return true;
    if (m_madeEarly != 0 && now - m_madeEarly > kOccurrenceGrace)
        m_madeEarly = 0;
    if (m_postponedTo != 0 && now - m_postponedTo > kOccurrenceGrace)
        SetPostponed(0, 0); // passed in a sleep or a gap
    if (m_skipAt != 0 && now - m_skipAt > kOccurrenceGrace)
        SetSkip(0); // its occurrence has passed
    EndNight(now, false); // by the clock, whether or not a tick made its turn-on
    // While a fade is up, its steps decide.
    if (m_fadeTo != FadeTo::kNothing)
    {
        if (!FadeLeads())
            EndFade();
        return true;
    }
    // A held turn-off going ahead now makes the one turn-off of this tick, with its lock.
    const bool releaseHeld = m_held && !InUse(m_heldIdleSeconds);
    if (m_againArmed && !releaseHeld)
        TurnOffAgainIfIdle(now);
    if (!releaseHeld || StartFade(FadeTo::kHeld))
        return true;
    m_held = false;
    m_releasingHeld = true;
    if (!Scheduled(m_heldBlackScreen, m_heldLock))
        return false;
    m_window.UpdateTrayTip();
    return true;
}

void CTurnOffSequence::PostponedDue(long long second, bool& turnOff, bool& blackScreen, bool& lock)
{
    if (m_postponedTo == 0 || second != m_postponedTo)
        return;
    // Made as its occurrence would have been, with its black screen and lock, and the hold; with
    // another schedule's of the same second, once.
    turnOff = true;
    m_window.TurnOffActionsAt(m_postponedFrom, m_postponedTo, blackScreen, lock);
    m_makingPostponed = m_postponedFrom;
    SetPostponed(0, 0);
}

void CTurnOffSequence::ArmTurnOffAgain()
{
    // Without a turn-on in the schedule there is no night to keep dark.
    m_againArmed = kTurnOffAgainWhenIdle.Read(m_store) != 0 && NightEnd(false, m_againUntil);
    if (!m_againArmed)
        return;
    m_againIdleSeconds = static_cast<DWORD>(ReadIdleMinutes(m_store)) * 60;
}

void CTurnOffSequence::OnDisplayStateForTurnOffAgain(bool on)
{
    if (on)
        m_againDisplayOnSince = m_outside.Now();
}

void CTurnOffSequence::TurnOffAgainIfIdle(__time64_t now)
{
    // Idle since the display came on, not only since the last input: a program may have woken it.
    if (!m_displayOn || m_waiting || m_blackScreenUp || now - m_againDisplayOnSince < m_againIdleSeconds ||
        InUse(m_againIdleSeconds))
        return;
    // Cleared in the Settings dialog meanwhile, of this instance or another.
    if (kTurnOffAgainWhenIdle.Read(m_store) == 0)
    {
        m_againArmed = false;
        return;
    }
    if (!StartFade(FadeTo::kAgain))
        Perform(Request{});
}

bool CTurnOffSequence::StartFade(FadeTo to)
{
    // Nobody at the lock screen sees it or stops it: the turn-off is made at once.
    if (kFadeBeforeIdleTurnOff.Read(m_store) == 0 || m_power.IsSessionLocked() || !m_fade.Show())
        return false;
    m_fadeTo = to;
    m_inputAtFade = m_outside.LastInputTime();
    m_keyDownAtFade = m_outside.IsKeyOrButtonDown();
    m_outside.SetTimer(m_window.GetSafeHwnd(), TIMER_FADE, CFadeWindow::kStepMs);
    return true;
}

bool CTurnOffSequence::FadeLeads()
{
    if (m_fadeTo == FadeTo::kHeld)
        return m_held;
    return m_fadeTo == FadeTo::kAgain && m_againArmed && m_displayOn && !m_waiting && !m_blackScreenUp;
}

void CTurnOffSequence::OnFadeStep()
{
    const bool locked = m_power.IsSessionLocked();
    const bool input =
        m_outside.LastInputTime() != m_inputAtFade || (!m_keyDownAtFade && m_outside.IsKeyOrButtonDown());
    // The input restarted the idle time by itself: the hold, or the wait for idle, goes on.
    if (!FadeLeads() || (input && !locked))
        return EndFade();
    if (!locked && m_fade.Step())
        return;
    const FadeTo to = std::exchange(m_fadeTo, FadeTo::kNothing);
    m_outside.KillTimer(m_window.GetSafeHwnd(), TIMER_FADE);
    // Dark until the monitors are off: the desktop does not flash up before.
    if (to == FadeTo::kAgain)
    {
        Perform(Request{});
    }
    else
    {
        m_held = false;
        m_releasingHeld = true;
        if (!Scheduled(m_heldBlackScreen, m_heldLock))
            return; // the window ended while the black screen was up
        m_window.UpdateTrayTip();
    }
    if (m_fadeTo == FadeTo::kNothing)
        m_fade.Close();
}

void CTurnOffSequence::EndFade()
{
    if (std::exchange(m_fadeTo, FadeTo::kNothing) != FadeTo::kNothing)
        m_outside.KillTimer(m_window.GetSafeHwnd(), TIMER_FADE);
    m_fade.Close();
}

} // namespace veskaro
