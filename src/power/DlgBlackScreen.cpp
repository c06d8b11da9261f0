#include "power/DlgBlackScreen.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

#include <algorithm>
#include <vector>

namespace veskaro {

namespace {

// Asked for once the dialog is shown.
constexpr UINT WM_ASK_FOREGROUND = WM_APP + 1;

// The black screens up on this thread, newest last: a key closes the newest.
std::vector<CDlgBlackScreen*>& KeyboardTargets()
{
    static std::vector<CDlgBlackScreen*> targets;
    return targets;
}

} // namespace

CDlgBlackScreen::CDlgBlackScreen(IOutsideWorld& outside, std::wstring applicationName)
    : CDialogBase(IDD_BLACK_SCREEN, outside, std::move(applicationName))
{
}

bool CDlgBlackScreen::IsAnyUp()
{
    return !KeyboardTargets().empty();
}

BOOL CDlgBlackScreen::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    // The brush first: the move repaints, and the repaint asks for it.
    m_brush.Reset(::CreateSolidBrush(RGB(0, 0, 0)));
    CoverVirtualScreen();
    ::PostMessageW(m_hWnd, WM_ASK_FOREGROUND, 0, 0);
    // Heard whichever window has the keyboard.
    KeyboardTargets().push_back(this);
    m_keyboardHook.Set(m_outside, &CDlgBlackScreen::OnKeyboardHook);
    return TRUE;
}

INT_PTR CDlgBlackScreen::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: return OnCloseInput(), FALSE;
    // Windows keeps a program in the background from taking the foreground while the user
    // works elsewhere: then the keyboard stays there, the hook hears the key, and a mouse
    // button reaches this topmost window all the same.
    case WM_ASK_FOREGROUND: return m_outside.SetForegroundWindow(m_hWnd), TRUE;
    case WM_DESTROY: return OnDestroy(), FALSE;
    // Handled, and covered afresh: rescaled to one monitor's scale, it would leave strips bare.
    case WM_DPICHANGED: return CoverVirtualScreen(), Result(message, 0);
    case WM_DISPLAYCHANGE: return CoverVirtualScreen(), FALSE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return Result(message, reinterpret_cast<LRESULT>(m_brush.Get()));
    default: return CDialogBase::HandleMessage(message, wParam, lParam);
    }
}

void CDlgBlackScreen::CoverVirtualScreen()
{
    // The virtual screen's own origin: monitors left of or above the primary one
    // have negative coordinates and are covered too. Topmost, or the always-on-top
    // taskbar and any topmost window would stay above it.
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                   ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN), 0);
}

void CDlgBlackScreen::OnCloseInput()
{
    // Posted: the input message finishes first; the dialog's answer to WM_CLOSE ends the run.
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

void CDlgBlackScreen::OnDestroy()
{
    // Whatever closed it: the keys belong to the windows underneath again.
    m_keyboardHook.Reset();
    auto& targets = KeyboardTargets();
    targets.erase(std::remove(targets.begin(), targets.end(), this), targets.end());
}

LRESULT CALLBACK CDlgBlackScreen::OnKeyboardHook(int code, WPARAM message, LPARAM data)
{
    // A key closes the newest black screen and goes nowhere else, its release neither: not
    // blind into the window that has the keyboard. So it closes once the keys it swallowed are
    // up. Keys that programs press (keep-awake tools press F15 every minute) pass untouched.
    auto& targets = KeyboardTargets();
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && !targets.empty() && key && (key->flags & LLKHF_INJECTED) == 0)
    {
        std::bitset<256>& down = targets.back()->m_keysDown;
        const size_t index = key->vkCode & 0xFF;
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
            return down.set(index), 1;
        if ((message == WM_KEYUP || message == WM_SYSKEYUP) && down.test(index))
        {
            if (down.reset(index).none())
                targets.back()->OnCloseInput();
            return 1;
        }
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

} // namespace veskaro
