// The screen darkening toward black before a turn-off made for idleness. Clicks go through it
// and it never takes the keyboard: the user's input goes on where it was, and ends the fade.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

namespace veskaro {

class CFadeWindow
{
public:
    static constexpr UINT kStepMs = 250;
    static constexpr int kSteps = 40; // ten seconds

    CFadeWindow() = default;
    ~CFadeWindow() { Close(); }
    CFadeWindow(const CFadeWindow&) = delete;
    CFadeWindow& operator=(const CFadeWindow&) = delete;

    // While any fade of this process is up.
    static bool IsUp();
    // Up over every monitor, not yet darker; false when Windows made no window.
    bool Show();
    // One step darker; false once the steps have run out.
    bool Step();
    void Close();

private:
    UniqueWindowClass m_class; // before the window: it goes after it
    UniqueWindow m_window;
    int m_step = 0;
};

} // namespace veskaro
