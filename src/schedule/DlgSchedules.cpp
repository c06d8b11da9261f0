#include "schedule/DlgSchedules.h"

#include "framework/OutsideWorld.h"
#include "res/resource.h"
#include "schedule/DlgScheduleEdit.h"
#include "ui/VeskaroDlg.h"

namespace veskaro {

CDlgSchedules::CDlgSchedules(CVeskaroDlg& window)
    : CDialogBase(IDD_SCHEDULES, window.Environment().outside, window.Environment().applicationName),
      m_window(window)
{
}

BOOL CDlgSchedules::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    Fill(0);
    return TRUE;
}

void CDlgSchedules::Fill(int selection)
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_SCHEDULE_LIST);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const auto add = [list](const Schedule& schedule) {
        const std::wstring line = ScheduleLineOf(schedule);
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    };
    add(m_window.FirstSchedule());
    for (const CScheduleList::Entry& entry : m_window.m_schedules.Entries())
        add(entry.schedule);
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selection), 0);
    UpdateButtons();
}

int CDlgSchedules::Selection() const
{
    return static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_SCHEDULE_LIST, LB_GETCURSEL, 0, 0));
}

void CDlgSchedules::UpdateButtons()
{
    const int selection = Selection();
    const bool full = m_window.m_schedules.Entries().size() + 1 >= static_cast<size_t>(kMaxSchedules);
    const auto enable = [this](int id, bool enabled) {
        HWND button = ::GetDlgItem(m_hWnd, id);
        // Disabled with the focus, a button leaves the dialog without one: the list takes it first.
        if (!enabled && ::GetFocus() == button)
            ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(m_hWnd, IDC_SCHEDULE_LIST)),
                           TRUE);
        ::EnableWindow(button, enabled);
    };
    enable(IDC_SCHEDULE_ADD, !full);
    enable(IDC_SCHEDULE_EDIT, selection >= 0);
    enable(IDC_SCHEDULE_REMOVE, selection > 0); // never the first
}

void CDlgSchedules::OnAdd()
{
    Schedule schedule;
    schedule.timeTurnOff = schedule.timeTurnOn = COleDateTime::FromTime64(m_outside.Now());
    CDlgScheduleEdit editor(m_outside, m_messageCaption, schedule);
    if (editor.DoModal(m_hWnd) != IDOK || !m_window.m_schedules.Add(editor.m_schedule))
        return;
    m_window.OnSchedulesChanged();
    Fill(static_cast<int>(m_window.m_schedules.Entries().size()));
}

void CDlgSchedules::OnEdit()
{
    const int selection = Selection();
    if (selection < 0)
        return;
    const size_t index = static_cast<size_t>(selection);
    auto& entries = m_window.m_schedules.Entries();
    if (index > entries.size())
        return;
    CDlgScheduleEdit editor(m_outside, m_messageCaption,
                            index == 0 ? m_window.FirstSchedule() : entries[index - 1].schedule);
    if (editor.DoModal(m_hWnd) != IDOK)
        return;
    if (index == 0)
        m_window.EditFirstSchedule(editor.m_schedule);
    else
        m_window.m_schedules.Replace(index - 1, editor.m_schedule);
    m_window.OnSchedulesChanged();
    Fill(selection);
}

void CDlgSchedules::OnRemove()
{
    const int selection = Selection();
    if (selection <= 0)
        return;
    m_window.m_schedules.Remove(static_cast<size_t>(selection - 1));
    m_window.OnSchedulesChanged();
    Fill(selection - 1);
}

// Delete in the list removes the selected schedule where Remove may; Enter presses the default
// button, Edit.
LRESULT CDlgSchedules::OnListKey(UINT key)
{
    if (key != VK_DELETE)
        return -1; // the list's own handling
    OnRemove();
    return -2;
}

INT_PTR CDlgSchedules::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_VKEYTOITEM)
        return Result(message, OnListKey(LOWORD(wParam)));
    if (message != WM_COMMAND)
        return CDialogBase::HandleMessage(message, wParam, lParam);
    if (LOWORD(wParam) == IDC_SCHEDULE_LIST)
    {
        if (HIWORD(wParam) == LBN_SELCHANGE)
            UpdateButtons();
        else if (HIWORD(wParam) == LBN_DBLCLK)
            OnEdit();
        return TRUE;
    }
    // Escape and the close box arrive as IDCANCEL, the "Close" button's id.
    if (HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    switch (LOWORD(wParam))
    {
    case IDC_SCHEDULE_ADD: return OnAdd(), TRUE;
    case IDC_SCHEDULE_EDIT: return OnEdit(), TRUE;
    case IDC_SCHEDULE_REMOVE: return OnRemove(), TRUE;
    case IDCANCEL: return OnCancel(), TRUE;
    default: return FALSE;
    }
}

} // namespace veskaro
