#include "nights/NightRun.h"

#include "app/SettingsStore.h"
#include "framework/DataExchange.h"
#include "power/DlgBlackScreen.h"
#include "power/FadeWindow.h"
#include "res/resource.h"
#include "window/PowerBroadcast.h"
#include "window/ScheduleTestSupport.h"

#include <wtsapi32.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace veskaro::testing {

namespace {

constexpr UINT WM_CONTINUE = WM_APP + 7;
constexpr long long kCatchUp = 60;    // the seconds a late tick still acts on
constexpr long long kMadeWithinMs = 6000; // the quiet-input wait gives up after about five seconds

// What the window was sent when something happened: a turn-off is judged by what asked for it.
enum Kind : int { kTick = 1, kSession, kPower, kEdit, kOption, kDisplay, kStart, kExit, kZone, kTimer = 100, kCommand = 40000 };
enum Pending : int { kTurnsOff, kComesOn, kSessionLocks };

const IntOption* const kOptions[] = {&kTurnOffWhenIdle, &kTurnOffAgainWhenIdle, &kIdleMinutes, &kKeepMonitorsOnWhenScheduled,
                                     &kWakeForTurnOn,   &kKeepMonitorsOff,      &kAutoTurnOffWhenLocked, &kLockTurnOffDelay,
                                     &kFadeBeforeIdleTurnOff, &kNoticeBeforeTurnOff, &kNoticeMinutes};
enum { kHold, kAgain, kIdle, kKeepOn, kWake, kKeepOff, kLockOff, kLockDelay, kFade, kNotice, kNoticeMinutes };

// "Mon 11:00 PM", as the tip names a second.
std::wstring DayAndTime(FakeOutsideWorld& outside, long long second)
{
    std::tm local{};
    SYSTEMTIME time{};
    if (!outside.LocalTime(second, local) || !COleDateTime::FromLocalTime(local).GetAsSystemTime(time))
        return std::wstring();
    wchar_t day[64] = {}, clock[64] = {};
    ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, L"ddd", day, 64, nullptr);
    ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, local.tm_sec ? 0 : TIME_NOSECONDS, &time, nullptr, clock, 64);
    return std::wstring(day) + L" " + clock;
}

} // namespace

