// The weekly schedules of an instance: the first is the main window's own; the others, at
// most seven more, live in the subsections "Schedule 2" ... "Schedule 8" of its section.
#pragma once

#include "framework/OleDateTime.h"
#include "schedule/ScheduleRules.h"

#include <string>
#include <vector>

namespace veskaro {

class ISettingsStore;

struct Schedule
{
    int days[14] = {}; // m_bDay1 ... m_bDay14: the turn-off days Monday..Sunday, then the turn-on days
    int turnOffLockPC = 0;
    COleDateTime timeTurnOff;
    COleDateTime timeTurnOn;
    int autoDisplayBlackScreen = 0;
};

// One routine for both directions and every schedule. Loading keeps what is absent; a text
// that does not parse leaves the time invalid, so it never fires; an empty one keeps the time.
void LoadSaveSchedule(ISettingsStore& store, const std::wstring& section, Schedule& schedule, bool save);

// What the tick and the power management read of a schedule.
struct ScheduleTimes
{
    WeeklyTime turnOff;
    WeeklyTime turnOn;
    std::wstring turnOffText; // the times as the user reads them, and as the tick compares them
    std::wstring turnOnText;
};
ScheduleTimes TimesOf(const Schedule& schedule);

// The time of day in the user's time format without seconds, and a schedule's line in the list.
std::wstring ShortTimeText(const COleDateTime& time);
std::wstring ScheduleLineOf(const Schedule& schedule);

constexpr int kMaxSchedules = 8;

class CScheduleList
{
public:
    struct Entry
    {
        Schedule schedule;
        ScheduleTimes times;
        int number = 0; // K of "Schedule K"
        OccurrenceGuard turnOffGuard;
        OccurrenceGuard turnOnGuard;
    };

    explicit CScheduleList(ISettingsStore& store) : m_store(store) {}

    // The schedules 2 to 8 of the instance's section; a missing number does not end them.
    // What is absent keeps the values of a first start: no weekday, and `now` for the times.
    void Load(const std::wstring& instanceSection, const COleDateTime& now);
    // Adds one at the end; false when there are already as many as can be.
    bool Add(const Schedule& schedule);
    void Replace(size_t index, const Schedule& schedule);
    // The later ones move down a number each, so that the numbers stay without gaps.
    void Remove(size_t index);
    // The user's time format may have changed: the texts are made again.
    void RefreshTexts();

    // The tick's rule for the schedules after the first, at the second `now` whose time text
    // is `nowText`: the day flag, the time text and one guard per schedule and action. Every
    // due schedule's guard counts the occurrence; the actions of one second are merged.
    void DueTurnOffs(const COleDateTime& now, const std::wstring& nowText, bool& turnOff, bool& blackScreen,
                     bool& lock);
    bool DueTurnOns(const COleDateTime& now, const std::wstring& nowText);

    std::vector<Entry>& Entries() { return m_entries; }

private:
    std::wstring Section(int number) const;
    void Save(Entry& entry);
    // From the entry at `from` on, the numbers `number`, `number` + 1, ...
    void Renumber(size_t from, int number);

    ISettingsStore& m_store;
    std::wstring m_instanceSection;
    std::vector<Entry> m_entries;
};

} // namespace veskaro
