// Helpers for the schedule, monitor command, black screen and log tests.
#pragma once

#include "fakes/FakeOutsideWorld.h"

#include <windows.h>

#include <functional>
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

// Acts on each black screen owned by `owner` while a modal run is up, from a thread
// timer that the modal loop dispatches. The action gets the window and its number
// (0 for the first black screen seen); it must close the window, or it stays up.
class BlackScreenWatcher
{
public:
    using Action = std::function<void(HWND blackScreen, int index)>;
    BlackScreenWatcher(HWND owner, Action action);
    ~BlackScreenWatcher();
    BlackScreenWatcher(const BlackScreenWatcher&) = delete;
    BlackScreenWatcher& operator=(const BlackScreenWatcher&) = delete;
    int Seen() const { return static_cast<int>(m_seen.size()); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    HWND m_owner;
    Action m_action;
    UINT_PTR m_timer = 0;
    std::vector<HWND> m_seen;
};

// The visible black screen owned by `owner` (a dialog without title), or null.
HWND FindBlackScreen(HWND owner);

// Closes a black screen as a key press would.
void PressKey(HWND blackScreen);

// The user's time format for the scope of a test (LOCALE_STIMEFORMAT), restored after.
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

// The lines of a UTF-16LE log file as wide text, without their LF.
std::vector<std::wstring> LogLines(const std::string& bytes);
// The event word of each line ("Turn Off", "Turn On").
std::vector<std::wstring> LogEvents(const std::string& bytes);

// The entries of the fake's log that begin with one of the prefixes, in order.
std::vector<std::wstring> Filtered(const std::vector<std::wstring>& log, const std::vector<std::wstring>& prefixes);

} // namespace veskaro::testing
