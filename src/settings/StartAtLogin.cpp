#include "settings/StartAtLogin.h"

#include "app/ModulePath.h"
#include "app/RegistryStore.h"
#include "framework/Handles.h"
#include "framework/OutsideWorld.h"
#include "settings/RunValueText.h"

#include <windows.h>

#include <vector>

namespace veskaro {

const wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

// The longest command line the system can start (32767 characters and the terminator);
// a longer value could never run, and must not make us allocate or search without bound.
constexpr DWORD kMaxRunValueBytes = 32768u * sizeof(wchar_t);

struct FindTraits
{
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE find) noexcept { ::FindClose(find); }
};
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;

UniqueKey OpenRunKey(const std::wstring& runKeyPath)
{
    // Never created: without a Run key the system would not look there anyway.
    UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, runKeyPath.c_str(), 0, KEY_READ | KEY_WRITE, key.Put()) != ERROR_SUCCESS)
        key.Reset();
    return key;
}

std::wstring FullPath(const std::wstring& name)
{
    const DWORD needed = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::wstring();
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    const DWORD length = ::GetFullPathNameW(name.c_str(), needed + 1, buffer.data(), nullptr);
    if (length == 0 || length > needed)
        return std::wstring();
    return std::wstring(buffer.data(), length);
}

// The \\?\ form of a long path, which the file functions accept beyond MAX_PATH;
// empty when the name is short, already in that form, or not absolute.
std::wstring ExtendedLengthPath(const std::wstring& name)
{
    if (name.size() < MAX_PATH || name.compare(0, 4, L"\\\\?\\") == 0)
        return std::wstring();
    const std::wstring full = FullPath(name);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + full;
    if (full.size() >= 3 && full[0] == L'\\' && full[1] == L'\\' && full[2] != L'?' && full[2] != L'.')
        return L"\\\\?\\UNC\\" + full.substr(2);
    return std::wstring();
}

// Succeeds when at least one entry matches the name, as the framework's file finder does.
bool EntryExists(const std::wstring& name)
{
    if (name.empty())
        return false;
    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileW(name.c_str(), &data));
    if (find)
        return true;
    const std::wstring extended = ExtendedLengthPath(name);
    if (extended.empty())
        return false;
    find.Reset(::FindFirstFileW(extended.c_str(), &data));
    return static_cast<bool>(find);
}

} // namespace

bool IsStartAtLoginEnabled(const std::wstring& applicationName, const std::wstring& runKeyPath)
{
    const UniqueKey key = OpenRunKey(runKeyPath);
    if (!key)
        return false;
    std::wstring stored;
    // REG_EXPAND_SZ is taken as stored: the system would expand it, we do not.
    if (!ReadRegistryText(key.Get(), applicationName, kMaxRunValueBytes, true, stored))
        return false;
    // Any existing entry counts, not only this executable: the value is ours by its name.
    return EntryExists(RunValueTarget(stored));
}

void SetStartAtLogin(const std::wstring& applicationName, bool enable, const std::wstring& runKeyPath)
{
    const UniqueKey key = OpenRunKey(runKeyPath);
    if (!key)
        return;
    if (!enable)
    {
        // A value that is already gone is what we want; nothing to report.
        ::RegDeleteValueW(key.Get(), applicationName.c_str());
        return;
    }
    const std::wstring modulePath = GetModulePath();
    if (modulePath.empty())
        return; // a command line without a program would start nothing
    const std::wstring text = RunValueText(modulePath);
    ::RegSetValueExW(key.Get(), applicationName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool RunValueStarts(const std::wstring& applicationName, const std::wstring& exePath, const std::wstring& runKeyPath)
{
    const UniqueKey key = OpenRunKey(runKeyPath);
    std::wstring stored;
    if (exePath.empty() || !key || !ReadRegistryText(key.Get(), applicationName, kMaxRunValueBytes, true, stored))
        return false;
    // Windows paths ignore case; the program writes the path the system reported to it.
    const std::wstring target = RunValueTarget(stored);
    return ::CompareStringOrdinal(target.c_str(), -1, exePath.c_str(), -1, TRUE) == CSTR_EQUAL;
}

void RegisterRestart(IOutsideWorld& outside, const std::wstring& arguments)
{
    // The restart manager takes at most 1024 characters, terminator included.
    outside.RegisterApplicationRestart(arguments.size() < 1024 ? arguments.c_str() : nullptr, 0);
}

void WithdrawRestartAtSessionEnd(IOutsideWorld& outside, const std::wstring& applicationName, LPARAM flags)
{
    // Windows 10 (1709 and later) records the programs registered for restart when the session
    // ends and starts them again at the next sign-in, where the Run value starts this one too;
    // WM_QUERYENDSESSION is the last moment to change the registration. The restart manager's
    // close for an installer or update must keep it: that restart is the only one then.
    // This very executable exists, so the file system need not be asked.
    const bool restartManagerClose = (flags & ENDSESSION_CLOSEAPP) != 0 && (flags & ENDSESSION_LOGOFF) == 0;
    if (!restartManagerClose && RunValueStarts(applicationName, GetModulePath()))
        outside.UnregisterApplicationRestart();
}

} // namespace veskaro
