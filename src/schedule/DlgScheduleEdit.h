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
};

} // namespace veskaro
