#include "power/FadeWindow.h"

namespace veskaro {

namespace {

const wchar_t kClassName[] = L"VeskaroFade";

int g_fadesUp = 0;

// From the virtual screen's own origin: monitors left of or above the primary one have negative coordinates.
void CoverVirtualScreen(HWND window)
{
    ::SetWindowPos(window, HWND_TOPMOST, ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                   ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN), SWP_NOACTIVATE);
}

LRESULT CALLBACK OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    // A monitor added or moved meanwhile is covered too.
    case WM_DISPLAYCHANGE: CoverVirtualScreen(window); break;
    // Only the fade's own end closes it: its handle and the count stay true.
    case WM_CLOSE: return 0;
    default: break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

bool CFadeWindow::IsUp()
{
    return g_fadesUp != 0;
}

bool CFadeWindow::Show()
{
    Close();
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &OnMessage;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)); // shared: never deleted
    windowClass.lpszClassName = kClassName;
    // Another window of this process may hold the class already: then it is that one's to remove.
    m_class.Reset(::RegisterClassW(&windowClass));
    if (!m_class && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    // Layered and transparent: clicks reach the windows beneath, whatever its opacity. No owner: the
    // main window is minimised while in the tray, and a minimised owner's windows are hidden.
    m_window.Reset(::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW |
                                         WS_EX_NOACTIVATE,
                                     kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
    if (!m_window)
        return Close(), false;
    ++g_fadesUp;
    m_step = 0;
    CoverVirtualScreen(m_window.Get());
    // Its opacity first: a layered window is drawn only once it has one, so it never flashes black.
    ::SetLayeredWindowAttributes(m_window.Get(), 0, 0, LWA_ALPHA);
    ::ShowWindow(m_window.Get(), SW_SHOWNOACTIVATE);
    return true;
}

bool CFadeWindow::Step()
{
    if (!m_window || ++m_step >= kSteps)
        return false;
    ::SetLayeredWindowAttributes(m_window.Get(), 0, static_cast<BYTE>(255 * m_step / kSteps), LWA_ALPHA);
    return true;
}

void CFadeWindow::Close()
{
    if (m_window)
        --g_fadesUp;
    m_window.Reset();
    m_class.Reset();
}

} // namespace veskaro
