// The schedules of this instance, one line each, to add, edit and remove; the first is the
// main window's own, edited here too but never removed. Changes take effect at once.
#pragma once

#include "framework/Dialog.h"

namespace veskaro {

class CVeskaroDlg;

class CDlgSchedules : public CDialogBase
{
public:
    explicit CDlgSchedules(CVeskaroDlg& window);

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Fill(int selection);
    void UpdateButtons();
    int Selection() const;
    void OnAdd();
    void OnEdit();
    void OnRemove();
    LRESULT OnListKey(UINT key);

    CVeskaroDlg& m_window;
};

} // namespace veskaro
