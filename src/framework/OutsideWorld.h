// The calls that act outside the process or wait for a person, and the clock.
// The program uses Win32OutsideWorld; tests substitute a recording fake.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <ctime>
#include <string>

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
    // A modal pop-up menu; the chosen command arrives as WM_COMMAND at the owner.
    virtual void TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) = 0;

    // The system
    virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) = 0;
    // LockWorkStation; on failure error holds GetLastError().
    virtual bool LockWorkStation(DWORD& error) = 0;
    virtual UINT SendInput(UINT count, INPUT* inputs, int size) = 0;
    virtual void ShellExecute(HWND owner, const wchar_t* verb, const std::wstring& file, int show) = 0;
    virtual bool GetUserName(std::wstring& name) = 0;

    // Subscriptions
    virtual HPOWERNOTIFY RegisterPowerSettingNotification(HWND window, const GUID& setting, DWORD flags) = 0;
    virtual void UnregisterPowerSettingNotification(HPOWERNOTIFY handle) = 0;
    virtual bool RegisterSessionNotification(HWND window, DWORD flags) = 0;
    virtual void UnRegisterSessionNotification(HWND window) = 0;

    // Speech: the voice object, created through COM.
    virtual HRESULT CreateVoice(ISpVoice** voice) = 0;
    virtual void Speak(ISpVoice* voice, const std::wstring& text, DWORD flags) = 0; // SPF_* flags
    virtual void ReleaseVoice(ISpVoice* voice) = 0;

    // The clock: calendar time in whole seconds (_time64).
    virtual __time64_t Now() = 0;
    // The local time of a calendar time (_localtime64_s); false when it cannot be broken down.
    virtual bool LocalTime(__time64_t time, std::tm& local) = 0;
};

class Win32OutsideWorld final : public IOutsideWorld
{
public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
    int MessageBoxCheck(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                        int defaultResult, const std::wstring& registryValue) override;
    bool ChooseSaveFile(HWND owner, const std::wstring& filter, const std::wstring& defaultExtension, DWORD flags,
                        std::wstring& path) override;
    void TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) override;
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override;
    bool LockWorkStation(DWORD& error) override;
    UINT SendInput(UINT count, INPUT* inputs, int size) override;
    void ShellExecute(HWND owner, const wchar_t* verb, const std::wstring& file, int show) override;
    bool GetUserName(std::wstring& name) override;
    HPOWERNOTIFY RegisterPowerSettingNotification(HWND window, const GUID& setting, DWORD flags) override;
    void UnregisterPowerSettingNotification(HPOWERNOTIFY handle) override;
    bool RegisterSessionNotification(HWND window, DWORD flags) override;
    void UnRegisterSessionNotification(HWND window) override;
    HRESULT CreateVoice(ISpVoice** voice) override;
    void Speak(ISpVoice* voice, const std::wstring& text, DWORD flags) override;
    void ReleaseVoice(ISpVoice* voice) override;
    __time64_t Now() override;
    bool LocalTime(__time64_t time, std::tm& local) override;
};

} // namespace veskaro
