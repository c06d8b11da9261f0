// The calls that act outside the process or wait for a person, and the clock.
// The program uses Win32OutsideWorld; tests substitute a recording fake.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <ctime>
#include <string>
#include <utility>

struct ISpVoice;

namespace veskaro {

class IOutsideWorld
{
public:
    virtual ~IOutsideWorld() = default;

    // People
    virtual int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
    // The shell's message box with a "do not show again" check box (SHMessageBoxCheckW).
    virtual int MessageBoxCheck(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                                int defaultResult, const std::wstring& registryValue) = 0;
    // The Explorer-style save dialog; filter as "name|pattern||". False when cancelled.
    virtual bool ChooseSaveFile(HWND owner, const std::wstring& filter, const std::wstring& defaultExtension,
                                DWORD flags, std::wstring& path) = 0;
    // A modal pop-up menu; the chosen command arrives as WM_COMMAND at the owner, or with
    // TPM_RETURNCMD comes back instead (0: none).
    virtual UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) = 0;

    // The system
    virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) = 0;
    // Where the shell shows an icon, in screen coordinates (Shell_NotifyIconGetRect).
    virtual bool NotifyIconRect(HWND window, UINT id, RECT& rect) = 0;
    // LockWorkStation; on failure error holds GetLastError().
    virtual bool LockWorkStation(DWORD& error) = 0;
    virtual UINT SendInput(UINT count, INPUT* inputs, int size) = 0;
    virtual void ShellExecute(HWND owner, const wchar_t* verb, const std::wstring& file, int show) = 0;
    virtual bool GetUserName(std::wstring& name) = 0;
    // Windows 8 or later; Windows 7 lacks some of what later systems have.
    virtual bool IsWindows8OrGreater() = 0;
    // The scale of the monitor that holds the notification area.
    virtual UINT TaskbarDpi() = 0;
    // The restart manager starts the program again with this argument text (null: none).
    virtual void RegisterApplicationRestart(const wchar_t* arguments, DWORD flags) = 0;

    // The foreground. Windows lets a process take it only while it has the user's last
    // input or was let by the process that has; otherwise the window only flashes.
    virtual bool SetForegroundWindow(HWND window) = 0;
    virtual void AllowSetForegroundWindow(DWORD processId) = 0;
    // A low-level keyboard hook (WH_KEYBOARD_LL) called on this thread: it sees every key of
    // the session, whichever window has the keyboard. Null when refused.
    virtual HHOOK SetKeyboardHook(HOOKPROC proc) = 0;
    virtual void RemoveKeyboardHook(HHOOK hook) = 0;
    // Ends what RegisterApplicationRestart asked for.
    virtual void UnregisterApplicationRestart() = 0;
    // A window's timer: WM_TIMER every `elapse` milliseconds until killed; Windows may delay it by
    // up to `tolerance` more to wake the processor once for several programs (0: its default).
    // Setting it again restarts it. KillTimer is false when none was set.
    virtual void SetTimer(HWND window, UINT_PTR id, UINT elapse, ULONG tolerance = 0) = 0;
    virtual bool KillTimer(HWND window, UINT_PTR id) = 0;

    // Input: whether a key or mouse button is held now, and the time since the session's
    // last input. Any input wakes the displays again.
    virtual bool IsKeyOrButtonDown() = 0;
    virtual DWORD MillisecondsSinceInput() = 0;
    // The tick count of the session's last input (GetLastInputInfo): it changes with any input.
    virtual DWORD LastInputTime() = 0;
    // A full-screen program, a game or a presentation runs (SHQueryUserNotificationState).
    virtual bool IsFullScreenOrPresenting() = 0;

    // Power. ES_DISPLAY_REQUIRED turns the display on and restarts its idle time-out.
    virtual EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags) = 0;
    // A power request object with a simple reason (PowerCreateRequest), for CloseHandle; null
    // where Windows gives none. Held requests keep the system or the display from idling off.
    virtual HANDLE PowerCreateRequest(const std::wstring& reason) = 0;
    virtual bool PowerSetRequest(HANDLE request, POWER_REQUEST_TYPE type) = 0;
    virtual bool PowerClearRequest(HANDLE request, POWER_REQUEST_TYPE type) = 0;
    // A waitable timer for CloseHandle, and its due time as a calendar time, set to wake the PC
    // with a reason; error holds GetLastError() after it (ERROR_NOT_SUPPORTED: set, no wake).
    virtual HANDLE CreateWaitableTimer() = 0;
    virtual bool SetWakeTimer(HANDLE timer, __time64_t due, const std::wstring& reason, DWORD& error) = 0;
    virtual void CancelWaitableTimer(HANDLE timer) = 0;
    // Modern Standby (S0 low power idle): turning the monitors off starts standby, and wake
    // timers do not wake the PC.
    virtual bool IsModernStandby() = 0;
    // On AC power, or not known to run on battery (GetSystemPowerStatus).
    virtual bool IsOnAcPower() = 0;

    // Subscriptions
    virtual HPOWERNOTIFY RegisterPowerSettingNotification(HWND window, const GUID& setting, DWORD flags) = 0;
    virtual void UnregisterPowerSettingNotification(HPOWERNOTIFY handle) = 0;
    virtual bool RegisterSessionNotification(HWND window, DWORD flags) = 0;
    virtual void UnRegisterSessionNotification(HWND window) = 0;
    // This session is locked now; false where Windows does not say.
    virtual bool IsSessionLocked() = 0;

    // Speech: the voice object, created through COM.
    virtual HRESULT CreateVoice(ISpVoice** voice) = 0;
    virtual void Speak(ISpVoice* voice, const std::wstring& text, DWORD flags) = 0; // SPF_* flags
    virtual void ReleaseVoice(ISpVoice* voice) = 0;

    // The clock: calendar time in whole seconds (_time64).
    virtual __time64_t Now() = 0;
    // The local time of a calendar time (_localtime64_s); false when it cannot be broken down.
    virtual bool LocalTime(__time64_t time, std::tm& local) = 0;
    // The runtime reads the time zone at its first conversion and keeps it; this reads it again (_tzset).
    virtual void ReadTimeZone() = 0;

    // Accessibility: the name a screen reader gives a control whose text or label does not
    // tell it apart (IAccPropServices). Fails where the system has no such service (Wine
    // answers E_NOTIMPL): the control keeps the name its text or label gives.
    virtual HRESULT SetAccessibleName(HWND control, const std::wstring& name) = 0;
};

