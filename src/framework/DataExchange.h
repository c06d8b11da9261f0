// Data exchange between dialog controls and members, in both directions.
#pragma once

#include "framework/Dialog.h"
#include "framework/OleDateTime.h"

#include <string>

namespace veskaro {

class IOutsideWorld;

extern const wchar_t kEnterIntegerMessage[];

class CDataExchange
{
public:
    CDataExchange(HWND dialog, bool saveAndValidate, IOutsideWorld& outside, std::wstring caption)
        : m_hDlg(dialog), m_bSaveAndValidate(saveAndValidate), m_outside(outside), m_caption(std::move(caption))
    {
    }

    HWND m_hDlg;
    bool m_bSaveAndValidate;

    bool Failed() const noexcept { return m_bFailed; }
    // Shows the message, puts the focus on the field and stops the rest of the exchange.
    void Fail(int controlId, const std::wstring& message);

private:
    IOutsideWorld& m_outside;
    std::wstring m_caption;
    bool m_bFailed = false;
};

// Check box state as 0 or 1 (2 for an indeterminate box).
void DDX_Check(CDataExchange& dx, int controlId, int& value);
// Decimal integer; a field that holds none fails with "Please enter an integer.".
void DDX_Text(CDataExchange& dx, int controlId, int& value);
void DDX_Text(CDataExchange& dx, int controlId, std::wstring& value);
// After DDX_Text: a number outside min..max fails with "Please enter an integer between min and max.".
void DDV_MinMaxInt(CDataExchange& dx, int controlId, int value, int min, int max);
// Date-time picker; a value that is not valid leaves the picker as it is.
void DDX_DateTimeCtrl(CDataExchange& dx, int controlId, COleDateTime& value);
void DDX_Control(CDataExchange& dx, int controlId, CControl& control);

std::wstring GetWindowTextString(HWND window);

} // namespace veskaro
