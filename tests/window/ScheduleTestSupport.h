// Helpers for the schedule, monitor command, black screen and log tests.
#pragma once

#include "fakes/FakeOutsideWorld.h"
#include "window/WindowTest.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace veskaro::testing {

// 2026-12-06 07:01:38 UTC, a Sunday: the fake clock's start.
constexpr __time64_t kSunday070138 = 1796540498;
constexpr __time64_t kDaySeconds = 86400;

// Records the monitor power requests the main window receives in the fake's log
// ("MonitorPower 2", "MonitorPower -1"), and keeps them from the test display.
class PowerRequestRecorder
{
public:
    PowerRequestRecorder(HWND window, FakeOutsideWorld& outside);
    ~PowerRequestRecorder();
    PowerRequestRecorder(const PowerRequestRecorder&) = delete;
    PowerRequestRecorder& operator=(const PowerRequestRecorder&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                 DWORD_PTR data);
    HWND m_window;
    FakeOutsideWorld& m_outside;
};

// Acts on each window that `find` returns while a modal run is up, from a thread
// timer that the modal loop dispatches. The action gets the window and its number
// (0 for the first one seen); it must close the window, or it stays up.
class ModalWindowWatcher
{
public:
    using Finder = std::function<HWND()>;
    using Action = std::function<void(HWND window, int index)>;
    ModalWindowWatcher(Finder find, Action action);
    ~ModalWindowWatcher();
    ModalWindowWatcher(const ModalWindowWatcher&) = delete;
    ModalWindowWatcher& operator=(const ModalWindowWatcher&) = delete;
    int Seen() const { return static_cast<int>(m_seen.size()); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    Finder m_find;
    Action m_action;
    UINT_PTR m_timer = 0;
    std::vector<HWND> m_seen;
};

// Watches for the black screens owned by `owner`.
class BlackScreenWatcher : public ModalWindowWatcher
{
public:
    BlackScreenWatcher(HWND owner, Action action);
};

// The visible black screen owned by `owner` (a dialog without title), or null.
HWND FindBlackScreen(HWND owner);
// The visible message box owned by `owner` with that caption, or null.
HWND FindMessageBox(HWND owner, const std::wstring& caption);
// The texts of a window's children, in order.
std::vector<std::wstring> ChildTexts(HWND window);

// A time on the fake clock's first day, and what a time picker sends when the user changes a field.
SYSTEMTIME TimeOfDay(WORD hour, WORD minute, WORD second);
void ChangePicker(HWND dialog, int id, const SYSTEMTIME& time);

// Closes a black screen as a user would: a mouse button (a key reaches it only through the keyboard hook).
void PressKey(HWND blackScreen);

// The user's time format for the scope of a test (LOCALE_STIMEFORMAT), restored after.
// It is the session's own setting: tests that change it run only under Wine (kLocaleSkip).
class UserTimeFormat
{
public:
    explicit UserTimeFormat(const std::wstring& format);
    ~UserTimeFormat();
    UserTimeFormat(const UserTimeFormat&) = delete;
    UserTimeFormat& operator=(const UserTimeFormat&) = delete;

private:
    std::wstring m_previous;
};

inline constexpr char kLocaleSkip[] = "changes the user's time format, which only a Wine prefix of the tests' own may";

// The lines of a UTF-16LE log file as wide text, without their LF.
std::vector<std::wstring> LogLines(const std::string& bytes);
// The event word of each line ("Turn Off", "Turn On").
std::vector<std::wstring> LogEvents(const std::string& bytes);

// The entries of the fake's log that begin with one of the prefixes, in order.
std::vector<std::wstring> Filtered(const std::vector<std::wstring>& log, const std::vector<std::wstring>& prefixes);

using Events = std::vector<std::wstring>;

// The main window with logging to a scratch file and its power requests recorded;
// its own schedule timer is stopped, so only the ticks a test sends happen.
class ScheduleWindowTest : public MainWindowTest
{
protected:
    ScheduleWindowTest();

    // The schedule as stored in the first instance's section, before Open().
    void Set(const wchar_t* name, int value);
    void SetText(const wchar_t* name, const std::wstring& value);
    void Open();

    void TickAt(__time64_t time);
    void TickEachSecond(__time64_t first, __time64_t last);
    // Clicks a check box of the main window the way the mouse does.
    void Click(int id);

    Events LoggedEvents() const { return LogEvents(m_log.Bytes()); }
    // Power requests, synthetic input, locks and (where a test notes them) black screens, in order.
    Events PowerCalls() const;

    static constexpr const wchar_t* kSection = L"Settings 1";
    ScratchFile m_log;
    std::unique_ptr<PowerRequestRecorder> m_recorder;
};

} // namespace veskaro::testing
