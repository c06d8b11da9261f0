// The per-user settings: named sections of named integer and text values.
// The section "" is the application section; "Settings N" holds one instance's schedule.
#pragma once

#include <string>

#if defined(_WIN32)
// windows.h maps these names onto the old INI-file functions; the store's own methods
// carry them, so the macros go (windows.h is guarded and will not bring them back).
#include <windows.h>
#undef GetProfileInt
#undef WriteProfileInt
#undef GetProfileString
#undef WriteProfileString
#endif

namespace veskaro {

class ISettingsStore
{
public:
    virtual ~ISettingsStore() = default;

    // The stored integer (read as signed 32-bit), or the default when the value is
    // absent or of another type.
    virtual int GetProfileInt(const std::wstring& section, const std::wstring& name, int defaultValue) = 0;
    virtual bool WriteProfileInt(const std::wstring& section, const std::wstring& name, int value) = 0;
    // The stored text (an empty text stays empty), or the default when absent or of another type.
    virtual std::wstring GetProfileString(const std::wstring& section, const std::wstring& name,
                                          const std::wstring& defaultValue) = 0;
    virtual bool WriteProfileString(const std::wstring& section, const std::wstring& name,
                                    const std::wstring& value) = 0;
};

// Value names of the application section that are not member names.
inline const wchar_t kApplicationSection[] = L"";
inline const wchar_t kAllowMultipleInstances[] = L"AllowMultipleInstances";
inline const wchar_t kLogFilePath[] = L"LogFilePath";

} // namespace veskaro
