#include "framework/OleDateTime.h"

#include "framework/Handles.h"

#include <oleauto.h>

#include <cmath>

namespace veskaro {

const wchar_t kInvalidDateTimeText[] = L"Invalid DateTime";

COleDateTime COleDateTime::FromTime64(__time64_t time)
{
    std::tm local{};
    if (_localtime64_s(&local, &time) != 0)
        return COleDateTime(0.0, invalid);
    return FromLocalTime(local);
}

COleDateTime COleDateTime::FromLocalTime(const std::tm& local)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(local.tm_year + 1900);
    st.wMonth = static_cast<WORD>(local.tm_mon + 1);
    st.wDay = static_cast<WORD>(local.tm_mday);
    st.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    st.wHour = static_cast<WORD>(local.tm_hour);
    st.wMinute = static_cast<WORD>(local.tm_min);
    st.wSecond = static_cast<WORD>(local.tm_sec);
    return FromSystemTime(st);
}

COleDateTime COleDateTime::FromSystemTime(const SYSTEMTIME& time)
{
    SYSTEMTIME plain = time;
    plain.wMilliseconds = 0;
    double value = 0.0;
    if (!::SystemTimeToVariantTime(&plain, &value))
        return COleDateTime(0.0, invalid);

    // The conversion must come back unchanged, or the fields were out of range.
    SYSTEMTIME back{};
    if (!::VariantTimeToSystemTime(value, &back) || back.wYear != plain.wYear || back.wMonth != plain.wMonth ||
        back.wDay != plain.wDay || back.wHour != plain.wHour || back.wMinute != plain.wMinute ||
        back.wSecond != plain.wSecond)
        return COleDateTime(0.0, invalid);
    return COleDateTime(value, valid);
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& time) const
{
    return m_status == valid && ::VariantTimeToSystemTime(m_dt, &time) != FALSE;
}

bool COleDateTime::GetAsUdate(UDATE& date) const
{
    return m_status == valid && SUCCEEDED(::VarUdateFromDate(m_dt, 0, &date));
}

bool COleDateTime::GetAsTm(std::tm& fields) const
{
    UDATE date{};
    if (!GetAsUdate(date))
        return false;
    fields = std::tm{};
    fields.tm_year = date.st.wYear - 1900;
    fields.tm_mon = date.st.wMonth - 1;
    fields.tm_mday = date.st.wDay;
    fields.tm_hour = date.st.wHour;
    fields.tm_min = date.st.wMinute;
    fields.tm_sec = date.st.wSecond;
    fields.tm_wday = date.st.wDayOfWeek;
    fields.tm_yday = date.wDayOfYear - 1;
    return true;
}

std::wstring COleDateTime::Format(DWORD flags) const
{
    if (m_status == null)
        return std::wstring();
    if (m_status != valid)
        return kInvalidDateTimeText;

    // The time alone is formatted from the time of day alone: Wine gives "" for a midnight
    // that has a date, where Windows gives "12:00:00 AM" (a stored 12:00 AM would be lost).
    const bool dated = m_dt > -657435.0 && m_dt < 2958466.0; // years 100 to 9999; beyond them it fails
    const double value = (flags & VAR_TIMEVALUEONLY) != 0 && dated ? std::fabs(m_dt - std::trunc(m_dt)) : m_dt;
    UniqueBstr text;
    if (FAILED(::VarBstrFromDate(value, LOCALE_USER_DEFAULT, flags, text.Put())) || !text)
        return kInvalidDateTimeText;
    return std::wstring(text.Get(), ::SysStringLen(text.Get()));
}

bool COleDateTime::ParseDateTime(const std::wstring& text, DWORD flags)
{
    double value = 0.0;
    const HRESULT hr = ::VarDateFromStr(const_cast<OLECHAR*>(text.c_str()), LOCALE_USER_DEFAULT, flags, &value);
    if (FAILED(hr))
    {
        m_dt = hr == DISP_E_TYPEMISMATCH ? 0.0 : -1.0;
        m_status = invalid;
        return false;
    }
    m_dt = value;
    m_status = valid;
    return true;
}

int COleDateTime::GetDayOfWeek() const
{
    UDATE date{};
    if (!GetAsUdate(date))
        return -1;
    return date.st.wDayOfWeek + 1;
}

} // namespace veskaro
