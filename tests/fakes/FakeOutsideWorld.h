// A recording stand-in for the outside world: it keeps every call, answers as told,
// and keeps its own clock.
#pragma once

#include "framework/OutsideWorld.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace veskaro::testing {

struct MessageBoxCall
{
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

struct MessageBoxCheckCall
{
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
    int defaultResult;
    std::wstring registryValue;
};

struct ShellExecuteCall
{
    HWND owner;
    std::wstring verb; // empty for no verb
    std::wstring file;
    int show;
};

struct TrackPopupMenuCall
{
    HMENU menu;
    UINT flags;
    int x;
    int y;
    HWND owner;
};

struct NotifyIconCall
{
    DWORD message;
    NOTIFYICONDATAW data;
};

struct PowerRegistrationCall
{
    HWND window;
    GUID setting;
    DWORD flags;
};

struct SaveFileCall
{
    HWND owner;
    std::wstring filter;
    std::wstring defaultExtension;
    DWORD flags;
};

class FakeOutsideWorld final : public IOutsideWorld
{
public:
    // Answers
    int messageBoxResult = IDOK;
    int messageBoxCheckResult = IDOK;
    bool notifyIconSucceeds = true;
    int notifyIconFailures = 0; // the next this many calls fail
    RECT notifyIconRect{}; // empty: the shell does not say, as Wine's does not
    UINT popupMenuCommand = 0; // what the person picks from a menu that returns it; 0: nothing
    bool lockSucceeds = true;
    DWORD lockError = 5;
    bool saveFileConfirmed = true;
    std::wstring saveFilePath = L"C:\\veskaro-test.txt";
    bool userNameKnown = true;
    std::wstring userName = L"R&D tester"; // an ampersand, as a name may have
    HPOWERNOTIFY powerNotifyHandle = reinterpret_cast<HPOWERNOTIFY>(static_cast<intptr_t>(0x1234));
    int sessionRegistrationFailures = 0; // the next this many registrations fail
    HRESULT createVoiceResult = S_OK;
    bool windows8OrGreater = true;
    UINT taskbarDpi = 0; // not known, as before Windows 10
    bool foregroundRefused = false; // Windows' foreground lock: the window only flashes
    bool keyboardHookRefused = false; // SetWindowsHookExW failed: no low-level hook for the black screen
    bool keyOrButtonDown = false;
    DWORD millisecondsSinceInput = 60000;
    DWORD lastInputTime = 1000;
    bool fullScreen = false;
    bool powerRequestsAvailable = true;
    bool modernStandby = false;
    bool onAcPower = true;
    bool sessionLocked = false;
    __time64_t now = 1796540498; // 2026-12-06 07:01:38 UTC, a Sunday (tests run with TZ=UTC)
    // LocalTime's zone: the runtime's, unless a test gives offsets from UTC in seconds, each from its time on.
    std::vector<std::pair<__time64_t, long long>> zone;

    // Something to run inside a modal call, as a person would act meanwhile.
    std::function<void()> onMessageBox;
    std::function<void()> onTrackPopupMenu;
    std::function<void()> onNotifyIcon; // what the window still holds while the shell takes an icon
    std::function<void()> onReadTimeZone; // a zone the runtime sees only once it reads it again

