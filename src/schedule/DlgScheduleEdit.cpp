#include "schedule/DlgScheduleEdit.h"

#include "framework/DataExchange.h"
#include "framework/OutsideWorld.h"
#include "res/resource.h"

namespace veskaro {

CDlgScheduleEdit::CDlgScheduleEdit(IOutsideWorld& outside, const std::wstring& applicationName,
                                   const Schedule& schedule)
    : CDialogBase(IDD_SCHEDULE_EDIT, outside, applicationName), m_schedule(schedule)
{
}

void CDlgScheduleEdit::DoDataExchange(CDataExchange& dx)
{
    for (int i = 0; i < 7; ++i)
        DDX_Check(dx, IDC_DAY1 + i, m_schedule.days[i]);
    for (int i = 7; i < 14; ++i)
        DDX_Check(dx, IDC_DAY8 + (i - 7), m_schedule.days[i]);
    DDX_Check(dx, IDC_TURN_OFF_LOCK_PC, m_schedule.turnOffLockPC);
    DDX_DateTimeCtrl(dx, IDC_TIME_TURN_OFF, m_schedule.timeTurnOff);
    DDX_DateTimeCtrl(dx, IDC_TIME_TURN_ON, m_schedule.timeTurnOn);
    DDX_Check(dx, IDC_AUTO_DISPLAY_BLACK_SCREEN, m_schedule.autoDisplayBlackScreen);
}

BOOL CDlgScheduleEdit::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    NameScheduleControls(m_outside, m_hWnd);
    return TRUE;
}

void NameScheduleControls(IOutsideWorld& outside, HWND dialog)
{
    for (int i = 0; i < 7; ++i)
    {
        HWND off = ::GetDlgItem(dialog, IDC_DAY1 + i);
        HWND on = ::GetDlgItem(dialog, IDC_DAY8 + i);
        outside.SetAccessibleName(off, L"Turn off on " + GetWindowTextString(off));
        outside.SetAccessibleName(on, L"Turn on on " + GetWindowTextString(on));
    }
    outside.SetAccessibleName(::GetDlgItem(dialog, IDC_TIME_TURN_OFF), L"Turn-off time");
    outside.SetAccessibleName(::GetDlgItem(dialog, IDC_TIME_TURN_ON), L"Turn-on time");
}

} // namespace veskaro
