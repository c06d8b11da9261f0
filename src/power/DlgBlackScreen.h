// A borderless black window over every monitor, closed by any key or mouse button.
#pragma once

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/OutsideWorld.h"

#include <bitset>

namespace veskaro {

class CDlgBlackScreen : public CDialogBase
{
public:
    CDlgBlackScreen(IOutsideWorld& outside, std::wstring applicationName);
    // While any black screen of this thread is up.
    static bool IsAnyUp();

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CoverVirtualScreen(); // with monitors of different scales too
    void OnCloseInput();
    void OnDestroy();
    static LRESULT CALLBACK OnKeyboardHook(int code, WPARAM message, LPARAM data);

    UniqueBrush m_brush;
    UniqueKeyboardHook m_keyboardHook;
    std::bitset<256> m_keysDown; // swallowed, by virtual-key code
};

} // namespace veskaro