    // Records
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<MessageBoxCheckCall> messageBoxChecks;
    std::vector<SaveFileCall> saveFileDialogs;
    std::vector<TrackPopupMenuCall> popupMenus;
    std::vector<NotifyIconCall> notifyIcons;
    int lockCalls = 0;
    std::vector<std::vector<INPUT>> inputs;
    std::vector<ShellExecuteCall> shellExecutes;
    std::vector<PowerRegistrationCall> powerRegistrations;
    std::vector<HPOWERNOTIFY> powerUnregistrations;
    std::vector<std::pair<HWND, DWORD>> sessionRegistrations; // successful and failed attempts
    std::vector<HWND> sessionUnregistrations;
    int voicesCreated = 0;
    int voicesReleased = 0;
    std::vector<std::pair<std::wstring, DWORD>> restartRegistrations; // "(none)" for no argument text
    int restartUnregistrations = 0;
    std::vector<HWND> foregroundRequests;
    std::vector<DWORD> foregroundAllowed;
    std::vector<HOOKPROC> keyboardHooks; // set and not yet removed, newest last
    std::vector<std::wstring> spoken;
    std::vector<DWORD> speakFlags;
    // Sets less clears of each type on each request object: Windows counts them.
    std::map<std::pair<HANDLE, int>, int> requestBalance;
    int HeldRequests() const { int n = 0; for (const auto& entry : requestBalance) n += entry.second != 0; return n; }
    // One line per outside call, in order, for checking sequences across kinds.
    std::vector<std::wstring> log;
    std::map<HWND, std::wstring> accessibleNames;

    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
    int MessageBoxCheck(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                        int defaultResult, const std::wstring& registryValue) override;
    bool ChooseSaveFile(HWND owner, const std::wstring& filter, const std::wstring& defaultExtension, DWORD flags,
                        std::wstring& path) override;
    UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) override;
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override;
    bool NotifyIconRect(HWND, UINT, RECT& rect) override { return rect = notifyIconRect, !::IsRectEmpty(&rect); }
    bool LockWorkStation(DWORD& error) override;
    UINT SendInput(UINT count, INPUT* inputs, int size) override;
    void ShellExecute(HWND owner, const wchar_t* verb, const std::wstring& file, int show) override;
    bool GetUserName(std::wstring& name) override;
    bool IsWindows8OrGreater() override { return windows8OrGreater; }
    UINT TaskbarDpi() override { return taskbarDpi; }
    void RegisterApplicationRestart(const wchar_t* arguments, DWORD flags) override
    {
        restartRegistrations.emplace_back(arguments ? arguments : L"(none)", flags);
    }
    // Asked for and passed on, so that the window tests' windows behave as they would.
    bool SetForegroundWindow(HWND window) override
    {
        foregroundRequests.push_back(window);
        return !foregroundRefused && ::SetForegroundWindow(window) != FALSE;
    }
    void AllowSetForegroundWindow(DWORD processId) override { foregroundAllowed.push_back(processId); }
    HHOOK SetKeyboardHook(HOOKPROC p) override
    {
        return keyboardHookRefused ? nullptr : (keyboardHooks.push_back(p), reinterpret_cast<HHOOK>(p));
    }
    void RemoveKeyboardHook(HHOOK) override { keyboardHooks.pop_back(); } // black screens close newest first
    void UnregisterApplicationRestart() override { ++restartUnregistrations; }
    // The window's timers, each with its due time and period on `clockMs`. Real timers besides,
    // unless a test fires them itself on its own clock.
    struct Timer
    {
        long long due;
        UINT period;
    };
    bool timersOnClock = false;
    long long clockMs = 0;
    std::map<std::pair<HWND, UINT_PTR>, Timer> timers;
    void SetTimer(HWND window, UINT_PTR id, UINT elapse, ULONG) override
    {
        timers[{window, id}] = Timer{clockMs + elapse, elapse};
        if (!timersOnClock)
            ::SetTimer(window, id, elapse, nullptr);
    }
    bool KillTimer(HWND window, UINT_PTR id) override
    {
        const bool set = timers.erase({window, id}) != 0;
        return timersOnClock ? set : ::KillTimer(window, id) != FALSE;
    }
    // A key as the session gets it, at a tick count, to the newest hook; its answer (non-zero: swallowed).
    LRESULT DeliverKey(WPARAM message, DWORD key, DWORD flags = 0, DWORD time = 0)
    {
        KBDLLHOOKSTRUCT data{key, 0, flags, time, 0};
        return keyboardHooks.empty() ? 0 : keyboardHooks.back()(HC_ACTION, message, reinterpret_cast<LPARAM>(&data));
    }
    bool IsKeyOrButtonDown() override { return keyOrButtonDown; }
    DWORD MillisecondsSinceInput() override { return millisecondsSinceInput; }
    DWORD LastInputTime() override { return lastInputTime; }
    bool IsFullScreenOrPresenting() override { return fullScreen; }
    EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags) override
    {
        log.push_back(L"ExecutionState " + std::to_wstring(flags));
        return ES_SYSTEM_REQUIRED;
    }
    // Real handles, so that the program's closing them is real too; nothing is set on them.
    HANDLE PowerCreateRequest(const std::wstring& reason) override
    {
        log.push_back(L"PowerCreateRequest " + reason);
        return powerRequestsAvailable ? ::CreateEventW(nullptr, TRUE, FALSE, nullptr) : nullptr;
    }
    bool PowerSetRequest(HANDLE request, POWER_REQUEST_TYPE type) override
    {
        return ++requestBalance[{request, type}], Logged(L"PowerSetRequest", type);
    }
    bool PowerClearRequest(HANDLE request, POWER_REQUEST_TYPE type) override
    {
        return --requestBalance[{request, type}], Logged(L"PowerClearRequest", type);
    }
    HANDLE CreateWaitableTimer() override { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    bool SetWakeTimer(HANDLE, __time64_t due, const std::wstring& reason, DWORD& error) override
    {
        error = ERROR_SUCCESS;
        return Logged(L"WakeTimer", due, L" " + reason);
    }
    void CancelWaitableTimer(HANDLE) override { log.push_back(L"CancelWakeTimer"); }
    bool IsModernStandby() override { return modernStandby; }
    bool IsOnAcPower() override { return onAcPower; }
    HPOWERNOTIFY RegisterPowerSettingNotification(HWND window, const GUID& setting, DWORD flags) override;
    void UnregisterPowerSettingNotification(HPOWERNOTIFY handle) override;
    bool RegisterSessionNotification(HWND window, DWORD flags) override;
    void UnRegisterSessionNotification(HWND window) override;
    bool IsSessionLocked() override { return sessionLocked; }
    HRESULT CreateVoice(ISpVoice** voice) override;
    void Speak(ISpVoice* voice, const std::wstring& text, DWORD flags) override;
    void ReleaseVoice(ISpVoice* voice) override;
    __time64_t Now() override { return now; }
    bool LocalTime(__time64_t time, std::tm& local) override
    {
        __time64_t shifted = time;
        for (const auto& [from, offset] : zone)
            shifted = time >= from ? time + offset : shifted;
        return zone.empty() ? _localtime64_s(&local, &time) == 0 : _gmtime64_s(&local, &shifted) == 0;
    }
    void ReadTimeZone() override
    {
        if (onReadTimeZone)
            onReadTimeZone();
    }
    HRESULT SetAccessibleName(HWND c, const std::wstring& name) override { return accessibleNames[c] = name, S_OK; }

private:
    bool Logged(const wchar_t* call, long long number, const std::wstring& more = std::wstring())
    {
        log.push_back(call + (L" " + std::to_wstring(number)) + more);
        return true;
    }
};

} // namespace veskaro::testing
