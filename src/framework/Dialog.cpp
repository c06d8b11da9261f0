#include "framework/Dialog.h"

#include "framework/DataExchange.h"

namespace veskaro {

CDialogBase::CDialogBase(UINT templateId, IOutsideWorld& outside, std::wstring messageCaption)
    : m_outside(outside), m_messageCaption(std::move(messageCaption)), m_templateId(templateId)
{
}

CDialogBase::~CDialogBase()
{
    if (m_hWnd && !m_bModal)
        ::DestroyWindow(m_hWnd);
}

bool CDialogBase::Create(HWND parent)
{
    m_bModal = false;
    HWND window = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                                       &CDialogBase::StaticProc, reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

INT_PTR CDialogBase::DoModal(HWND owner)
{
    m_bModal = true;
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                             &CDialogBase::StaticProc, reinterpret_cast<LPARAM>(this));
}

bool CDialogBase::UpdateData(bool save)
{
    CDataExchange dx(m_hWnd, save, m_outside, m_messageCaption);
    DoDataExchange(dx);
    return !dx.Failed();
}

BOOL CDialogBase::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialogBase::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialogBase::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialogBase::EndDialog(INT_PTR result)
{
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        ::ShowWindow(m_hWnd, SW_HIDE);
}

INT_PTR CDialogBase::HandleMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK)
            return OnOK(), TRUE;
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL)
            return OnCancel(), TRUE;
        return FALSE;
    default: return FALSE;
    }
}

INT_PTR CDialogBase::Result(UINT message, LRESULT result)
{
    // These messages return their result directly from the dialog procedure.
    switch (message)
    {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

INT_PTR CALLBACK CDialogBase::StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialogBase* self = nullptr;
    if (message == WM_INITDIALOG)
    {
        self = reinterpret_cast<CDialogBase*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        self->m_hWnd = window;
    }
    else
    {
        self = reinterpret_cast<CDialogBase*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self)
        return FALSE;

    const INT_PTR result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY)
    {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return result;
}

} // namespace veskaro
