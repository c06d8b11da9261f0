// Starting at the user's login: one value in the user's Run key, named after the
// application, that runs the program hidden.
#pragma once

#include <windows.h>

#include <string>

namespace veskaro {

class IOutsideWorld;

// HKEY_CURRENT_USER's Run key; tests pass a scratch key instead.
extern const wchar_t kRunKeyPath[];

// True when the Run value exists, reads as text and names an existing file or folder.
bool IsStartAtLoginEnabled(const std::wstring& applicationName, const std::wstring& runKeyPath = kRunKeyPath);

// Writes the Run value for the running executable, or deletes it. Failures are silent.
void SetStartAtLogin(const std::wstring& applicationName, bool enable, const std::wstring& runKeyPath = kRunKeyPath);

// True when the Run value of that name starts that executable at login, in the quoted form the
// program writes or the unquoted one of its first versions.
bool RunValueStarts(const std::wstring& applicationName, const std::wstring& exePath,
                    const std::wstring& runKeyPath = kRunKeyPath);

// Registers with the restart manager, which starts the program again after a crash, a hang or
// an update, with `arguments`.
void RegisterRestart(IOutsideWorld& outside, const std::wstring& arguments);

// At WM_QUERYENDSESSION (`flags` its lParam): for a logoff, shutdown or restart while the Run
// value starts this executable, withdraws the registration, so that a sign-in starts it once.
void WithdrawRestartAtSessionEnd(IOutsideWorld& outside, const std::wstring& applicationName, LPARAM flags);

} // namespace veskaro
