// Custom actions of the installer package for the start-at-login Run value. The package's
// own registry table cannot do this: it would remove the value at uninstall whoever wrote it
// last, and could not remove one that the program's Settings dialog wrote.
#include "app/CommandLine.h"
#include "app/RegistryStore.h"
#include "framework/Handles.h"
#include "settings/RunValueText.h"
#include "settings/StartAtLogin.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <string>

namespace {

using veskaro::UniqueKey;

std::wstring Property(MSIHANDLE install, const wchar_t* name)
{
    wchar_t none[1] = L"";
    DWORD length = 0;
    if (::MsiGetPropertyW(install, name, none, &length) != ERROR_MORE_DATA)
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    ++length;
    if (::MsiGetPropertyW(install, name, &text[0], &length) != ERROR_SUCCESS)
        return std::wstring();
    text.resize(length);
    return text;
}

// The deferred actions' data: the installed executable's full path.
std::wstring ActionData(MSIHANDLE install)
{
    return Property(install, L"CustomActionData");
}

// Whether the value named after the program starts this executable.
bool StartsExecutable(const std::wstring& exePath)
{
    return veskaro::RunValueStarts(veskaro::ApplicationNameFromPath(exePath), exePath);
}

// The value as it is, for RestoreRunValue: its name, a line break, then its type (REG_SZ or
// REG_EXPAND_SZ) as a digit and its text; nothing after the break when it is not text.
std::wstring RunValueState(const std::wstring& name)
{
    std::wstring state = name + L'\n';
    UniqueKey key;
    DWORD type = REG_NONE;
    std::wstring text;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, veskaro::kRunKeyPath, 0, KEY_QUERY_VALUE, key.Put()) == ERROR_SUCCESS &&
        ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) &&
        veskaro::ReadRegistryText(key.Get(), name, 32768u * sizeof(wchar_t), true, text)) // a command line's most
        state += static_cast<wchar_t>(L'0' + type) + text;
    return state;
}

} // namespace

// Immediate, before an upgrade removes the old version: notes whether the value starts the
// installed copy, so that the install writes it again (Wine's installer removes the old
// version without telling it that this is an upgrade, and the removal takes the value);
// and the value as it is, for a failed install to put back.
extern "C" __declspec(dllexport) UINT __stdcall FindOwnRunValue(MSIHANDLE install) noexcept
{
    const std::wstring exePath = Property(install, L"INSTALLDIR") + L"Veskaro.exe";
    if (StartsExecutable(exePath))
        ::MsiSetPropertyW(install, L"OwnRunValue", L"1");
    ::MsiSetPropertyW(install, L"RestoreRunValue",
                      RunValueState(veskaro::ApplicationNameFromPath(exePath)).c_str());
    return ERROR_SUCCESS;
}

// STARTATLOGIN=1: the value the Settings dialog writes with its box set.
extern "C" __declspec(dllexport) UINT __stdcall WriteRunValue(MSIHANDLE install) noexcept
{
    const std::wstring exePath = ActionData(install);
    if (exePath.empty())
        return ERROR_INSTALL_FAILURE;
    // Created when missing, unlike the program does: the administrator asked for the entry.
    UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, veskaro::kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          key.Put(), nullptr) != ERROR_SUCCESS)
        return ERROR_INSTALL_FAILURE;
    const std::wstring text = veskaro::RunValueText(exePath);
    const std::wstring name = veskaro::ApplicationNameFromPath(exePath);
    return ::RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS
               ? ERROR_SUCCESS
               : ERROR_INSTALL_FAILURE;
}

// Uninstall: the value goes only while it starts the installed copy; one that a portable
// copy or another program wrote under the same name stays. Never fails the uninstall.
extern "C" __declspec(dllexport) UINT __stdcall RemoveRunValue(MSIHANDLE install) noexcept
{
    const std::wstring exePath = ActionData(install);
    if (StartsExecutable(exePath))
        veskaro::SetStartAtLogin(veskaro::ApplicationNameFromPath(exePath), false);
    return ERROR_SUCCESS;
}

// Rollback of WriteRunValue, when the install fails after it: the value as FindOwnRunValue
// found it, or none. Never fails the rollback.
extern "C" __declspec(dllexport) UINT __stdcall RestoreRunValue(MSIHANDLE install) noexcept
{
    const std::wstring state = ActionData(install);
    const size_t end = state.find(L'\n');
    UniqueKey key;
    if (end == 0 || end == std::wstring::npos ||
        ::RegOpenKeyExW(HKEY_CURRENT_USER, veskaro::kRunKeyPath, 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    const std::wstring name = state.substr(0, end);
    const DWORD type = end + 1 < state.size() ? static_cast<DWORD>(state[end + 1] - L'0') : REG_NONE;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
    {
        ::RegDeleteValueW(key.Get(), name.c_str());
        return ERROR_SUCCESS;
    }
    const std::wstring text = state.substr(end + 2);
    ::RegSetValueExW(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    return ERROR_SUCCESS;
}
