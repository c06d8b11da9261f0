#include "schedule/ScheduleList.h"

#include "app/SettingsStore.h"
#include "framework/IntegerText.h"

#include <utility>

namespace veskaro {

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

void LoadSaveSchedule(ISettingsStore& store, const std::wstring& section, Schedule& schedule, bool save)
{
    // One line a value, for both directions, in the order the store keeps them.
    const auto exchangeFlag = [&](const std::wstring& name, int& member) {
        if (save)
            store.WriteProfileInt(section, name, member);
        else
            member = AsFlag(store.GetProfileInt(section, name, member));
    };
    const auto exchangeTime = [&](const wchar_t* name, COleDateTime& member) {
        if (save)
            store.WriteProfileString(section, name, TimeText(member));
        else if (const std::wstring text = store.GetProfileString(section, name, L""); !text.empty())
            member.ParseDateTime(text);
    };
    for (int i = 0; i < 14; ++i)
        exchangeFlag(L"m_bDay" + DecimalText(i + 1), schedule.days[i]);
    exchangeFlag(L"m_bTurnOffLockPC", schedule.turnOffLockPC);
    exchangeTime(L"m_oTimeTurnOff", schedule.timeTurnOff);
    exchangeTime(L"m_oTimeTurnOn", schedule.timeTurnOn);
    exchangeFlag(L"m_bAutoDisplayBlackScreen", schedule.autoDisplayBlackScreen);
}

ScheduleTimes TimesOf(const Schedule& schedule)
{
    ScheduleTimes times;
    for (int weekday = 1; weekday <= 7; ++weekday)
    {
        times.turnOff.days[weekday - 1] = schedule.days[TurnOffDayFlagIndex(weekday)] != 0;
        times.turnOn.days[weekday - 1] = schedule.days[TurnOnDayFlagIndex(weekday)] != 0;
    }
    times.turnOff.secondOfDay = MatchingSecondOfDay(schedule.timeTurnOff);
    times.turnOn.secondOfDay = MatchingSecondOfDay(schedule.timeTurnOn);
    times.turnOffText = TimeText(schedule.timeTurnOff);
    times.turnOnText = TimeText(schedule.timeTurnOn);
    return times;
}

std::wstring ShortTimeText(const COleDateTime& time)
{
    SYSTEMTIME fields{};
    wchar_t text[64] = {};
    if (!time.GetAsSystemTime(fields) ||
        ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &fields, nullptr, text, 64) == 0)
        return kInvalidDateTimeText;
    return text;
}

std::wstring ScheduleLineOf(const Schedule& schedule)
{
    std::wstring names[7];
    for (int day = 0; day < 7; ++day)
    {
        wchar_t name[32] = {};
        if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVDAYNAME1 + day, name, 32) > 0)
            names[day] = name;
    }
    ScheduleLineParts parts;
    for (int day = 0; day < 7; ++day)
    {
        parts.offDays[day] = schedule.days[day] != 0;
        parts.onDays[day] = schedule.days[7 + day] != 0;
    }
    parts.offTime = ShortTimeText(schedule.timeTurnOff);
    parts.onTime = ShortTimeText(schedule.timeTurnOn);
    parts.blackScreen = schedule.autoDisplayBlackScreen != 0;
    parts.lock = schedule.turnOffLockPC != 0;
    return ScheduleLine(parts, names);
}

std::wstring CScheduleList::Section(int number) const
{
    return m_instanceSection + L"\\Schedule " + DecimalText(number);
}

void CScheduleList::Load(const std::wstring& instanceSection, const COleDateTime& now)
{
    m_instanceSection = instanceSection;
    m_entries.clear();
    for (int number = 2; number <= kMaxSchedules; ++number)
    {
        if (!m_store.HasSection(Section(number)))
            continue;
        Entry entry;
        entry.schedule.timeTurnOff = entry.schedule.timeTurnOn = now;
        LoadSaveSchedule(m_store, Section(number), entry.schedule, false);
        entry.times = TimesOf(entry.schedule);
        entry.number = number;
        m_entries.push_back(std::move(entry));
    }
}

void CScheduleList::Save(Entry& entry)
{
    entry.times = TimesOf(entry.schedule);
    LoadSaveSchedule(m_store, Section(entry.number), entry.schedule, true);
}

bool CScheduleList::Add(const Schedule& schedule)
{
    if (m_entries.size() + 1 >= static_cast<size_t>(kMaxSchedules))
        return false;
    // After the highest number read, so that a number left by a gap is never written over;
    // at the end of the numbers, the gaps are closed first.
    if (!m_entries.empty() && m_entries.back().number >= kMaxSchedules)
        Renumber(0, 2);
    Entry entry;
    entry.schedule = schedule;
    entry.number = m_entries.empty() ? 2 : m_entries.back().number + 1;
    Save(entry);
    m_entries.push_back(std::move(entry));
    return true;
}

void CScheduleList::Replace(size_t index, const Schedule& schedule)
{
    if (index >= m_entries.size())
        return;
    m_entries[index].schedule = schedule;
    Save(m_entries[index]);
}

void CScheduleList::Remove(size_t index)
{
    if (index >= m_entries.size())
        return;
    const int number = m_entries[index].number;
    m_store.DeleteSection(Section(number));
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    Renumber(index, number);
}

void CScheduleList::Renumber(size_t from, int number)
{
    for (size_t i = from; i < m_entries.size(); ++i, ++number)
    {
        const int old = std::exchange(m_entries[i].number, number);
        if (old == number)
            continue;
        Save(m_entries[i]);
        m_store.DeleteSection(Section(old));
    }
}

void CScheduleList::RefreshTexts()
{
    for (Entry& entry : m_entries)
        entry.times = TimesOf(entry.schedule);
}

void CScheduleList::DueTurnOffs(const COleDateTime& now, const std::wstring& nowText, bool& turnOff,
                                bool& blackScreen, bool& lock)
{
    const int day = TurnOffDayFlagIndex(now.GetDayOfWeek());
    std::wstring key;
    for (Entry& entry : m_entries)
    {
        if (day < 0 || !entry.schedule.days[day] || entry.times.turnOffText != nowText)
            continue;
        if (key.empty())
            key = now.Format(VAR_DATEVALUEONLY) + L" " + nowText;
        if (!entry.turnOffGuard.ShouldFire(key))
            continue;
        turnOff = true;
        blackScreen = blackScreen || entry.schedule.autoDisplayBlackScreen != 0;
        lock = lock || entry.schedule.turnOffLockPC != 0;
    }
}

bool CScheduleList::DueTurnOns(const COleDateTime& now, const std::wstring& nowText)
{
    const int day = TurnOnDayFlagIndex(now.GetDayOfWeek());
    std::wstring key;
    bool turnOn = false;
    for (Entry& entry : m_entries)
    {
        if (day < 0 || !entry.schedule.days[day] || entry.times.turnOnText != nowText)
            continue;
        if (key.empty())
            key = now.Format(VAR_DATEVALUEONLY) + L" " + nowText;
        turnOn = entry.turnOnGuard.ShouldFire(key) || turnOn;
    }
    return turnOn;
}

} // namespace veskaro
