// The weekly schedule: loaded once, saved at every edit.
#include "ui/VeskaroDlg.h"

#include "app/SettingsStore.h"
#include "framework/IntegerText.h"

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

std::wstring DayValueName(int index)
{
    return L"m_bDay" + DecimalText(index + 1);
}

} // namespace

void CVeskaroDlg::LoadSaveSchedule(bool save)
{
    WaitCursor waitCursor;
    ISettingsStore& store = m_env.store;
    if (save)
        UpdateData(true);

    // One line a value, for both directions, in the order the store keeps them.
    const auto exchangeFlag = [&](const std::wstring& name, int& member) {
        if (save)
            store.WriteProfileInt(m_strSection, name, member);
        else
            member = AsFlag(store.GetProfileInt(m_strSection, name, member));
    };
    // A text that does not parse leaves the time invalid, so it never fires; an
    // empty one leaves the start-up time.
    const auto exchangeTime = [&](const wchar_t* name, COleDateTime& member) {
        if (save)
            store.WriteProfileString(m_strSection, name, TimeText(member));
        else if (const std::wstring text = store.GetProfileString(m_strSection, name, L""); !text.empty())
            member.ParseDateTime(text);
    };
    for (int i = 0; i < 14; ++i)
        exchangeFlag(DayValueName(i), DayFlag(i));
    exchangeFlag(L"m_bTurnOffLockPC", m_bTurnOffLockPC);
    exchangeTime(L"m_oTimeTurnOff", m_oTimeTurnOff);
    exchangeTime(L"m_oTimeTurnOn", m_oTimeTurnOn);
    exchangeFlag(L"m_bAutoDisplayBlackScreen", m_bAutoDisplayBlackScreen);
}

void CVeskaroDlg::OnScheduleCheckBoxClicked()
{
    LoadSaveSchedule(true);
    m_scheduledPower.Update();
    UpdateTrayTip();
}

void CVeskaroDlg::OnScheduleTimeChanged(const NMHDR*, LRESULT* result)
{
    LoadSaveSchedule(true);
    m_scheduledPower.Update();
    UpdateTrayTip();
    *result = 0;
}

namespace {

// The second of the day at which the tick first matches the time: the minute's first where
// the user's time format shows no seconds. -1 for a time that never matches.
int MatchingSecondOfDay(const COleDateTime& time)
{
    std::tm fields{};
    if (!time.GetAsTm(fields))
        return -1;
    const int second = fields.tm_sec;
    fields.tm_sec = 0;
    const bool showsSeconds = TimeText(COleDateTime::FromLocalTime(fields)) != TimeText(time);
    return fields.tm_hour * 3600 + fields.tm_min * 60 + (showsSeconds ? second : 0);
}

} // namespace

ScheduledTimes CVeskaroDlg::GetScheduledTimes()
{
    ScheduledTimes times;
    for (int weekday = 1; weekday <= 7; ++weekday)
    {
        times.turnOff.days[weekday - 1] = DayFlag(TurnOffDayFlagIndex(weekday)) != 0;
        times.turnOn.days[weekday - 1] = DayFlag(TurnOnDayFlagIndex(weekday)) != 0;
    }
    times.turnOff.secondOfDay = MatchingSecondOfDay(m_oTimeTurnOff);
    times.turnOn.secondOfDay = MatchingSecondOfDay(m_oTimeTurnOn);
    times.turnOnText = TimeText(m_oTimeTurnOn);
    return times;
}

} // namespace veskaro
