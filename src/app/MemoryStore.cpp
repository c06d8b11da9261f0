#include "app/MemoryStore.h"

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

} // namespace veskaro
