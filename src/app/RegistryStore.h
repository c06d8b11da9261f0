// The settings store in the registry: HKEY_CURRENT_USER\<key path>, the application
// section being that key and every other section a subkey of it.
#pragma once

#include "app/SettingsStore.h"

#include <windows.h>

namespace veskaro {

class CRegistryStore final : public ISettingsStore
{
public:
    // keyPath is relative to the root, e.g. "Software\\Ortavel\\Veskaro".
    explicit CRegistryStore(std::wstring keyPath, HKEY root = HKEY_CURRENT_USER);

    int GetProfileInt(const std::wstring& section, const std::wstring& name, int defaultValue) override;
    bool WriteProfileInt(const std::wstring& section, const std::wstring& name, int value) override;
    std::wstring GetProfileString(const std::wstring& section, const std::wstring& name,
                                  const std::wstring& defaultValue) override;
    bool WriteProfileString(const std::wstring& section, const std::wstring& name,
                            const std::wstring& value) override;

    const std::wstring& KeyPath() const noexcept { return m_keyPath; }

private:
    std::wstring SectionPath(const std::wstring& section) const;
    bool Write(const std::wstring& section, const std::wstring& name, DWORD type, const void* data, DWORD size);

    std::wstring m_keyPath;
    HKEY m_root;
};

// "Software\<company>\<application name>", as SetRegistryKey lays it out.
std::wstring ApplicationKeyPath(const std::wstring& company, const std::wstring& applicationName);

} // namespace veskaro