void Print(const std::wstring& line)
{
    const std::wstring text = line + L"\n";
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                            bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

NightRun::NightRun(const Setup& setup, std::vector<Event> events, long long seconds, const std::wstring& name)
    : m_setup(setup), m_events(std::move(events)), m_endMs((setup.start + seconds) * 1000), m_key(name),
      m_store(m_key.Path()), m_env{kTestAppName, m_store, m_outside, false, L":silent"},
      m_trace(std::getenv("VESKARO_NIGHTS_TRACE") != nullptr)
{
}

NightRun::~NightRun()
{
    m_recorder.reset();
    if (m_dlg && m_dlg->GetSafeHwnd())
        ::DestroyWindow(m_dlg->GetSafeHwnd());
    m_dlg.reset();
    m_retired.reset();
    if (m_driver)
        ::DestroyWindow(m_driver);
    PumpMessages();
}

std::optional<Violation> NightRun::Play()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &NightRun::Proc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VeskaroNights";
    ::RegisterClassW(&windowClass); // fails harmlessly from the second run on
    m_driver = ::CreateWindowExW(0, L"VeskaroNights", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(m_driver, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    m_outside.timersOnClock = true;
    m_outside.zone = m_setup.zone;
    m_outside.modernStandby = m_setup.modernStandby;
    m_inputUntilMs = (m_setup.start - 3600) * 1000;
    Advance(m_setup.start * 1000);
    m_displayOnSince = m_setup.start;
    m_options = {0, 0, 5, 0, 0, 1, 0, 1000, 1, 0, 1};
    for (const auto& [index, value] : m_setup.options)
        kOptions[index]->Write(m_store, m_options[index] = value);
    for (size_t k = 0; k < m_setup.schedules.size(); ++k)
    {
        m_schedules.push_back(DrawSchedule(m_setup.schedules[k]));
        LoadSaveSchedule(m_store, k == 0 ? std::wstring(L"Settings 1") : L"Settings 1\\Schedule " + std::to_wstring(k + 1),
                         m_schedules.back(), true);
    }
    Start();
    Continue();
    MSG message{};
    while (!m_done && ::GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    m_retired.reset();
    return m_violation;
}

LRESULT CALLBACK NightRun::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<NightRun*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message != WM_CONTINUE || !self)
        return ::DefWindowProcW(window, message, wParam, lParam);
    self->m_continuePosted = false;
    if (!self->m_done)
        self->Step();
    return 0;
}

// Posted before anything is sent: a modal loop that the window enters comes back here.
void NightRun::Continue()
{
    if (!m_continuePosted)
        m_continuePosted = ::PostMessageW(m_driver, WM_CONTINUE, 0, 0) != FALSE;
}

void NightRun::Step()
{
    ++m_steps;
    Observe();
    const bool nested = !m_stimuli.empty();
    const size_t up = m_outside.keyboardHooks.size();
    if (m_violation || (m_sameMsSteps > 5000 && (Fail(9, L"steps without the clock moving on: a hang"), true)))
        return Finish();
    if (!nested)
        m_retired.reset();
    if (!m_pending.empty())
    {
        const int pending = m_pending.front();
        m_pending.erase(m_pending.begin());
        if (pending == kSessionLocks)
            SessionLock(true, false);
        else
            SetDisplay(pending == kComesOn);
        return Continue();
    }
    // The person at the keyboard closes a black screen with a key.
    if (m_dlg && up > 0 && m_ms < m_inputUntilMs && m_ms >= m_keyMs + 100)
    {
        m_keyMs = m_ms;
        m_outside.DeliverKey(WM_KEYDOWN, VK_SPACE, 0, static_cast<DWORD>(m_ms));
        m_outside.DeliverKey(WM_KEYUP, VK_SPACE, 0, static_cast<DWORD>(m_ms));
        return Continue();
    }

    // What the windows posted themselves (a black screen's close) is handled before the clock moves on.
    MSG queued{};
    if (::PeekMessageW(&queued, nullptr, 0, 0, PM_NOREMOVE | PM_QS_POSTMESSAGE))
        return ++m_sameMsSteps, Continue();

    // The next thing to happen, and its time.
    enum { kEnd, kEvent, kTimerDue, kTickDue, kWake, kRestart } source = kEnd;
    long long at = m_endMs;
    const auto earlier = [&](long long ms, decltype(source) what) {
        if (ms < at)
            at = ms, source = what;
    };
    if (m_next < m_events.size())
        earlier((m_setup.start + m_events[m_next].at) * 1000, kEvent);
    std::pair<HWND, UINT_PTR> timer{};
    if (m_asleep)
    {
        earlier(m_wakeMs, kWake);
        if (m_honoured && m_armedWake * 1000 > m_sleptMs)
            earlier(std::max(m_ms, m_armedWake * 1000), kWake);
    }
    else if (m_dlg)
    {
        for (const auto& [key, due] : m_outside.timers)
            if (key.second != TIMER_SCHEDULE && std::max(due.due, m_ms) < at)
                at = std::max(due.due, m_ms), source = kTimerDue, timer = key;
        earlier(NextTickMs(), kTickDue);
    }
    else if (m_restartMs >= 0)
    {
        earlier(std::max(m_restartMs, m_ms), kRestart);
    }
    if (source == kEnd)
        return Finish();
    m_sameMsSteps = at == m_ms ? m_sameMsSteps + 1 : 0;
    Advance(at);
    switch (source)
    {
    case kEvent: Apply(m_events[m_next++]); break;
    case kTimerDue: Fire(timer.first, timer.second); break;
    case kTickDue: Tick(); break;
    case kWake: Resume(m_ms >= m_wakeMs); break;
    case kRestart: Start(); break;
    default: break;
    }
    Continue();
}

long long NightRun::NextTickMs()
{
    long long next = m_ms / 1000 + 1;
    if (m_noTicksUntilMs > m_ms)
        next = (m_noTicksUntilMs + 999) / 1000;
    if (next <= m_denseUntil)
        return next * 1000;
    // Stretches where nothing can fall due pass as a gap, as after a sleep.
    long long interesting = LLONG_MAX;
    const auto consider = [&](long long second) {
        if (second >= next)
            interesting = std::min(interesting, second);
    };
    long long occurrence = 0;
    for (bool turnOn : {false, true})
        if (NextOf(turnOn, next - 1, occurrence))
            consider(occurrence);
    const long long input = LastInputMs() / 1000;
    const long long idles[] = {Option(kHold) || Option(kAgain) ? Idle() : 0, m_held ? m_heldIdle : 0,
                               m_again ? m_againIdle : 0};
    for (long long idle : idles)
        if (idle > 0)
            consider(input + idle + 1), consider(m_displayOnSince + idle + 1);
    consider(m_fullScreenUntilMs / 1000 + 1);
    consider(m_skipAt + kCatchUp + 1);
    consider(m_postponedFrom), consider(m_postponedTo);
    consider(m_heldUntil), consider(m_againUntil);
    return std::max(next, interesting == LLONG_MAX ? next : interesting - 2) * 1000;
}

void NightRun::Advance(long long ms)
{
    m_ms = ms;
    m_outside.clockMs = ms;
    m_outside.now = ms / 1000;
    m_outside.lastInputTime = static_cast<DWORD>(LastInputMs());
    m_outside.millisecondsSinceInput = static_cast<DWORD>(std::min<long long>(ms - LastInputMs(), 0x7FFFFFFF));
    m_outside.fullScreen = ms < m_fullScreenUntilMs;
}

void NightRun::Input()
{
    m_inputUntilMs = std::max(m_inputUntilMs, m_ms);
    Advance(m_ms);
    if (!m_displayOn)
        SetDisplay(true);
}

void NightRun::Apply(const Event& event)
{
    if (m_trace)
        Print(L"  event: " + Describe(event));
    m_denseUntil = m_ms / 1000 + 3;
    const bool program = event.what >= What::Edit;
    if ((m_asleep && event.what != What::Input) || (program && !m_dlg))
        return; // a PC asleep does nothing, and a program not running hears nothing
    if (m_asleep)
        Resume(true);
    const auto send = [this](int kind, UINT message, WPARAM wParam, LPARAM lParam = 0) {
        if (m_dlg)
            Stimulus(kind, [&] { ::SendMessageW(m_dlg->GetSafeHwnd(), message, wParam, lParam); });
    };
    switch (event.what)
    {
    case What::Input:
        if (m_locked)
            SessionLock(false, true);
        m_inputUntilMs = std::max(m_inputUntilMs, m_ms + event.a * 1000);
        return Input();
    case What::FullScreen: m_fullScreenUntilMs = m_ms + event.a * 1000; return Advance(m_ms);
    case What::Sleep:
        if (m_displayOn)
            SetDisplay(false);
        send(kPower, WM_POWERBROADCAST, PBT_APMSUSPEND);
        m_asleep = true;
        m_sleptMs = m_ms;
        m_wakeMs = m_ms + event.a * 1000;
        m_honoured = event.b != 0 && !m_setup.modernStandby;
        m_held = false;
        return;
    case What::Lock: return SessionLock(true, true);
    case What::Unlock: return SessionLock(false, true);
    case What::Session: m_sessionChanged = true; return send(kSession, WM_WTSSESSION_CHANGE, event.a);
    case What::OtherWake: return m_displayOn ? void() : SetDisplay(true);
    case What::Power:
        m_outside.onAcPower = event.a != 0;
        return send(kPower, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
    case What::Late: // the first ticks after the gap come, as every second's do
        m_noTicksUntilMs = m_ms + event.a * 1000;
        m_denseUntil = m_noTicksUntilMs / 1000 + 2;
        return;
    case What::Zone:
        if (std::any_of(m_outside.zone.begin(), m_outside.zone.end(),
                        [this](const auto& entry) { return std::abs(entry.first - m_ms / 1000) < 3 * 86400; }))
            return; // a zone changes at most once in a few days
        m_outside.zone.erase(std::remove_if(m_outside.zone.begin(), m_outside.zone.end(),
                                            [this](const auto& entry) { return entry.first > m_ms / 1000; }),
                             m_outside.zone.end());
        m_outside.zone.emplace_back(m_zoneMovedAt = m_ms / 1000, event.a);
        return send(kZone, WM_TIMECHANGE, 0);
    case What::Edit:
    case What::Add:
    case What::Remove: return EditSchedules(event);
    case What::Option:
        kOptions[event.a]->Write(m_store, m_options[event.a] = static_cast<int>(event.b));
        m_suspended = false;
        return send(kOption, WM_OPTIONS_CHANGED, 0);
    case What::Skip:
        // A held turn-off is dropped; otherwise the skip is taken back, or aimed at the next turn-off the tip names.
        if (!std::exchange(m_held, false))
            m_skipAt = m_skipAt != 0 || (PostponedTurnOff(m_skipAt), m_skipAt < 0) ? 0 : m_skipAt;
        return send(kCommand + ID_SKIP_NEXT_TURN_OFF, WM_COMMAND, ID_SKIP_NEXT_TURN_OFF);
    case What::Command:
        if (event.a == ID_TURN_OFF_AND_ON_AFTER_10_SECONDS)
            m_tenSecondsUntilMs = m_ms + 20000;
        return send(kCommand + static_cast<int>(event.a), WM_COMMAND, static_cast<WPARAM>(event.a));
    case What::Restart:
        Exit();
        m_restartMs = m_ms + event.a * 1000;
        return;
    case What::Postpone:
        Postpone();
        return send(kCommand + ID_POSTPONE_NEXT_TURN_OFF, WM_COMMAND, ID_POSTPONE_NEXT_TURN_OFF);
    case What::Notice: return NoticeChoice(event.a);
    }
}

void NightRun::EditSchedules(const Event& event)
{
    const size_t count = m_schedules.size();
    const Schedule drawn = DrawSchedule(static_cast<std::uint64_t>(event.b));
    Stimulus(kEdit, [&] {
        if (event.what == What::Edit && event.a % static_cast<long long>(count) == 0)
            m_dlg->EditFirstSchedule(m_schedules[0] = drawn);
        else if (event.what == What::Edit)
            m_dlg->m_schedules.Replace(event.a % count - 1, m_schedules[event.a % count] = drawn);
        else if (event.what == What::Add && count < kMaxSchedules)
            m_dlg->m_schedules.Add(drawn), m_schedules.push_back(drawn);
        else if (event.what == What::Remove && count > 1)
            m_dlg->m_schedules.Remove(event.a % (count - 1)), m_schedules.erase(m_schedules.begin() + 1 + event.a % (count - 1));
        else
            return;
        // The model follows the program's rules for what the schedules change.
        const auto turnsOffAt = [&](long long second) {
            return std::any_of(m_schedules.begin(), m_schedules.end(), [&](const Schedule& schedule) {
                long long at = 0;
                return NextOccurrence(TimesOf(schedule).turnOff, second - 1, Zone(), at) && at == second;
            });
        };
        long long turnOn = 0;
        if (m_postponedTo != 0 && (!turnsOffAt(m_postponedFrom) ||
                                   (NextOf(true, m_postponedFrom, turnOn) && m_postponedTo >= turnOn)))
            m_postponedFrom = m_postponedTo = 0;
        if (m_skipAt != 0 && m_skipAt != m_postponedTo && !turnsOffAt(m_skipAt))
            m_skipAt = 0;
        if (m_madeEarly != 0 && m_madeEarly != m_postponedTo && !turnsOffAt(m_madeEarly))
            m_madeEarly = 0;
        if (m_held)
            m_held = NightEnd(true, m_heldUntil);
        if (m_again)
            m_again = NightEnd(false, m_againUntil);
        m_dlg->OnSchedulesChanged();
    });
}

void NightRun::SessionLock(bool locked, bool byPerson)
{
    if (byPerson)
        Input(); // Windows+L, or the password
    if (locked == m_locked)
        return;
    m_locked = m_outside.sessionLocked = locked;
    if (!locked)
        m_suspended = false;
    if (m_dlg)
        Stimulus(kSession, [&] {
            ::SendMessageW(m_dlg->GetSafeHwnd(), WM_WTSSESSION_CHANGE, locked ? WTS_SESSION_LOCK : WTS_SESSION_UNLOCK, 1);
        });
}

void NightRun::SetDisplay(bool on)
{
    m_displayOn = on;
    if (on)
        m_displayOnSince = m_ms / 1000;
    if (m_dlg)
        Stimulus(kDisplay, [&] { SendDisplayState(m_dlg->GetSafeHwnd(), on ? kDisplayOn : kDisplayOff); });
}

void NightRun::Resume(bool byPerson)
{
    for (Expectation& expected : m_expected)
        expected.dueMs += expected.dueMs >= 0 ? m_ms - m_sleptMs : 0;
    m_asleep = false;
    m_sessionChanged = true;
    const auto send = [this](WPARAM event) {
        if (m_dlg)
            Stimulus(kPower, [&] { ::SendMessageW(m_dlg->GetSafeHwnd(), WM_POWERBROADCAST, event, 0); });
    };
    send(PBT_APMRESUMEAUTOMATIC);
    if (byPerson)
        Input(), send(PBT_APMRESUMESUSPEND);
}

void NightRun::Tick()
{
    if (!m_outside.timers.count({m_dlg->GetSafeHwnd(), TIMER_SCHEDULE}))
        return Fail(9, L"the schedule tick is not running");
    const long long now = m_ms / 1000;
    const int tick = ++m_ticks;
    m_skippedNow = false;
    TickModel(now, tick);
    m_lastTick = now;
    m_tickStack.push_back(tick);
    Stimulus(kTick, [&] { ::SendMessageW(m_dlg->GetSafeHwnd(), WM_TIMER, TIMER_SCHEDULE, 0); });
    m_tickStack.pop_back();
    CheckExpectations();
    if (!m_tickStack.empty() || CDlgBlackScreen::IsAnyUp() || !m_dlg)
        return;
    CheckWakeTimer();
    CheckTip();
    CheckNotice();
}

void NightRun::Fire(HWND window, UINT_PTR id)
{
    auto found = m_outside.timers.find({window, id});
    if (!::IsWindow(window))
        return void(m_outside.timers.erase(found)); // gone with its window
    found->second.due = m_ms + found->second.period;
    // The ten seconds' turn-on waits for a scheduled black screen up, and is made when it closes.
    m_tenSecondsDeferred |= id == TIMER_TURN_ON &&
                            std::any_of(m_screens.begin(), m_screens.end(), [](long long s) { return s != -1; });
    // The held turn-off's fade: input ends it and the hold goes on; at its end, or at the lock, the turn-off is made.
    if (id == TIMER_FADE && m_fadeSteps >= 0 && !m_locked && LastInputMs() != m_fadeInputMs)
        m_fadeSteps = -1;
    else if (id == TIMER_FADE && m_fadeSteps >= 0 && (m_locked || ++m_fadeSteps >= CFadeWindow::kSteps))
    {
        m_held = false, m_fadeSteps = -1;
        Expect(m_ms / 1000, 0, m_heldBlack && !m_locked, m_heldLock && !m_locked);
        m_expected.back().madeBy = kTimer + TIMER_FADE;
    }
    Stimulus(kTimer + static_cast<int>(id), [&] { ::SendMessageW(window, WM_TIMER, id, 0); });
}

void NightRun::Start()
{
    m_restartMs = -1;
    m_lastTick = -1;
    // What is stored survives: the skip, if its occurrence is still to come.
    if (m_skipAt + kCatchUp < m_ms / 1000 || m_skipAt > m_ms / 1000 + 8 * 86400)
        m_skipAt = 0;
    if (m_postponedTo + kCatchUp < m_ms / 1000)
        m_postponedFrom = m_postponedTo = 0;
    m_madeEarly = m_noticeClosedFor = 0; // the program keeps neither
    m_fadeSteps = -1;
    Stimulus(kStart, [&] {
        m_dlg = std::make_unique<CVeskaroDlg>(m_env);
        if (m_dlg->Create(nullptr))
            m_recorder = std::make_unique<PowerRequestRecorder>(m_dlg->GetSafeHwnd(), m_outside);
    });
    if (!m_dlg->GetSafeHwnd())
        Fail(9, L"the window did not start");
    else
        CheckWakeTimer();
}

void NightRun::Exit()
{
    if (!m_dlg)
        return;
    Stimulus(kExit, [&] { ::SendMessageW(m_dlg->GetSafeHwnd(), WM_CLOSE, 0, 0); });
    m_recorder.reset();
    m_retired = std::move(m_dlg); // freed once nothing of it is on the stack
    m_expected.clear();
    m_held = m_again = m_suspended = false;
    m_heldIdle = m_againIdle = 0;
    CheckBalancesAfterExit();
}

void NightRun::Finish()
{
    if (m_done)
        return;
    if (!m_violation)
        Exit();
    else if (m_dlg)
        ::DestroyWindow(m_dlg->GetSafeHwnd());
    m_done = true;
    ::PostMessageW(m_driver, WM_CONTINUE, 0, 0); // wakes the run's own loop
}

void NightRun::Stimulus(int kind, const std::function<void()>& send)
{
    Continue();
    m_stimuli.push_back(kind);
    send();
    Observe();
    m_stimuli.pop_back();
    if ((kind == kEdit || kind == kOption || kind == kZone) && m_stimuli.empty() && !CDlgBlackScreen::IsAnyUp())
        CheckWakeTimer();
}

// ---- The model ----

std::function<bool(long long, std::tm&)> NightRun::Zone()
{
    return [this](long long second, std::tm& local) { return m_outside.LocalTime(second, local); };
}

long long NightRun::LastInputMs() const
{
    return std::min(m_ms, m_inputUntilMs);
}

long long NightRun::Idle() const
{
    return m_options[kIdle] >= kMinIdleMinutes && m_options[kIdle] <= kMaxIdleMinutes ? m_options[kIdle] * 60LL : 300;
}

bool NightRun::Option(int index) const
{
    return m_options[index] != 0;
}

bool NightRun::InUse(long long idleSeconds) const
{
    return !m_locked && (m_ms - LastInputMs() < idleSeconds * 1000 ||
                         (m_outside.fullScreen && m_screens.empty()));
}

bool NightRun::NextOf(bool turnOn, long long from, long long& next)
{
    std::vector<WeeklyTime> times;
    for (const Schedule& schedule : m_schedules)
        times.push_back(turnOn ? TimesOf(schedule).turnOn : TimesOf(schedule).turnOff);
    return NextOccurrenceOfAny(times, from, Zone(), next);
}

bool NightRun::NightEnd(bool held, long long& end)
{
    const long long now = m_ms / 1000;
    if (NextOf(true, now, end) || (held && NextOf(false, now, end)))
        return true;
    end = LLONG_MAX;
    return held;
}

// From a turn-on to the next turn-off; a postponed one ends it at its new second, where it ran when it fell due.
bool NightRun::InKeepOnPeriod(long long now)
{
    long long lastOn = LLONG_MIN, lastOff = LLONG_MIN, offBefore = LLONG_MIN, at = 0;
    for (const Schedule& schedule : m_schedules)
    {
        const ScheduleTimes times = TimesOf(schedule);
        if (LastOccurrence(times.turnOn, now, Zone(), at))
            lastOn = std::max(lastOn, at);
        if (LastOccurrence(times.turnOff, now, Zone(), at))
            lastOff = std::max(lastOff, at);
        if (m_postponedTo != 0 && LastOccurrence(times.turnOff, m_postponedFrom - 1, Zone(), at))
            offBefore = std::max(offBefore, at);
    }
    return lastOn != LLONG_MIN && (lastOn >= lastOff || (m_postponedTo != 0 && lastOff >= m_postponedFrom &&
                                                         now < m_postponedTo && lastOn >= offBefore));
}

// What the user asked for at the seconds this tick tests, before the window hears it.
void NightRun::TickModel(long long now, int tick)
{
    const long long from = m_lastTick >= 0 && now > m_lastTick && now - m_lastTick <= kCatchUp ? m_lastTick + 1 : now;
    for (long long second = from; second <= now; ++second)
    {
        bool off = false, on = false, blackScreen = false, lock = false;
        // A zone moved (not daylight saving) skips the local times it moves over: none is caught up.
        std::tm local{};
        const bool moved = second == m_zoneMovedAt && m_outside.LocalTime(second, local);
        const auto due = [&](const WeeklyTime& time) {
            long long at = 0;
            return NextOccurrence(time, second - 1, Zone(), at) && at == second &&
                   (!moved || time.secondOfDay == local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
        };
        for (const Schedule& schedule : m_schedules)
        {
            const ScheduleTimes times = TimesOf(schedule);
            if (due(times.turnOff))
                off = true, blackScreen |= schedule.autoDisplayBlackScreen != 0, lock |= schedule.turnOffLockPC != 0;
            on |= due(times.turnOn);
        }
        const long long postponed = PostponedModel(second, off, blackScreen, lock);
        const bool wasHeld = m_held;
        if (off)
            TurnOffModel(second, now, tick, blackScreen && !m_locked, lock && !m_locked);
        m_heldAt = postponed != 0 && m_held && !wasHeld ? postponed : m_heldAt;
        if (on)
        {
            m_expected.push_back(Expectation{second, true});
            m_expected.back().tick = tick;
            m_expected.back().deferred = !m_screens.empty();
            m_held = m_again = m_suspended = false;
        }
    }
    if (m_postponedTo != 0 && now - m_postponedTo > kCatchUp)
        m_postponedFrom = m_postponedTo = 0; // passed in a gap
    if (m_skipAt != 0 && now - m_skipAt > kCatchUp)
        m_skipAt = 0;
    if (m_madeEarly != 0 && now - m_madeEarly > kCatchUp)
        m_madeEarly = 0;
    EndNights(now);
    m_fadeSteps = m_held ? m_fadeSteps : -1;
    // While a fade is up it decides; before the held turn-off one comes where it is set, but at the lock screen.
    if (m_held && !InUse(m_heldIdle) && m_fadeSteps < 0 && !CFadeWindow::IsUp() && Option(kFade) && !m_locked)
        m_fadeSteps = 0, m_fadeInputMs = LastInputMs();
    else if (m_held && !InUse(m_heldIdle) && m_fadeSteps < 0 && !CFadeWindow::IsUp())
    {
        m_held = false;
        Expect(now, tick, m_heldBlack && !m_locked, m_heldLock && !m_locked);
    }
}

// The hold and "turn off again" end with their nights, by the clock.
void NightRun::EndNights(long long now)
{
    m_held = m_held && now < m_heldUntil;
    m_again = m_again && now < m_againUntil;
}

void NightRun::TurnOffModel(long long second, long long now, int tick, bool blackScreen, bool lock)
{
    if (m_madeEarly != 0 && m_madeEarly <= second && std::exchange(m_madeEarly, 0) == second)
        return; // made from the notice already
    if (m_skipAt != 0 && m_skipAt <= second)
    {
        const bool skipped = std::exchange(m_skipAt, 0) == second;
        m_skippedNow = m_skippedNow || skipped;
        if (skipped)
            return;
    }
    if (m_postponedTo != 0 && second >= m_postponedFrom && second < m_postponedTo)
        return; // made at its new second, with the others put off
    EndNights(now);
    NightEnd(true, m_nightEnd);
    if (m_held)
    {
        m_heldBlack |= blackScreen, m_heldLock |= lock;
        return;
    }
    if (Option(kHold) && InUse(Idle()))
    {
        m_held = true, m_heldAt = second;
        NightEnd(true, m_heldUntil);
        m_heldBlack = blackScreen, m_heldLock = lock, m_heldIdle = Idle();
        return;
    }
    Expect(second, tick, blackScreen, lock);
}

void NightRun::Expect(long long second, int tick, bool blackScreen, bool lock)
{
    Expectation expected{second};
    expected.id = ++m_expectations;
    expected.tick = tick;
    expected.blackScreen = blackScreen;
    expected.lock = lock;
    m_expected.push_back(expected);
    m_suspended = true; // the monitors are let go before the black screen
    m_again = Option(kAgain) && NightEnd(false, m_againUntil);
    m_againIdle = Idle();
}

// The menu's postpone, by the program's rules: a quarter hour more each time, dropped (as a skip) at the turn-on.
void NightRun::Postpone(long long named)
{
    const long long now = m_ms / 1000;
    long long next = named, from = m_postponedFrom, to = 0, turnOn = 0;
    if (m_postponedTo == 0 && m_held)
        from = m_heldAt, to = now + 900, m_held = false;
    else if (next < 0 && (PostponedTurnOff(next), next < 0))
        return;
    else if (next == m_postponedTo)
        to = m_postponedTo + 900;
    else
        from = next, to = std::max(m_postponedTo, next + 900);
    m_skipAt = m_skipAt != 0 && (m_skipAt == from || m_skipAt == next) ? 0 : m_skipAt;
    const bool dropped = NextOf(true, from, turnOn) && to >= turnOn;
    m_postponedFrom = dropped ? 0 : from, m_postponedTo = dropped ? 0 : to;
    m_skipAt = dropped && from > now ? from : m_skipAt;
}

// The postponed turn-off at its new second, as its occurrence would have been made, merged with any of that
// second; the occurrence it was, or 0.
long long NightRun::PostponedModel(long long second, bool& off, bool& blackScreen, bool& lock)
{
    if (m_postponedTo == 0 || second != m_postponedTo)
        return 0;
    long long at = 0;
    for (const Schedule& schedule : m_schedules)
        if (NextOccurrence(TimesOf(schedule).turnOff, m_postponedFrom - 1, Zone(), at) && at <= m_postponedTo)
            blackScreen |= schedule.autoDisplayBlackScreen != 0, lock |= schedule.turnOffLockPC != 0;
    off = true, m_postponedTo = 0;
    return std::exchange(m_postponedFrom, 0);
}

// The next turn-off as the tip names it: true where it is the postponed one.
bool NightRun::PostponedTurnOff(long long& off)
{
    if (!NextOf(false, m_ms / 1000, off) || (off == m_madeEarly && !NextOf(false, off, off)))
        off = -1;
    if (m_postponedTo == 0 || (off >= 0 && off < m_postponedFrom))
        return false;
    if (m_postponedTo == m_madeEarly) // made from the notice: the first after it
        return off = NextOf(false, m_postponedTo, off) ? off : -1, false;
    off = m_postponedTo;
    return true;
}

long long NightRun::NoticeMinutes() const
{
    const int minutes = m_options[kNoticeMinutes];
    return !Option(kNotice) ? 0 : minutes >= kMinNoticeMinutes && minutes <= kMaxNoticeMinutes ? minutes : 1;
}

// The turn-off the notice names: the next one made, past a skip; none while one is held.
bool NightRun::NoticeDue(long long& due)
{
    if (m_held)
        return false;
    PostponedTurnOff(due);
    return due >= 0 && due != m_skipAt; // none past a skip

}

// A click at the notice, where it is up: the turn-off it names postponed, skipped, made now (with the black
// screens and locks of the schedules turning off from its occurrence to its second), or the notice closed.
void NightRun::NoticeChoice(long long choice)
{
    const HWND notice = ::FindWindowW(nullptr, L"Notice - VeskaroTest");
    long long due = 0, from = 0, at = 0;
    if (!m_dlg || !notice || !::IsWindowVisible(notice) || !NoticeDue(due))
        return;
    Input(); // the click
    if (choice == 0)
        Postpone(due);
    else if (choice == 1)
        m_skipAt = due;
    else if (choice == 3)
        m_noticeClosedFor = due;
    else
    {
        from = due == m_postponedTo ? m_postponedFrom : due;
        m_madeEarly = due;
        bool blackScreen = false, lock = false;
        for (const Schedule& schedule : m_schedules)
            if (NextOccurrence(TimesOf(schedule).turnOff, from - 1, Zone(), at) && at <= due)
                blackScreen |= schedule.autoDisplayBlackScreen != 0, lock |= schedule.turnOffLockPC != 0;
        NightEnd(true, m_nightEnd);
        Expect(due, 0, blackScreen, lock);
        m_expected.back().madeBy = kCommand + IDC_NOTICE_TURN_OFF_NOW;
    }
    static const UINT kIds[] = {IDC_NOTICE_POSTPONE, IDC_NOTICE_NOT_TONIGHT, IDC_NOTICE_TURN_OFF_NOW, IDCANCEL};
    Stimulus(kCommand + static_cast<int>(kIds[choice]), [&] {
        ::SendMessageW(notice, WM_COMMAND, MAKEWPARAM(kIds[choice], BN_CLICKED), 0);
        MSG posted{}; // the choice reaches the main window as a posted message
        while (m_dlg && ::PeekMessageW(&posted, m_dlg->GetSafeHwnd(), WM_NOTICE_CHOICE, WM_NOTICE_CHOICE, PM_REMOVE))
            ::DispatchMessageW(&posted);
    });
}

// ---- What the window did ----

void NightRun::Observe()
{
    const int kind = m_stimuli.empty() ? 0 : m_stimuli.back();
    // Each black screen sets its keyboard hook, nested ones too; they close newest first, and what
    // the window did since is after the close and before any new one.
    const size_t up = m_outside.keyboardHooks.size();
    for (; m_screens.size() > up; m_screens.pop_back())
        for (Expectation& e : m_expected)
            e.closedMs = e.id == m_screens.back() ? m_ms : e.closedMs;

    std::vector<std::wstring>& log = m_outside.log;
    int made = -1; // the turn-off just made, for the lock that follows it
    for (size_t k = 0; k < log.size() && !m_violation; ++k)
    {
        const std::wstring& line = log[k];
        if (m_trace)
            Print(L"  " + std::to_wstring(m_ms - m_setup.start * 1000) + L" ms [" + std::to_wstring(kind) + L"] " + line);
        if (line == L"MonitorPower 2")
            made = TurnOffSeen(kind);
        else if (line == L"MonitorPower -1")
            TurnOnSeen(kind);
        else if (line == L"LockWorkStation")
            CheckLock(kind, made);
        else if (line.rfind(L"WakeTimer ", 0) == 0)
            m_armedWake = std::stoll(line.substr(10));
        else if (line == L"CancelWakeTimer")
            m_armedWake = 0;
    }
    log.clear();
    for (const NotifyIconCall& call : m_outside.notifyIcons)
        if (call.data.uFlags & NIF_TIP)
            m_tip = call.data.szTip;
    m_outside.notifyIcons.clear();
    while (m_screens.size() < up)
        BlackScreenShown();
    if (!CFadeWindow::IsUp())
        m_fadeSeenMs = -1;
    else if (m_fadeSeenMs < 0)
        m_fadeSeenMs = m_ms, m_fadeSeenInputMs = LastInputMs();
    else if (!m_locked && LastInputMs() > m_fadeSeenInputMs && m_ms - LastInputMs() > 2 * CFadeWindow::kStepMs)
        Fail(11, L"the fade stayed up after input");
    if (!m_asleep && m_dlg && !m_violation)
        CheckRequests();
    if (!m_asleep) // what is due waits through a sleep: Resume moves it on
        CheckExpectations();
}

int NightRun::TurnOffSeen(int kind)
{
    // One turn-off follows the black screens closed meanwhile: the waits after them join, locks and all.
    int made = -1;
    for (size_t k = 0; k < m_expected.size(); ++k)
    {
        Expectation& e = m_expected[k];
        const bool current = std::find(m_tickStack.begin(), m_tickStack.end(), e.tick) != m_tickStack.end();
        const bool other = e.madeBy != 0 && (kind == e.madeBy || kind == kTimer + TIMER_QUIET_INPUT);
        // Closed black screens' turn-off comes after the tick, the quiet input or the fade that showed one, or in
        // whatever timer of theirs runs when they close.
        const bool closed = e.blackScreen && e.closedMs >= 0 &&
                            (kind == kTick || kind == kTimer + TIMER_QUIET_INPUT || kind == kTimer + TIMER_FADE || other);
        if (e.turnOn || e.made || !(closed || (!e.blackScreen && (kind == kTick ? current : other) && made < 0)))
            continue;
        e.made = true, e.lockedAtTurnOff = m_locked;
        made = made < 0 || e.lock ? static_cast<int>(k) : made;
    }
    if (kind == kTimer + TIMER_FADE && m_fadeSeenMs >= 0 && !m_locked && LastInputMs() > m_fadeSeenInputMs)
        Fail(11, L"a turn-off after input during the fade");
    if (made < 0 && kind == kTick)
        CheckUnaskedTurnOff();
    else if (kind == kTimer + TIMER_KEEP_OFF)
        CheckKeepOffWatch();
    m_suspended = true;
    m_lastTurnOffMs = m_ms;
    m_sessionChanged = false;
    m_pending.push_back(kTurnsOff);
    if (m_ms < m_inputUntilMs)
        m_pending.push_back(kComesOn); // the person's next key wakes them
    return made;
}

void NightRun::TurnOnSeen(int kind)
{
    auto expected = std::find_if(m_expected.begin(), m_expected.end(),
                                 [](const Expectation& e) { return e.turnOn && !e.made; });
    // Where a turn-off with its black screen is made, so is a turn-on that fell due while it was up.
    const bool scheduled = kind == kTick || kind == kTimer + TIMER_FADE || kind == kCommand + IDC_NOTICE_TURN_OFF_NOW;
    if (scheduled && expected == m_expected.end() && !std::exchange(m_tenSecondsDeferred, false))
        Fail(3, L"a scheduled turn-on made twice, or one nobody asked for");
    else if (scheduled && expected != m_expected.end())
    {
        for (Expectation& e : m_expected)
            e.made = e.made || &e == &*expected || (expected->deferred && e.turnOn && e.deferred);
        m_tenSecondsDeferred = false; // made with it
    }
    m_suspended = false;
    m_inputUntilMs = std::max(m_inputUntilMs, m_ms); // its nudge of the mouse is input too
    Advance(m_ms);
    m_pending.push_back(kComesOn);
}

void NightRun::BlackScreenShown()
{
    bool asked = false;
    m_screens.push_back(-1);
    for (Expectation& e : m_expected)
        if (e.blackScreen && !e.blackSeen && !asked)
            e.blackSeen = asked = true, m_screens.back() = e.id;
    const int outer = m_stimuli.empty() ? 0 : m_stimuli.front();
    if (asked || outer == kCommand + ID_DISPLAY_BLACK_SCREEN)
        return;
    if (m_locked)
        Fail(3, L"a black screen on a locked session");
    else if (m_ms / 1000 >= m_nightEnd)
        Fail(2, L"a black screen after the end of its night");
    else
        Fail(3, L"a black screen no occurrence asked for");
}

// ---- The invariants ----

void NightRun::Fail(int invariant, const std::wstring& what)
{
    if (!m_violation)
        m_violation = Violation{invariant, what, m_ms / 1000};
}

// 1, 2, 3, 7: a turn-off the tick made that no occurrence asked for: the held one while in use,
// one after its night or at the skipped second, one made twice, or turn off again out of its rules.
void NightRun::CheckUnaskedTurnOff()
{
    const long long now = m_ms / 1000;
    const bool againMayAct = m_again && Option(kAgain) && now < m_againUntil && m_displayOn &&
                             now - m_displayOnSince >= m_againIdle && !InUse(m_againIdle) &&
                             m_screens.empty();
    if (againMayAct) // by the idle minutes of its arming, as the held turn-off keeps those of its hold
        return;
    if (Option(kHold) && InUse(Idle()))
        Fail(1, L"a scheduled turn-off while the PC was in use, with the hold set");
    else if (m_skippedNow)
        Fail(2, L"a turn-off at the skipped occurrence");
    else if (m_postponedTo != 0 && now >= m_postponedFrom && now < m_postponedTo)
        Fail(2, L"a turn-off made while the next was postponed");
    else if (now >= m_nightEnd)
        Fail(2, L"a turn-off after the end of its night");
    else if (m_again)
        Fail(7, L"turned off again within the idle time, while full-screen, or with the display off");
    else
        Fail(3, L"a scheduled turn-off made twice, or one nobody asked for");
}

// 7: the keep-off watch ends with the person's input, a resume or a session change.
void NightRun::CheckKeepOffWatch()
{
    if (LastInputMs() > m_lastTurnOffMs || m_sessionChanged)
        Fail(7, L"the keep-off watch turned the monitors off after input, a resume or a session change");
}

// 6: a lock only for the lock command, or with a made turn-off whose schedule asks for it on an unlocked session.
void NightRun::CheckLock(int kind, int made)
{
    if (kind == kCommand + ID_LOCK_PC_NOW)
        ;
    else if (made >= 0 && m_expected[made].lock && !m_expected[made].lockedAtTurnOff)
        for (Expectation& e : m_expected)
            e.lockDone = e.lockDone || (e.made && e.lock);
    else
        Fail(6, L"LockWorkStation without a turn-off that asks for it, or on a locked session");
    m_pending.push_back(kSessionLocks);
}

// 3: each occurrence made once, in time, with its black screen and lock.
void NightRun::CheckExpectations()
{
    for (auto e = m_expected.begin(); e != m_expected.end() && !m_violation;)
    {
        const bool current = std::find(m_tickStack.begin(), m_tickStack.end(), e->tick) != m_tickStack.end();
        const bool up = CDlgBlackScreen::IsAnyUp();
        if (e->made && !e->turnOn && e->lock && !e->lockedAtTurnOff && !e->lockDone && !current)
            Fail(3, L"a turn-off made without the lock its schedule asks for");
        else if (e->made)
        {
            e = m_expected.erase(e);
            continue;
        }
        else if (!current && e->blackScreen && !e->blackSeen)
            Fail(3, L"a scheduled turn-off made without its black screen");
        else if (!current && e->dueMs < 0 && (e->blackScreen ? e->closedMs >= 0 : !(e->deferred && up)))
            e->dueMs = m_ms + kMadeWithinMs; // from the tick's end, or the close of what it waits for
        else if (e->dueMs >= 0 && m_ms > e->dueMs)
            Fail(3, (e->turnOn ? L"the scheduled turn-on of " : L"the scheduled turn-off of ") + DayAndTime(m_outside, e->second) +
                        L" not made");
        ++e;
    }
}

// 4: requests balanced, and held only in the keep-on period, for the wake and the ten seconds.
void NightRun::CheckRequests()
{
    bool display = false, system = false;
    for (const auto& [key, count] : m_outside.requestBalance)
    {
        if (count < 0 || count > 1)
            return Fail(4, L"a power request set twice or cleared while not set");
        (key.second == PowerRequestDisplayRequired ? display : system) |= count == 1;
    }
    // The window acts on a second at its tick, and on the clock when anything else comes.
    const bool keepOn = Option(kKeepOn) && !m_locked && !m_suspended &&
                        (InKeepOnPeriod(m_ms / 1000) || (m_lastTick >= 0 && InKeepOnPeriod(m_lastTick)));
    if (display && !keepOn)
        Fail(4, L"the display held outside the keep-on period");
    else if (system && !keepOn && !Option(kWake) &&
             !(m_setup.modernStandby && (m_ms < m_tenSecondsUntilMs || m_tenSecondsDeferred)))
        Fail(4, L"the system held outside the keep-on period, the wake and the ten seconds");
}

// 5: with the option set, a wake timer a minute before the earliest turn-on of all schedules.
void NightRun::CheckWakeTimer()
{
    long long next = 0;
    if (Option(kWake) && NextOf(true, m_ms / 1000, next) ? m_armedWake != next - 60 : m_armedWake != 0)
        Fail(5, L"the wake timer is not set a minute before the earliest turn-on, or set without the option");
}

// 8: the tip names the next action, the hold and the skip.
void NightRun::CheckTip()
{
    long long off = -1, on = -1;
    const bool postponed = PostponedTurnOff(off);
    if (!NextOf(true, m_ms / 1000, on))
        on = -1;
    const auto format = [this](long long second) { return DayAndTime(m_outside, second); };
    const std::wstring expected = TrayTipText(kTestAppName, off, on, m_skipAt != 0, m_held, format, postponed);
    if (m_tip != expected)
        Fail(8, L"the tip reads \"" + m_tip + L"\" where \"" + expected + L"\" comes");
}

// 10: the notice is up just while a turn-off that will be made falls due within its minutes, and names it.
void NightRun::CheckNotice()
{
    const HWND notice = ::FindWindowW(nullptr, L"Notice - VeskaroTest");
    const long long now = m_ms / 1000, minutes = NoticeMinutes();
    long long due = 0;
    std::wstring expected;
    if (minutes > 0 && !m_locked && NoticeDue(due) && due > now && due - now <= minutes * 60 && due != m_noticeClosedFor)
    {
        wchar_t left[32] = {};
        std::swprintf(left, 32, L" (in %lld:%02lld)", (due - now) / 60, (due - now) % 60);
        expected = L"Monitors turn off at " + ClockText(m_outside, due) + left;
    }
    const std::wstring shown =
        notice && ::IsWindowVisible(notice) ? GetWindowTextString(::GetDlgItem(notice, IDC_NOTICE_TEXT)) : L"";
    if (shown != expected)
        Fail(10, L"the notice reads \"" + shown + L"\" where \"" + expected + L"\" comes");
}

// 9: after Exit nothing is left: requests, timers, hooks, the wake timer.
void NightRun::CheckBalancesAfterExit()
{
    const bool requests = std::all_of(m_outside.requestBalance.begin(), m_outside.requestBalance.end(),
                                      [](const auto& entry) { return entry.second == 0; });
    if (!requests || !m_outside.timers.empty() || !m_outside.keyboardHooks.empty() || m_armedWake != 0)
        Fail(9, L"a request, timer, hook or wake timer left after Exit");
}

} // namespace veskaro::testing
