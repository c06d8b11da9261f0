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
    // Whether a section other than the application's is there, and its removal with all it holds.
    virtual bool HasSection(const std::wstring& section) = 0;
    virtual void DeleteSection(const std::wstring& section) = 0;
};

inline const wchar_t kApplicationSection[] = L"";

// The options of the application section, each stored name with its default, written
// only here. The names are the Settings dialog's member names, but for two.
struct IntOption
{
    const wchar_t* name;
    int defaultValue;
    int Read(ISettingsStore& store) const { return store.GetProfileInt(kApplicationSection, name, defaultValue); }
    bool Write(ISettingsStore& store, int value) const
    {
        return store.WriteProfileInt(kApplicationSection, name, value);
    }
};
struct TextOption
{
    const wchar_t* name;
    const wchar_t* defaultValue;
    std::wstring Read(ISettingsStore& store) const
    {
        return store.GetProfileString(kApplicationSection, name, defaultValue);
    }
    bool Write(ISettingsStore& store, const std::wstring& value) const
    {
        return store.WriteProfileString(kApplicationSection, name, value);
    }
};

inline constexpr IntOption kAllowMultipleInstances{L"AllowMultipleInstances", 0};
inline constexpr IntOption kAutoTurnOffWhenLocked{L"m_bAutoTurnOffWhenLocked", 0};
inline constexpr IntOption kLockTurnOffDelay{L"m_iLockTurnOffDelay", 1000}; // milliseconds
inline constexpr TextOption kLogFilePath{L"LogFilePath", L""};
inline constexpr IntOption kKeepALog{L"m_bKeepALog", 0};
inline constexpr IntOption kSpeakMonitorOn{L"m_bSpeakMonitorON", 0};
inline constexpr IntOption kSpeakMonitorOff{L"m_bSpeakMonitorOFF", 0};
inline constexpr TextOption kMonitorOnText{L"m_sMonitorOnText", L"Monitor On"};
inline constexpr TextOption kMonitorOffText{L"m_sMonitorOffText", L"Monitor Off"};
inline constexpr IntOption kKeepMonitorsOff{L"m_bKeepMonitorsOff", 1};
inline constexpr IntOption kWakeForTurnOn{L"m_bWakeForTurnOn", 0};
inline constexpr IntOption kKeepMonitorsOnWhenScheduled{L"m_bKeepMonitorsOnWhenScheduled", 0};
inline constexpr IntOption kTurnOffWhenIdle{L"m_bTurnOffWhenIdle", 0};
inline constexpr IntOption kIdleMinutes{L"m_iIdleMinutes", 5};
inline constexpr int kMinIdleMinutes = 1;
inline constexpr int kMaxIdleMinutes = 240;
inline constexpr IntOption kTurnOffAgainWhenIdle{L"m_bTurnOffAgainWhenIdle", 0};
inline constexpr IntOption kFadeBeforeIdleTurnOff{L"m_bFadeBeforeIdleTurnOff", 1};
inline constexpr IntOption kNoticeBeforeTurnOff{L"m_bNoticeBeforeTurnOff", 0};
inline constexpr IntOption kNoticeMinutes{L"m_iNoticeMinutes", 1};
inline constexpr int kMinNoticeMinutes = 1;
inline constexpr int kMaxNoticeMinutes = 15;

// A stored idle time outside its range reads as the default.
inline int ReadIdleMinutes(ISettingsStore& store)
{
    const int minutes = kIdleMinutes.Read(store);
    return minutes >= kMinIdleMinutes && minutes <= kMaxIdleMinutes ? minutes : kIdleMinutes.defaultValue;
}

inline int ReadNoticeMinutes(ISettingsStore& store)
{
    const int minutes = kNoticeMinutes.Read(store);
    return minutes >= kMinNoticeMinutes && minutes <= kMaxNoticeMinutes ? minutes : kNoticeMinutes.defaultValue;
}

// A flag edited by hand may hold any number; the readers take non-zero as set, and a
// check box can show only 0 or 1, so what it shows and what is acted on stay the same.
inline int AsFlag(int stored)
{
    return stored != 0 ? 1 : 0;
}

} // namespace veskaro
