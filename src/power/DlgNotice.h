// The notice before a scheduled turn-off: a small topmost window near the notification area that
// never takes the keyboard by itself, with a countdown and a way to put the turn-off off.
#pragma once

#include "framework/Dialog.h"

#include <string>

namespace veskaro {

class CDlgNotice : public CDialogBase
{
public:
    // The buttons are posted to `target` as WM_NOTICE_CHOICE with the button's id (IDCANCEL for
    // the close box and Esc), so that what they start runs outside this window's handlers.
    explicit CDlgNotice(IOutsideWorld& outside);

    // Shown, or its text renewed, without activating it; false where it could not be created.
    bool Show(HWND target, const std::wstring& applicationName, const std::wstring& text);
    void Close();

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void PlaceNearNotificationArea();

    std::wstring m_applicationName;
    HWND m_target = nullptr;
};

} // namespace veskaro
