#include "app/MemoryStore.h"

#include <iterator>

namespace veskaro {

int CMemoryStore::GetProfileInt(const std::wstring& section, const std::wstring& name, int defaultValue)
{
    auto found = m_values.find({section, name});
    if (found == m_values.end() || found->second.kind != Kind::Integer)
        return defaultValue;
    return found->second.integer;
}

bool CMemoryStore::WriteProfileInt(const std::wstring& section, const std::wstring& name, int value)
{
    Value& slot = m_values[{section, name}];
    slot.kind = Kind::Integer;
    slot.integer = value;
    slot.text.clear();
    return true;
}

std::wstring CMemoryStore::GetProfileString(const std::wstring& section, const std::wstring& name,
                                            const std::wstring& defaultValue)
{
    auto found = m_values.find({section, name});
    if (found == m_values.end() || found->second.kind != Kind::Text)
        return defaultValue;
    return found->second.text;
}

bool CMemoryStore::WriteProfileString(const std::wstring& section, const std::wstring& name,
                                      const std::wstring& value)
{
    Value& slot = m_values[{section, name}];
    slot.kind = Kind::Text;
    slot.text = value;
    return true;
}

void CMemoryStore::PutForeignValue(const std::wstring& section, const std::wstring& name)
{
    m_values[{section, name}] = Value{};
}

namespace {

bool InSection(const std::wstring& name, const std::wstring& section)
{
    return name == section || name.compare(0, section.size() + 1, section + L"\\") == 0;
}

} // namespace

bool CMemoryStore::HasSection(const std::wstring& section)
{
    for (const auto& [key, value] : m_values)
        if (!section.empty() && InSection(key.first, section))
            return true;
    return false;
}

void CMemoryStore::DeleteSection(const std::wstring& section)
{
    for (auto it = m_values.begin(); it != m_values.end();)
        it = !section.empty() && InSection(it->first.first, section) ? m_values.erase(it) : std::next(it);
}

} // namespace veskaro
