// An OLE Automation date (days since 30 December 1899, the fraction being the time
// of day) with a status, and its texts in the user's locale.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <ctime>
#include <string>

namespace veskaro {

class COleDateTime
{
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() noexcept = default;
    explicit COleDateTime(double value, DateTimeStatus status = valid) noexcept : m_dt(value), m_status(status) {}

    // The local time of a calendar time in whole seconds, converted to a date value and
    // back; any step that fails, or a round trip that changes a field, gives invalid.
    static COleDateTime FromTime64(__time64_t time);
    // The date and time of day of a broken-down local time (tm_year ... tm_sec), checked the same way.
    static COleDateTime FromLocalTime(const std::tm& local);
    static COleDateTime FromSystemTime(const SYSTEMTIME& time);

    bool GetAsSystemTime(SYSTEMTIME& time) const;
    bool GetAsUdate(UDATE& date) const;
    // The broken-down fields (tm_year ... tm_sec, tm_wday, tm_yday) of a valid value.
    bool GetAsTm(std::tm& fields) const;

    // VarBstrFromDate with LOCALE_USER_DEFAULT: flags 0 gives date and time,
    // VAR_TIMEVALUEONLY the time alone. Null gives "", invalid or a failure "Invalid DateTime".
    std::wstring Format(DWORD flags = 0) const;

    // VarDateFromStr with LOCALE_USER_DEFAULT. On failure the status becomes invalid and
    // the value 0 for a type mismatch, -1.0 for anything else.
    bool ParseDateTime(const std::wstring& text, DWORD flags = 0);

    // 1 for Sunday ... 7 for Saturday, -1 when not valid.
    int GetDayOfWeek() const;

    DateTimeStatus GetStatus() const noexcept { return m_status; }

    double m_dt = 0.0;
    DateTimeStatus m_status = valid;
};

extern const wchar_t kInvalidDateTimeText[];

// The date-time text (flags 0) and the time text (time of day alone).
inline std::wstring DateTimeText(const COleDateTime& value) { return value.Format(0); }
inline std::wstring TimeText(const COleDateTime& value) { return value.Format(VAR_TIMEVALUEONLY); }

} // namespace veskaro
