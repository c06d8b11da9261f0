// Custom actions of the installer package for the start-at-login Run value. The package's
// own registry table cannot do this: it would remove the value at uninstall whoever wrote it
// last, and could not remove one that the program's Settings dialog wrote.
#include "app/CommandLine.h"
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

} // namespace

// Immediate, before an upgrade removes the old version: notes whether the value starts the
// installed copy, so that the install writes it again (Wine's installer removes the old
// version without telling it that this is an upgrade, and the removal takes the value).
extern "C" __declspec(dllexport) UINT __stdcall FindOwnRunValue(MSIHANDLE install) noexcept
{
    if (StartsExecutable(Property(install, L"INSTALLDIR") + L"Veskaro.exe"))
        ::MsiSetPropertyW(install, L"OwnRunValue", L"1");
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
