// A borderless black window over every monitor, closed by any key or mouse button.
#pragma once

#include "framework/Dialog.h"
#include "framework/Handles.h"

namespace veskaro {

class CDlgBlackScreen : public CDialogBase
{
public:
    CDlgBlackScreen(IOutsideWorld& outside, std::wstring applicationName);

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCloseInput();

    UniqueBrush m_brush;
};

} // namespace veskaro
