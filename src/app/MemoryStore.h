// A settings store held in memory, with the registry store's behaviour; for tests and
// for running the logic where no registry exists.
#pragma once

#include "app/SettingsStore.h"

#include <map>
#include <utility>

namespace veskaro {

class CMemoryStore final : public ISettingsStore
{
public:
    int GetProfileInt(const std::wstring& section, const std::wstring& name, int defaultValue) override;
    bool WriteProfileInt(const std::wstring& section, const std::wstring& name, int value) override;
    std::wstring GetProfileString(const std::wstring& section, const std::wstring& name,
                                  const std::wstring& defaultValue) override;
    bool WriteProfileString(const std::wstring& section, const std::wstring& name,
                            const std::wstring& value) override;
    bool HasSection(const std::wstring& section) override;
    void DeleteSection(const std::wstring& section) override;

    // A value of a type the program never writes (binary data in the registry).
    void PutForeignValue(const std::wstring& section, const std::wstring& name);

private:
    enum class Kind { Integer, Text, Foreign };
    struct Value
    {
        Kind kind = Kind::Foreign;
        int integer = 0;
        std::wstring text;
    };
    std::map<std::pair<std::wstring, std::wstring>, Value> m_values;
};

} // namespace veskaro
