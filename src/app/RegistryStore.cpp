#include "app/RegistryStore.h"

#include "framework/Handles.h"

#include <vector>

namespace veskaro {

namespace {
// Registry values are capped here far above anything the program writes, so that
// a hostile value cannot make a read allocate without bound.
constexpr DWORD kMaxTextBytes = 16u * 1024u * 1024u;
} // namespace

bool ReadRegistryText(HKEY key, const std::wstring& name, DWORD maxBytes, bool expandable, std::wstring& text)
{
    const auto isText = [expandable](DWORD type) { return type == REG_SZ || (expandable && type == REG_EXPAND_SZ); };
    // The value may grow between the size query and the read; ask again then.
    for (int attempt = 0; attempt < 4; ++attempt)
    {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            !isText(type) || size > maxBytes)
            return false;
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = size;
        const LONG status =
            ::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS || !isText(type) || read % sizeof(wchar_t) != 0)
            return false;
        const size_t length = read / sizeof(wchar_t);
        if (length > 0 && buffer[length - 1] != L'\0')
            return false;
        text.assign(buffer.data()); // up to the first zero
        return true;
    }
    return false;
}

std::wstring ApplicationKeyPath(const std::wstring& company, const std::wstring& applicationName)
{
    return L"Software\\" + company + L"\\" + applicationName;
}

CRegistryStore::CRegistryStore(std::wstring keyPath, HKEY root) : m_keyPath(std::move(keyPath)), m_root(root) {}

std::wstring CRegistryStore::SectionPath(const std::wstring& section) const
{
    return section.empty() ? m_keyPath : m_keyPath + L"\\" + section;
}

int CRegistryStore::GetProfileInt(const std::wstring& section, const std::wstring& name, int defaultValue)
{
    UniqueKey key;
    if (::RegOpenKeyExW(m_root, SectionPath(section).c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS)
        return defaultValue;
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(data))
        return defaultValue;
    return static_cast<int>(data);
}

std::wstring CRegistryStore::GetProfileString(const std::wstring& section, const std::wstring& name,
                                              const std::wstring& defaultValue)
{
    UniqueKey key;
    std::wstring text;
    if (::RegOpenKeyExW(m_root, SectionPath(section).c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS ||
        !ReadRegistryText(key.Get(), name, kMaxTextBytes, false, text))
        return defaultValue;
    return text;
}

bool CRegistryStore::Write(const std::wstring& section, const std::wstring& name, DWORD type, const void* data,
                           DWORD size)
{
    UniqueKey key;
    if (::RegCreateKeyExW(m_root, SectionPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                          nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool CRegistryStore::WriteProfileInt(const std::wstring& section, const std::wstring& name, int value)
{
    const DWORD data = static_cast<DWORD>(value);
    return Write(section, name, REG_DWORD, &data, sizeof(data));
}

bool CRegistryStore::WriteProfileString(const std::wstring& section, const std::wstring& name,
                                        const std::wstring& value)
{
    // The size counts the terminator.
    const size_t bytes = (value.size() + 1) * sizeof(wchar_t);
    if (bytes > kMaxTextBytes)
        return false;
    return Write(section, name, REG_SZ, value.c_str(), static_cast<DWORD>(bytes));
}

bool CRegistryStore::HasSection(const std::wstring& section)
{
    UniqueKey key;
    return !section.empty() &&
           ::RegOpenKeyExW(m_root, SectionPath(section).c_str(), 0, KEY_QUERY_VALUE, key.Put()) == ERROR_SUCCESS;
}

void CRegistryStore::DeleteSection(const std::wstring& section)
{
    // Never the application's key itself.
    if (!section.empty())
        ::RegDeleteTreeW(m_root, SectionPath(section).c_str());
}

} // namespace veskaro
