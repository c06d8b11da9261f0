// Starting at the user's login: one value in the user's Run key, named after the
// application, that runs the program hidden.
#pragma once

#include <string>

namespace veskaro {

// HKEY_CURRENT_USER's Run key; tests pass a scratch key instead.
extern const wchar_t kRunKeyPath[];

// True when the Run value exists, reads as text and names an existing file or folder.
bool IsStartAtLoginEnabled(const std::wstring& applicationName, const std::wstring& runKeyPath = kRunKeyPath);

// Writes the Run value for the running executable, or deletes it. Failures are silent.
void SetStartAtLogin(const std::wstring& applicationName, bool enable, const std::wstring& runKeyPath = kRunKeyPath);

} // namespace veskaro
