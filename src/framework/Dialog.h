// A dialog from a template, modeless or modal, with one dispatch routine per window.
#pragma once

#include <windows.h>

#include <string>

namespace veskaro {

class CDataExchange;
class IOutsideWorld;

// A child control bound by data exchange.
class CControl
{
public:
    HWND m_hWnd = nullptr;
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
};

class CDialogBase
{
public:
    // The caption of the messages that data exchange shows (the application name).
    CDialogBase(UINT templateId, IOutsideWorld& outside, std::wstring messageCaption);
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Modeless: returns false when the window could not be created.
    bool Create(HWND parent);
    // Modal: returns the value passed to EndDialog, or -1.
    INT_PTR DoModal(HWND owner);

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    bool IsModal() const noexcept { return m_bModal; }

    // Moves control values into members (save) or members into controls. False when a
    // field failed validation: the message was shown and the focus is on that field.
    bool UpdateData(bool save);

    // The window procedure's body, also callable from tests.
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam) { return HandleMessage(message, wParam, lParam); }

protected:
    virtual void DoDataExchange(CDataExchange&) {}
    // Runs data exchange towards the controls; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    // Framework defaults: take the data and end a modal run; a modeless dialog only hides.
    virtual void OnOK();
    virtual void OnCancel();

    // The dispatch routine: a switch over the window's messages, each case one line to a
    // handler. Unhandled messages go to CDialogBase::HandleMessage.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Hands a message result to the sender (through DWLP_MSGRESULT where the dialog
    // manager wants it there).
    INT_PTR Result(UINT message, LRESULT result);

    void EndDialog(INT_PTR result);

    IOutsideWorld& m_outside;
    std::wstring m_messageCaption;
    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    bool m_bModal = false;
};

} // namespace veskaro
