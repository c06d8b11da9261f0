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
    bool HasSection(const std::wstring& section) override;
    void DeleteSection(const std::wstring& section) override;

    const std::wstring& KeyPath() const noexcept { return m_keyPath; }

private:
    std::wstring SectionPath(const std::wstring& section) const;
    bool Write(const std::wstring& section, const std::wstring& name, DWORD type, const void* data, DWORD size);

    std::wstring m_keyPath;
    HKEY m_root;
};

// A text value of an open key: true with the text up to its first zero when the value is
// REG_SZ (or REG_EXPAND_SZ where allowed, taken as stored, not expanded), at most maxBytes
// long, and a whole, zero-terminated run of UTF-16 units; an empty value reads as empty.
bool ReadRegistryText(HKEY key, const std::wstring& name, DWORD maxBytes, bool expandable, std::wstring& text);

// "Software\<company>\<application name>", as SetRegistryKey lays it out.
std::wstring ApplicationKeyPath(const std::wstring& company, const std::wstring& applicationName);

} // namespace veskaro
