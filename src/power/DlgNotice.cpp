#include "power/DlgNotice.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

#include <shellapi.h>

namespace veskaro {

CDlgNotice::CDlgNotice(IOutsideWorld& outside) : CDialogBase(IDD_NOTICE, outside, std::wstring()) {}

bool CDlgNotice::Show(HWND target, const std::wstring& applicationName, const std::wstring& text)
{
    m_target = target;
    m_applicationName = applicationName;
    const bool created = m_hWnd != nullptr;
    if (!created && !Create(target))
        return false;
    ::SetDlgItemTextW(m_hWnd, IDC_NOTICE_TEXT, text.c_str());
    // Hidden meanwhile with its owner, the main window, as that went to the tray: shown again.
    if (created && !::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    if (created)
        return true;
    PlaceNearNotificationArea();
    // Typing goes on where it was: the window is shown, never activated, by the program.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    return true;
}

void CDlgNotice::Close()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

BOOL CDlgNotice::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    const std::wstring caption = L"Notice - " + m_applicationName;
    ::SetWindowTextW(m_hWnd, caption.c_str());
    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)); // shared
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    return FALSE; // no focus set: that would activate the window
}

void CDlgNotice::PlaceNearNotificationArea()
{
    // In the corner of the primary monitor's work area nearest the icon; bottom right where the
    // shell does not say where that is.
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT icon{};
    POINT anchor{work.right, work.bottom};
    if (m_outside.NotifyIconRect(m_target, TRAY_ICON_ID, icon))
        anchor = POINT{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    RECT own{};
    ::GetWindowRect(m_hWnd, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    const int margin = ::GetSystemMetrics(SM_CXSMICON) / 2;
    const bool left = anchor.x - work.left < work.right - anchor.x;
    const bool top = anchor.y - work.top < work.bottom - anchor.y;
    const int x = left ? work.left + margin : work.right - margin - width;
    const int y = top ? work.top + margin : work.bottom - margin - height;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDlgNotice::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Each choice, Escape and the close box (IDCANCEL) close the notice; the main window acts on them.
    const UINT id = LOWORD(wParam);
    const bool choice = id == IDCANCEL || (id >= IDC_NOTICE_POSTPONE && id <= IDC_NOTICE_TURN_OFF_NOW);
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED || !choice)
        return CDialogBase::HandleMessage(message, wParam, lParam);
    ::ShowWindow(m_hWnd, SW_HIDE);
    ::PostMessageW(m_target, WM_NOTICE_CHOICE, id, 0);
    return TRUE;
}

} // namespace veskaro
