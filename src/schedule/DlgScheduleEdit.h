// One schedule's weekdays, times, black screen and lock, with OK and Cancel.
#pragma once

#include "framework/Dialog.h"
#include "schedule/ScheduleList.h"

namespace veskaro {

class CDlgScheduleEdit : public CDialogBase
{
public:
    CDlgScheduleEdit(IOutsideWorld& outside, const std::wstring& applicationName, const Schedule& schedule);

    Schedule m_schedule;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
};

// Names for a screen reader where the texts repeat: the weekday boxes of both groups and the
// two time pickers, whose labels both read "At". For the main window and the editor alike.
void NameScheduleControls(IOutsideWorld& outside, HWND dialog);

} // namespace veskaro
