#include "framework/OutsideWorld.h"

#include "framework/Handles.h"

#include <commdlg.h>
#include <oleacc.h>
#include <powrprof.h>
#include <sapi.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <versionhelpers.h>
#include <wtsapi32.h>

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

namespace veskaro {

namespace {

// The speech classes, defined here rather than taken from an import library.
const GUID kClsidSpVoice = {0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
const GUID kIidISpVoice = {0x6C44DF74, 0x72B9, 0x4992, {0xA1, 0xEC, 0xEF, 0x99, 0x6E, 0x04, 0x22, 0xD4}};
// Active Accessibility's annotation service and the name property, likewise.
const GUID kClsidAccPropServices = {0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
const GUID kIidIAccPropServices = {0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
const GUID kPropIdAccName = {0x608D3DF8, 0x8128, 0x4AA7, {0xA4, 0x28, 0xF5, 0x5E, 0x49, 0x26, 0x72, 0x91}};

// wtsapi32 and powrprof are not among the system's known DLLs: load them from System32
// only, when first needed, never from the program's folder. Windows 7 without update
// KB2533623 knows no LOAD_LIBRARY_SEARCH_SYSTEM32 and fails the call; the full path in the
// system folder says the same there. Once loaded a DLL stays loaded, and later calls find
// it there rather than in a static.
HMODULE LoadSystemLibrary(const wchar_t* name)
{
    if (HMODULE module = ::GetModuleHandleW(name))
        return module;
    if (HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    // Altered search path: the DLL's own imports come from its folder too, not from ours.
    return ::LoadLibraryExW((std::wstring(folder, length) + L"\\" + name).c_str(), nullptr,
                            LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SessionApi(const char* name)
{
    HMODULE module = LoadSystemLibrary(L"wtsapi32.dll");
    return module ? ::GetProcAddress(module, name) : nullptr;
}

} // namespace

DWORD MillisecondsBetween(DWORD earlier, DWORD later)
{
    // Both wrap alike. SendInput may stamp its input a little ahead of the tick count: a
    // difference that reads as negative is input just now, not 49 days of quiet.
    const DWORD elapsed = later - earlier;
    return static_cast<LONG>(elapsed) < 0 ? 0 : elapsed;
}

int Win32OutsideWorld::MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int Win32OutsideWorld::MessageBoxCheck(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type,
                                       int defaultResult, const std::wstring& registryValue)
{
    return ::SHMessageBoxCheckW(owner, text.c_str(), caption.c_str(), type, defaultResult, registryValue.c_str());
}

bool Win32OutsideWorld::ChooseSaveFile(HWND owner, const std::wstring& filter, const std::wstring& defaultExtension,
                                       DWORD flags, std::wstring& path)
{
    // "name|pattern||" becomes the dialog's list of zero-terminated pairs.
    std::wstring pairs = filter;
    for (wchar_t& c : pairs)
        if (c == L'|')
            c = L'\0';
    pairs.push_back(L'\0');

    // Long paths are allowed; the dialog says when the buffer is too small.
    std::vector<wchar_t> buffer(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = pairs.c_str();
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrDefExt = defaultExtension.c_str();
    ofn.Flags = flags | OFN_EXPLORER;
    if (!::GetSaveFileNameW(&ofn))
        return false;
    path.assign(buffer.data());
    return !path.empty();
}

UINT Win32OutsideWorld::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner)
{
    return static_cast<UINT>(::TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr));
}

bool Win32OutsideWorld::NotifyIcon(DWORD message, NOTIFYICONDATAW& data)
{
    return ::Shell_NotifyIconW(message, &data) != FALSE;
}

bool Win32OutsideWorld::NotifyIconRect(HWND window, UINT id, RECT& rect)
{
    NOTIFYICONIDENTIFIER icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = id;
    return SUCCEEDED(::Shell_NotifyIconGetRect(&icon, &rect));
}

bool Win32OutsideWorld::LockWorkStation(DWORD& error)
{
    if (::LockWorkStation())
        return true;
    error = ::GetLastError();
    return false;
}

UINT Win32OutsideWorld::SendInput(UINT count, INPUT* inputs, int size)
{
    return ::SendInput(count, inputs, size);
}

void Win32OutsideWorld::ShellExecute(HWND owner, const wchar_t* verb, const std::wstring& file, int show)
{
    ::ShellExecuteW(owner, verb, file.c_str(), nullptr, nullptr, show);
}

bool Win32OutsideWorld::GetUserName(std::wstring& name)
{
    wchar_t buffer[257] = {};
    DWORD size = 257;
    if (!::GetUserNameW(buffer, &size))
        return false;
    name.assign(buffer);
    return true;
}

bool Win32OutsideWorld::IsWindows8OrGreater()
{
    return ::IsWindows8OrGreater();
}

UINT Win32OutsideWorld::TaskbarDpi()
{
    // Windows 10 tells the scale of any window, the shell's taskbar too; 0 where it cannot.
    HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    auto proc = user32 ? reinterpret_cast<GetDpiForWindow>(
                             reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")))
                       : nullptr;
    return taskbar && proc ? proc(taskbar) : 0;
}

void Win32OutsideWorld::RegisterApplicationRestart(const wchar_t* arguments, DWORD flags)
{
    ::RegisterApplicationRestart(arguments, flags);
}

bool Win32OutsideWorld::SetForegroundWindow(HWND window)
{
    return ::SetForegroundWindow(window) != FALSE;
}

void Win32OutsideWorld::AllowSetForegroundWindow(DWORD processId)
{
    ::AllowSetForegroundWindow(processId);
}

HHOOK Win32OutsideWorld::SetKeyboardHook(HOOKPROC proc)
{
    return ::SetWindowsHookExW(WH_KEYBOARD_LL, proc, ::GetModuleHandleW(nullptr), 0);
}

void Win32OutsideWorld::RemoveKeyboardHook(HHOOK hook)
{
    ::UnhookWindowsHookEx(hook);
}

void Win32OutsideWorld::UnregisterApplicationRestart()
{
    ::UnregisterApplicationRestart();
}

void Win32OutsideWorld::SetTimer(HWND window, UINT_PTR id, UINT elapse, ULONG tolerance)
{
    // Without a window Windows makes up an id of its own, and that timer could never be killed.
    if (!window)
        return;
    // Windows 8 and later; Windows 7 has only the plain timer.
    using Function = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
    HMODULE user32 = tolerance != 0 ? ::GetModuleHandleW(L"user32.dll") : nullptr;
    const auto setCoalescable = user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(
                                             ::GetProcAddress(user32, "SetCoalescableTimer")))
                                       : nullptr;
    if (!setCoalescable || !setCoalescable(window, id, elapse, nullptr, tolerance))
        ::SetTimer(window, id, elapse, nullptr);
}

bool Win32OutsideWorld::KillTimer(HWND window, UINT_PTR id)
{
    return ::KillTimer(window, id) != FALSE;
}

bool Win32OutsideWorld::IsKeyOrButtonDown()
{
    // The mouse buttons are virtual keys 1 to 6.
    for (int key = 1; key < 256; ++key)
        if (::GetAsyncKeyState(key) & 0x8000)
            return true;
    return false;
}

DWORD Win32OutsideWorld::MillisecondsSinceInput()
{
    LASTINPUTINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetLastInputInfo(&info))
        return MAXDWORD;
    return MillisecondsBetween(info.dwTime, ::GetTickCount());
}

DWORD Win32OutsideWorld::LastInputTime()
{
    LASTINPUTINFO info{};
    info.cbSize = sizeof(info);
    return ::GetLastInputInfo(&info) ? info.dwTime : 0;
}

bool Win32OutsideWorld::IsFullScreenOrPresenting()
{
    // A state Windows cannot tell (or a system that does not implement it) is not busy.
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(::SHQueryUserNotificationState(&state)))
        return false;
    return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE;
}

EXECUTION_STATE Win32OutsideWorld::SetThreadExecutionState(EXECUTION_STATE flags)
{
    return ::SetThreadExecutionState(flags);
}

namespace {

REASON_CONTEXT SimpleReason(const std::wstring& reason)
{
    REASON_CONTEXT context{};
    context.Version = POWER_REQUEST_CONTEXT_VERSION;
    context.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    // The system copies the text; it is never written through.
    context.Reason.SimpleReasonString = const_cast<wchar_t*>(reason.c_str());
    return context;
}

} // namespace

HANDLE Win32OutsideWorld::PowerCreateRequest(const std::wstring& reason)
{
    REASON_CONTEXT context = SimpleReason(reason);
    const HANDLE request = ::PowerCreateRequest(&context);
    return request == INVALID_HANDLE_VALUE ? nullptr : request;
}

bool Win32OutsideWorld::PowerSetRequest(HANDLE request, POWER_REQUEST_TYPE type)
{
    return ::PowerSetRequest(request, type) != FALSE;
}

bool Win32OutsideWorld::PowerClearRequest(HANDLE request, POWER_REQUEST_TYPE type)
{
    return ::PowerClearRequest(request, type) != FALSE;
}

HANDLE Win32OutsideWorld::CreateWaitableTimer()
{
    return ::CreateWaitableTimerW(nullptr, TRUE, nullptr);
}

bool Win32OutsideWorld::SetWakeTimer(HANDLE timer, __time64_t due, const std::wstring& reason, DWORD& error)
{
    // Positive: an absolute time, in 100 ns units since 1601 (UTC).
    constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
    LARGE_INTEGER dueTime{};
    dueTime.QuadPart = (static_cast<long long>(due) + kSecondsFrom1601To1970) * 10000000LL;
    REASON_CONTEXT context = SimpleReason(reason);
    ::SetLastError(ERROR_SUCCESS);
    const bool set = ::SetWaitableTimerEx(timer, &dueTime, 0, nullptr, nullptr, &context, 0) != FALSE;
    error = ::GetLastError();
    return set;
}

void Win32OutsideWorld::CancelWaitableTimer(HANDLE timer)
{
    ::CancelWaitableTimer(timer);
}

bool Win32OutsideWorld::IsModernStandby()
{
    using CallNtPowerInformationFunction = LONG(WINAPI*)(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG);
    HMODULE module = LoadSystemLibrary(L"powrprof.dll");
    const auto call = module ? reinterpret_cast<CallNtPowerInformationFunction>(
                                   reinterpret_cast<void*>(::GetProcAddress(module, "CallNtPowerInformation")))
                             : nullptr;
    SYSTEM_POWER_CAPABILITIES capabilities{};
    if (!call || call(SystemPowerCapabilities, nullptr, 0, &capabilities, sizeof(capabilities)) != 0)
        return false;
    // AoAc follows FastSystemS4, Hiberboot and WakeAlarmPresent; MinGW's header calls these
    // four bytes spare2[0..2] and keeps AoAc nameless, at byte 20 as documented.
    static_assert(offsetof(SYSTEM_POWER_CAPABILITIES, DiskSpinDown) == 21, "the documented layout");
    return reinterpret_cast<const BYTE*>(&capabilities)[20] != 0;
}

bool Win32OutsideWorld::IsOnAcPower()
{
    SYSTEM_POWER_STATUS status{};
    // 255 is "unknown": only a battery that says it runs the PC counts as battery.
    return !::GetSystemPowerStatus(&status) || status.ACLineStatus != 0;
}

HPOWERNOTIFY Win32OutsideWorld::RegisterPowerSettingNotification(HWND window, const GUID& setting, DWORD flags)
{
    return ::RegisterPowerSettingNotification(window, &setting, flags);
}

void Win32OutsideWorld::UnregisterPowerSettingNotification(HPOWERNOTIFY handle)
{
    ::UnregisterPowerSettingNotification(handle);
}

bool Win32OutsideWorld::RegisterSessionNotification(HWND window, DWORD flags)
{
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    auto proc = reinterpret_cast<Register>(reinterpret_cast<void*>(SessionApi("WTSRegisterSessionNotification")));
    return proc && proc(window, flags);
}

void Win32OutsideWorld::UnRegisterSessionNotification(HWND window)
{
    using Unregister = BOOL(WINAPI*)(HWND);
    auto proc = reinterpret_cast<Unregister>(reinterpret_cast<void*>(SessionApi("WTSUnRegisterSessionNotification")));
    if (proc)
        proc(window);
}

bool Win32OutsideWorld::IsSessionLocked()
{
    // WTSINFOEXW up to its lock flag; MinGW's headers lack it. Its union holds 64-bit members.
    struct SessionInfoEx
    {
        DWORD level;
        union
        {
            struct
            {
                ULONG sessionId;
                LONG sessionState;
                LONG sessionFlags;
            } level1;
            LARGE_INTEGER alignment;
        } data;
    };
    constexpr int kSessionInfoEx = 25; // WTSSessionInfoEx, Windows 7 and later
    constexpr LONG kSessionStateLock = 0, kSessionStateUnlock = 1;
    using Query = BOOL(WINAPI*)(HANDLE, DWORD, int, LPWSTR*, DWORD*);
    using Free = void(WINAPI*)(void*);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(SessionApi("WTSQuerySessionInformationW")));
    auto free = reinterpret_cast<Free>(reinterpret_cast<void*>(SessionApi("WTSFreeMemory")));
    LPWSTR buffer = nullptr;
    DWORD bytes = 0;
    if (!query || !free || !query(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, kSessionInfoEx, &buffer, &bytes))
        return false;
    LONG flags = -1; // WTS_SESSIONSTATE_UNKNOWN
    if (buffer && bytes >= sizeof(SessionInfoEx))
    {
        const auto* info = reinterpret_cast<const SessionInfoEx*>(buffer);
        if (info->level == 1)
            flags = info->data.level1.sessionFlags;
    }
    free(buffer);
    // Windows 7 reports the two the other way round, as Microsoft documents.
    return flags == (IsWindows8OrGreater() ? kSessionStateLock : kSessionStateUnlock);
}

HRESULT Win32OutsideWorld::CreateVoice(ISpVoice** voice)
{
    return ::CoCreateInstance(kClsidSpVoice, nullptr, CLSCTX_ALL, kIidISpVoice, reinterpret_cast<void**>(voice));
}

void Win32OutsideWorld::Speak(ISpVoice* voice, const std::wstring& text, DWORD flags)
{
    voice->Speak(text.c_str(), flags, nullptr);
}

void Win32OutsideWorld::ReleaseVoice(ISpVoice* voice)
{
    voice->Release();
}

__time64_t Win32OutsideWorld::Now()
{
    return _time64(nullptr);
}

bool Win32OutsideWorld::LocalTime(__time64_t time, std::tm& local)
{
    return _localtime64_s(&local, &time) == 0;
}

void Win32OutsideWorld::ReadTimeZone()
{
    _tzset();
}

HRESULT Win32OutsideWorld::SetAccessibleName(HWND control, const std::wstring& name)
{
    // As Microsoft documents it: the service is released once the name is set; the name stays.
    ComPtr<IAccPropServices> services;
    const HRESULT created = ::CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                               kIidIAccPropServices, reinterpret_cast<void**>(services.Put()));
    if (FAILED(created))
        return created;
    return services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kPropIdAccName,
                                    name.c_str());
}

} // namespace veskaro
