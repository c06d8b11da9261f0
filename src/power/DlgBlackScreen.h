// A borderless black window over every monitor, closed by any key or mouse button.
#pragma once

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/OutsideWorld.h"

#include <array>
#include <bitset>

namespace veskaro {

class CDlgBlackScreen : public CDialogBase
{
public:
    CDlgBlackScreen(IOutsideWorld& outside, std::wstring applicationName);
    // While any black screen of this thread is up.
    static bool IsAnyUp();
    // The session is being locked: the keys held for that are released where the hook never hears.
    static void ForgetHeldKeys();
    // Closed by Veskaro itself, as a key or button would close them.
    static void CloseAll();

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CoverVirtualScreen(); // with monitors of different scales too
    void OnKeyDown();
    void OnActivate(UINT state);
    void OnCloseInput();
    void OnDestroy();
    void OnHookedKey(bool down, size_t index, DWORD time);
    static LRESULT CALLBACK OnKeyboardHook(int code, WPARAM message, LPARAM data);

    UniqueBrush m_brush;
    UniqueKeyboardHook m_keyboardHook;
    std::bitset<256> m_keysDown; // swallowed, by virtual-key code
    std::array<DWORD, 256> m_keyTimes{}; // of each key's latest press or repeat, in the hook's time
};

} // namespace veskaro
