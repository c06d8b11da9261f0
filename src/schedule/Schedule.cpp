// The weekly schedule: loaded once, saved at every edit.
#include "ui/VeskaroDlg.h"

#include "app/SettingsStore.h"
#include "framework/OutsideWorld.h"
#include "schedule/DlgSchedules.h"
#include "schedule/ScheduleList.h"

namespace veskaro {

namespace {

// The wait cursor for the length of one scope.
class WaitCursor
{
public:
    WaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

} // namespace

void CVeskaroDlg::LoadSaveSchedule(bool save)
{
    WaitCursor waitCursor;
    if (save)
        UpdateData(true);
    Schedule schedule = FirstSchedule();
    veskaro::LoadSaveSchedule(m_env.store, m_strSection, schedule, save);
    if (!save)
        SetFirstSchedule(schedule);
}

Schedule CVeskaroDlg::FirstSchedule()
{
    Schedule schedule;
    for (int i = 0; i < 14; ++i)
        schedule.days[i] = DayFlag(i);
    schedule.turnOffLockPC = m_bTurnOffLockPC;
    schedule.timeTurnOff = m_oTimeTurnOff;
    schedule.timeTurnOn = m_oTimeTurnOn;
    schedule.autoDisplayBlackScreen = m_bAutoDisplayBlackScreen;
    return schedule;
}

void CVeskaroDlg::SetFirstSchedule(const Schedule& schedule)
{
    for (int i = 0; i < 14; ++i)
        DayFlag(i) = schedule.days[i];
    m_bTurnOffLockPC = schedule.turnOffLockPC;
    m_oTimeTurnOff = schedule.timeTurnOff;
    m_oTimeTurnOn = schedule.timeTurnOn;
    m_bAutoDisplayBlackScreen = schedule.autoDisplayBlackScreen;
}

void CVeskaroDlg::EditFirstSchedule(const Schedule& schedule)
{
    SetFirstSchedule(schedule);
    UpdateData(false);
    LoadSaveSchedule(true);
}

void CVeskaroDlg::OnSchedulesChanged()
{
    m_turnOff.OnSchedulesChanged();
    m_scheduledPower.Update();
    UpdateTrayTip();
}

void CVeskaroDlg::OnSchedules()
{
    CDlgSchedules dialog(*this);
    dialog.DoModal(m_hWnd);
}

void CVeskaroDlg::OnScheduleCheckBoxClicked()
{
    LoadSaveSchedule(true);
    OnSchedulesChanged();
}

void CVeskaroDlg::OnScheduleTimeChanged(const NMHDR*, LRESULT* result)
{
    LoadSaveSchedule(true);
    OnSchedulesChanged();
    *result = 0;
}

void CVeskaroDlg::TurnOffActionsAt(long long first, long long last, bool& blackScreen, bool& lock)
{
    const auto zone = [this](long long at, std::tm& local) { return m_outside.LocalTime(at, local); };
    const auto add = [&](const Schedule& schedule, const ScheduleTimes& times) {
        long long at = 0;
        if (!NextOccurrence(times.turnOff, first - 1, zone, at) || at > last)
            return;
        blackScreen = blackScreen || schedule.autoDisplayBlackScreen != 0;
        lock = lock || schedule.turnOffLockPC != 0;
    };
    const Schedule own = FirstSchedule();
    add(own, TimesOf(own));
    for (const CScheduleList::Entry& entry : m_schedules.Entries())
        add(entry.schedule, entry.times);
}

ScheduledTimes CVeskaroDlg::GetScheduledTimes()
{
    ScheduledTimes times{TimesOf(FirstSchedule())};
    for (const CScheduleList::Entry& entry : m_schedules.Entries())
        times.push_back(entry.times);
    return times;
}

} // namespace veskaro