// A keyboard hook set through the outside world, and removed through it.
class UniqueKeyboardHook
{
public:
    UniqueKeyboardHook() noexcept = default;
    ~UniqueKeyboardHook() { Reset(); }
    UniqueKeyboardHook(const UniqueKeyboardHook&) = delete;
    UniqueKeyboardHook& operator=(const UniqueKeyboardHook&) = delete;

    void Set(IOutsideWorld& outside, HOOKPROC proc)
    {
        Reset();
        m_outside = &outside;
        m_hook = outside.SetKeyboardHook(proc);
    }
    explicit operator bool() const noexcept { return m_hook != nullptr; }
    void Reset() noexcept
    {
        if (HHOOK hook = std::exchange(m_hook, nullptr))
            m_outside->RemoveKeyboardHook(hook);
    }

private:
    IOutsideWorld* m_outside = nullptr;
    HHOOK m_hook = nullptr;
};

// From one tick count to a later one, across the wrap; 0 when `earlier` is the later one.
DWORD MillisecondsBetween(DWORD earlier, DWORD later);

class Win32OutsideWorld final : public IOutsideWorld
{
public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
    int MessageBoxCheck(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                        int defaultResult, const std::wstring& registryValue) override;
    bool ChooseSaveFile(HWND owner, const std::wstring& filter, const std::wstring& defaultExtension, DWORD flags,
                        std::wstring& path) override;
    UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) override;
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override;
    bool NotifyIconRect(HWND window, UINT id, RECT& rect) override;
    bool LockWorkStation(DWORD& error) override;
    UINT SendInput(UINT count, INPUT* inputs, int size) override;
    void ShellExecute(HWND owner, const wchar_t* verb, const std::wstring& file, int show) override;
    bool GetUserName(std::wstring& name) override;
    bool IsWindows8OrGreater() override;
    UINT TaskbarDpi() override;
    void RegisterApplicationRestart(const wchar_t* arguments, DWORD flags) override;
    bool SetForegroundWindow(HWND window) override;
    void AllowSetForegroundWindow(DWORD processId) override;
    HHOOK SetKeyboardHook(HOOKPROC proc) override;
    void RemoveKeyboardHook(HHOOK hook) override;
    void UnregisterApplicationRestart() override;
    void SetTimer(HWND window, UINT_PTR id, UINT elapse, ULONG tolerance) override;
    bool KillTimer(HWND window, UINT_PTR id) override;
    bool IsKeyOrButtonDown() override;
    DWORD MillisecondsSinceInput() override;
    DWORD LastInputTime() override;
    bool IsFullScreenOrPresenting() override;
    EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags) override;
    HANDLE PowerCreateRequest(const std::wstring& reason) override;
    bool PowerSetRequest(HANDLE request, POWER_REQUEST_TYPE type) override;
    bool PowerClearRequest(HANDLE request, POWER_REQUEST_TYPE type) override;
    HANDLE CreateWaitableTimer() override;
    bool SetWakeTimer(HANDLE timer, __time64_t due, const std::wstring& reason, DWORD& error) override;
    void CancelWaitableTimer(HANDLE timer) override;
    bool IsModernStandby() override;
    bool IsOnAcPower() override;
    HPOWERNOTIFY RegisterPowerSettingNotification(HWND window, const GUID& setting, DWORD flags) override;
    void UnregisterPowerSettingNotification(HPOWERNOTIFY handle) override;
    bool RegisterSessionNotification(HWND window, DWORD flags) override;
    void UnRegisterSessionNotification(HWND window) override;
    bool IsSessionLocked() override;
    HRESULT CreateVoice(ISpVoice** voice) override;
    void Speak(ISpVoice* voice, const std::wstring& text, DWORD flags) override;
    void ReleaseVoice(ISpVoice* voice) override;
    __time64_t Now() override;
    bool LocalTime(__time64_t time, std::tm& local) override;
    void ReadTimeZone() override;
    HRESULT SetAccessibleName(HWND control, const std::wstring& name) override;
};

} // namespace veskaro
