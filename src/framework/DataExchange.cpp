#include "framework/DataExchange.h"

#include "framework/IntegerText.h"
#include "framework/OutsideWorld.h"

#include <commctrl.h>

#include <vector>

namespace veskaro {

const wchar_t kEnterIntegerMessage[] = L"Please enter an integer.";

void CDataExchange::Fail(int controlId, const std::wstring& message)
{
    m_bFailed = true;
    // MB_ICONEXCLAMATION is what the framework adds to a plain OK message.
    m_outside.MessageBox(m_hDlg, message, m_caption, MB_OK | MB_ICONEXCLAMATION);
    if (HWND control = ::GetDlgItem(m_hDlg, controlId))
    {
        ::SetFocus(control);
        ::SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

std::wstring GetWindowTextString(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    if (length <= 0)
        return std::wstring();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, buffer.data(), length + 1);
    return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void DDX_Check(CDataExchange& dx, int controlId, int& value)
{
    if (dx.Failed())
        return;
    HWND control = ::GetDlgItem(dx.m_hDlg, controlId);
    if (dx.m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageW(control, BM_SETCHECK, value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED, 0);
}

void DDX_Text(CDataExchange& dx, int controlId, int& value)
{
    if (dx.Failed())
        return;
    HWND control = ::GetDlgItem(dx.m_hDlg, controlId);
    if (dx.m_bSaveAndValidate)
    {
        int parsed = 0;
        if (!ParseInt32(GetWindowTextString(control), parsed))
            return dx.Fail(controlId, kEnterIntegerMessage);
        value = parsed;
    }
    else
    {
        ::SetWindowTextW(control, DecimalText(value).c_str());
    }
}

void DDV_MinMaxInt(CDataExchange& dx, int controlId, int value, int min, int max)
{
    if (dx.Failed() || !dx.m_bSaveAndValidate || (value >= min && value <= max))
        return;
    dx.Fail(controlId, L"Please enter an integer between " + DecimalText(min) + L" and " + DecimalText(max) + L".");
}

void DDX_Text(CDataExchange& dx, int controlId, std::wstring& value)
{
    if (dx.Failed())
        return;
    HWND control = ::GetDlgItem(dx.m_hDlg, controlId);
    if (dx.m_bSaveAndValidate)
        value = GetWindowTextString(control);
    else
        ::SetWindowTextW(control, value.c_str());
}

void DDX_DateTimeCtrl(CDataExchange& dx, int controlId, COleDateTime& value)
{
    if (dx.Failed())
        return;
    HWND control = ::GetDlgItem(dx.m_hDlg, controlId);
    SYSTEMTIME time{};
    if (dx.m_bSaveAndValidate)
    {
        const LRESULT kind = ::SendMessageW(control, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
        if (kind == GDT_VALID)
            value = COleDateTime::FromSystemTime(time);
        else if (kind == GDT_NONE)
            value = COleDateTime(0.0, COleDateTime::null);
        else
            value = COleDateTime(0.0, COleDateTime::invalid);
    }
    else if (value.GetStatus() == COleDateTime::null)
    {
        ::SendMessageW(control, DTM_SETSYSTEMTIME, GDT_NONE, 0);
    }
    else if (value.GetAsSystemTime(time))
    {
        ::SendMessageW(control, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    }
}

void DDX_Control(CDataExchange& dx, int controlId, CControl& control)
{
    if (dx.Failed())
        return;
    if (!control.m_hWnd)
        control.m_hWnd = ::GetDlgItem(dx.m_hDlg, controlId);
}

} // namespace veskaro
