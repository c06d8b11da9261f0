#include "power/DlgBlackScreen.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"

#include <algorithm>
#include <vector>

namespace veskaro {

namespace {

// Asked for once the dialog is shown.
constexpr UINT WM_ASK_FOREGROUND = WM_APP + 1;

// A held key repeats at least this often (the longest delay before the first repeat is a
// second); one that does not was released where the hook never hears.
constexpr DWORD kHeldKeyRepeatMilliseconds = 2000;

// The black screens up on this thread, newest last: a key closes the newest. Not a
// function's static: it needs no guard.
std::vector<CDlgBlackScreen*> g_keyboardTargets;

} // namespace

CDlgBlackScreen::CDlgBlackScreen(IOutsideWorld& outside, std::wstring applicationName)
    : CDialogBase(IDD_BLACK_SCREEN, outside, std::move(applicationName))
{
}

bool CDlgBlackScreen::IsAnyUp()
{
    return !g_keyboardTargets.empty();
}

void CDlgBlackScreen::ForgetHeldKeys()
{
    for (CDlgBlackScreen* target : g_keyboardTargets)
        target->m_keysDown.reset();
}

void CDlgBlackScreen::CloseAll()
{
    for (CDlgBlackScreen* target : g_keyboardTargets)
        target->OnCloseInput();
}

BOOL CDlgBlackScreen::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    // The brush first: the move repaints, and the repaint asks for it.
    m_brush.Reset(::CreateSolidBrush(RGB(0, 0, 0)));
    CoverVirtualScreen();
    ::PostMessageW(m_hWnd, WM_ASK_FOREGROUND, 0, 0);
    // Heard whichever window has the keyboard.
    g_keyboardTargets.push_back(this);
    m_keyboardHook.Set(m_outside, &CDlgBlackScreen::OnKeyboardHook);
    return TRUE;
}

INT_PTR CDlgBlackScreen::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_KEYDOWN: return OnKeyDown(), FALSE;
    // Enter and Esc come as keys too, not as the dialog manager's OK and Cancel.
    case WM_GETDLGCODE: return Result(message, DLGC_WANTALLKEYS);
    // With the hook set, Alt+F4 is a program's too: not a close through the system menu.
    case WM_SYSKEYDOWN: return m_keyboardHook ? TRUE : FALSE;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN: return OnCloseInput(), FALSE;
    // Windows keeps a program in the background from taking the foreground while the user
    // works elsewhere: then the keyboard stays there, the hook hears the key, and a mouse
    // button reaches this topmost window all the same.
    case WM_ASK_FOREGROUND: return m_outside.SetForegroundWindow(m_hWnd), TRUE;
    case WM_ACTIVATE: return OnActivate(LOWORD(wParam)), FALSE;
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

// With the hook set, the keys that reach the window are ones a program pressed: the hook lets
// those pass (a keep-awake tool presses F15 every minute).
void CDlgBlackScreen::OnKeyDown()
{
    if (!m_keyboardHook)
        OnCloseInput();
}

// The window that takes the keyboard may hear the releases, or the secure desktop may.
void CDlgBlackScreen::OnActivate(UINT state)
{
    if (state == WA_INACTIVE)
        m_keysDown.reset();
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
    g_keyboardTargets.erase(std::remove(g_keyboardTargets.begin(), g_keyboardTargets.end(), this),
                            g_keyboardTargets.end());
}

void CDlgBlackScreen::OnHookedKey(bool down, size_t index, DWORD time)
{
    // Only the latest key pressed repeats: one held unrepeated for long was released elsewhere
    // (Ctrl+Alt+Del and Windows+L are released on the secure desktop).
    for (size_t held = 0; held < m_keysDown.size(); ++held)
        if (held != index && m_keysDown.test(held) &&
            MillisecondsBetween(m_keyTimes[held], time) > kHeldKeyRepeatMilliseconds)
            m_keysDown.reset(held);
    if (down)
    {
        m_keysDown.set(index);
        m_keyTimes[index] = time;
    }
    else if (m_keysDown.reset(index).none())
    {
        OnCloseInput();
    }
}

LRESULT CALLBACK CDlgBlackScreen::OnKeyboardHook(int code, WPARAM message, LPARAM data)
{
    // A key closes the newest black screen and goes nowhere else, its release neither: not
    // blind into the window that has the keyboard. So it closes once the keys it swallowed are
    // up. Keys that programs press (keep-awake tools press F15 every minute) pass untouched.
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    if (code == HC_ACTION && !g_keyboardTargets.empty() && key && (key->flags & LLKHF_INJECTED) == 0)
    {
        CDlgBlackScreen& target = *g_keyboardTargets.back();
        const size_t index = key->vkCode & 0xFF;
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
        if (down || (up && target.m_keysDown.test(index)))
            return target.OnHookedKey(down, index, key->time), 1;
    }
    return ::CallNextHookEx(nullptr, code, message, data);
}

} // namespace veskaro
