// The weekly schedule in the settings store: what an edit writes, what a start reads.
#include "window/ScheduleTestSupport.h"

#include "res/resource.h"
#include "schedule/DlgSchedules.h"

#include <commctrl.h>

namespace veskaro::testing {
namespace {

// Passes everything on and notes the name of each value written, in order.
class RecordingStore final : public ISettingsStore
{
public:
    explicit RecordingStore(ISettingsStore& inner) : m_inner(inner) {}
    int GetProfileInt(const std::wstring& section, const std::wstring& name, int defaultValue) override
    {
        return m_inner.GetProfileInt(section, name, defaultValue);
    }
    bool WriteProfileInt(const std::wstring& section, const std::wstring& name, int value) override
    {
        writes.push_back(section + L"|" + name);
        return m_inner.WriteProfileInt(section, name, value);
    }
    std::wstring GetProfileString(const std::wstring& section, const std::wstring& name,
                                  const std::wstring& defaultValue) override
    {
        return m_inner.GetProfileString(section, name, defaultValue);
    }
    bool WriteProfileString(const std::wstring& section, const std::wstring& name, const std::wstring& value) override
    {
        writes.push_back(section + L"|" + name);
        return m_inner.WriteProfileString(section, name, value);
    }
    bool HasSection(const std::wstring& section) override { return m_inner.HasSection(section); }
    void DeleteSection(const std::wstring& section) override { m_inner.DeleteSection(section); }
    std::vector<std::wstring> writes;

private:
    ISettingsStore& m_inner;
};

using ScheduleStore = ScheduleWindowTest;

TEST_F(ScheduleStore, EveryScheduleBoxWritesAllEighteenValuesInOrder)
{
    RecordingStore recorder(m_store);
    AppEnvironment environment{kTestAppName, recorder, m_outside, false, L""};
    CVeskaroDlg dlg(environment);
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND window = dlg.GetSafeHwnd();

    std::vector<std::wstring> expected;
    for (int day = 1; day <= 14; ++day)
        expected.push_back(std::wstring(kSection) + L"|m_bDay" + std::to_wstring(day));
    for (const wchar_t* name : {L"m_bTurnOffLockPC", L"m_oTimeTurnOff", L"m_oTimeTurnOn", L"m_bAutoDisplayBlackScreen"})
        expected.push_back(std::wstring(kSection) + L"|" + name);

    std::vector<int> boxes;
    for (int id = IDC_DAY1; id <= IDC_DAY7; ++id)
        boxes.push_back(id);
    for (int id = IDC_DAY8; id <= IDC_DAY14; ++id)
        boxes.push_back(id);
    boxes.push_back(IDC_TURN_OFF_LOCK_PC);
    boxes.push_back(IDC_AUTO_DISPLAY_BLACK_SCREEN);
    for (int id : boxes)
    {
        recorder.writes.clear();
        ::SendMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0);
        EXPECT_EQ(recorder.writes, expected) << id;
    }

    // Every box is checked now, and the times are the pickers' (the start-up time).
    for (int day = 1; day <= 14; ++day)
        EXPECT_EQ(m_store.GetProfileInt(kSection, L"m_bDay" + std::to_wstring(day), -1), 1) << day;
    EXPECT_EQ(m_store.GetProfileInt(kSection, L"m_bTurnOffLockPC", -1), 1);
    EXPECT_EQ(m_store.GetProfileInt(kSection, L"m_bAutoDisplayBlackScreen", -1), 1);
    EXPECT_EQ(m_store.GetProfileString(kSection, L"m_oTimeTurnOff", L""), L"7:01:38 AM");
    EXPECT_EQ(m_store.GetProfileString(kSection, L"m_oTimeTurnOn", L""), L"7:01:38 AM");

    // Unchecking writes the 0.
    ::SendMessageW(::GetDlgItem(window, IDC_DAY3), BM_CLICK, 0, 0);
    EXPECT_EQ(m_store.GetProfileInt(kSection, L"m_bDay3", -1), 0);
    EXPECT_EQ(dlg.m_bDay3, 0);
}

TEST_F(ScheduleStore, EachPickerChangeSavesAtOnce)
{
    Open();
    ChangePicker(Window(), IDC_TIME_TURN_OFF, TimeOfDay(22, 30, 15));
    EXPECT_EQ(m_store.GetProfileString(kSection, L"m_oTimeTurnOff", L""), L"10:30:15 PM");
    EXPECT_EQ(m_store.GetProfileString(kSection, L"m_oTimeTurnOn", L""), L"7:01:38 AM");
    ChangePicker(Window(), IDC_TIME_TURN_ON, TimeOfDay(6, 0, 1));
    EXPECT_EQ(m_store.GetProfileString(kSection, L"m_oTimeTurnOn", L""), L"6:00:01 AM");
    EXPECT_EQ(TimeText(Dlg().m_oTimeTurnOn), L"6:00:01 AM");
    EXPECT_EQ(m_store.GetProfileInt(kSection, L"m_bDay1", -1), 0);
}

TEST_F(ScheduleStore, StoredFlagsCheckTheirOwnBoxes)
{
    Set(L"m_bDay3", 1);  // Wednesday, turn-off
    Set(L"m_bDay14", 1); // Sunday, turn-on
    Set(L"m_bTurnOffLockPC", 1);
    Set(L"m_bDay5", 7); // edited by hand: any non-zero number is a checked box
    Open();

    for (int id = IDC_DAY1; id <= IDC_DAY14; ++id)
    {
        if (id == IDC_TIME_TURN_OFF)
            continue;
        const bool checked = id == IDC_DAY3 || id == IDC_DAY14 || id == IDC_DAY5;
        EXPECT_EQ(::IsDlgButtonChecked(Window(), id), checked ? BST_CHECKED : BST_UNCHECKED) << id;
    }
    EXPECT_EQ(::IsDlgButtonChecked(Window(), IDC_TURN_OFF_LOCK_PC), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(Window(), IDC_AUTO_DISPLAY_BLACK_SCREEN), BST_UNCHECKED);
    EXPECT_EQ(Dlg().m_bDay5, 1);
}

TEST_F(ScheduleStore, UnparsableTimeNeverFiresAndTheNextSaveHealsIt)
{
    Set(L"m_bDay7", 1);
    SetText(L"m_oTimeTurnOff", L"half past seven");
    m_store.WriteProfileString(L"Settings 1\\Schedule 2", L"m_oTimeTurnOff", L"half past seven");
    Open();
    EXPECT_EQ(Dlg().m_oTimeTurnOff.GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(Dlg().m_schedules.Entries().at(0).schedule.timeTurnOff.GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(Dlg().m_oTimeTurnOff.m_dt, 0.0); // a type mismatch
    EXPECT_EQ(TimeText(Dlg().m_oTimeTurnOff), L"Invalid DateTime");

    // The picker keeps showing a time of its own, which the member does not hold.
    SYSTEMTIME shown{};
    ::SendMessageW(::GetDlgItem(Window(), IDC_TIME_TURN_OFF), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    const __time64_t sundayMidnight = kSunday070138 - (7 * 3600 + 98);
    const __time64_t shownToday = sundayMidnight + shown.wHour * 3600 + shown.wMinute * 60 + shown.wSecond;
    TickEachSecond(shownToday - 1, shownToday + 1);
    EXPECT_EQ(LoggedEvents(), Events{});

    Click(IDC_DAY10); // any edit saves the pickers' values
    EXPECT_EQ(Dlg().m_oTimeTurnOff.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(m_store.GetProfileString(kSection, L"m_oTimeTurnOff", L""), TimeText(Dlg().m_oTimeTurnOff));

    const __time64_t shownNextWeek = shownToday + 7 * kDaySeconds;
    TickEachSecond(shownNextWeek - 1, shownNextWeek + 1);
    EXPECT_EQ(LoggedEvents(), Events{L"Turn Off"});
}

TEST_F(ScheduleStore, EmptyTimeTextKeepsTheStartUpTime)
{
    for (const wchar_t* section : {kSection, L"Settings 1\\Schedule 2"}) // the first schedule and a later one
    {
        m_store.WriteProfileString(section, L"m_oTimeTurnOff", L"");
        m_store.WriteProfileInt(section, L"m_oTimeTurnOn", 5); // the wrong type reads as absent
    }
    Open();
    for (const Schedule& schedule : {Dlg().FirstSchedule(), Dlg().m_schedules.Entries().at(0).schedule})
    {
        EXPECT_EQ(TimeText(schedule.timeTurnOff), L"7:01:38 AM");
        EXPECT_EQ(TimeText(schedule.timeTurnOn), L"7:01:38 AM");
    }
}

TEST_F(ScheduleStore, TimeSavedUnderAFormatReadsBackUnderIt)
{
    if (!RunningUnderWine())
        GTEST_SKIP() << kLocaleSkip;
    struct Case
    {
        const wchar_t* format;
        const wchar_t* stored;
    };
    for (const Case& c : {Case{L"h:mm:ss tt", L"10:30:15 PM"}, Case{L"HH:mm:ss", L"22:30:15"},
                          Case{L"h:mm tt", L"10:30 PM"}})
    {
        UserTimeFormat format(c.format);
        m_recorder.reset();
        OpenMainWindow();
        ChangePicker(Window(), IDC_TIME_TURN_OFF, TimeOfDay(22, 30, 15));
        EXPECT_EQ(m_store.GetProfileString(kSection, L"m_oTimeTurnOff", L""), c.stored) << c.format;

        m_dlg.reset();
        OpenMainWindow();
        EXPECT_EQ(Dlg().m_oTimeTurnOff.GetStatus(), COleDateTime::valid) << c.format;
        EXPECT_EQ(TimeText(Dlg().m_oTimeTurnOff), c.stored) << c.format;
        SYSTEMTIME shown{};
        ::SendMessageW(::GetDlgItem(Window(), IDC_TIME_TURN_OFF), DTM_GETSYSTEMTIME, 0,
                       reinterpret_cast<LPARAM>(&shown));
        EXPECT_EQ(shown.wHour, 22) << c.format;
        EXPECT_EQ(shown.wMinute, 30) << c.format;
        m_dlg.reset();
    }
}

// The schedules after the first live in "Settings 1\Schedule K", K from 2 without gaps; the
// first, the main window's, is edited there too but never removed.
TEST_F(ScheduleStore, SchedulesDialogAddsEditsAndRemovesWithoutGaps)
{
    // Numbers with gaps, as a hand edit leaves them: Add writes over none, and none past 8.
    const int gaps[][3] = {{4, 4, 5}, {8, 3, 4}}; // 2 and `last` stored; where `last` is then; where Add writes
    for (const auto& [last, moved, added] : gaps)
    {
        const auto number = [&](int k) { return std::to_wstring(last) + L"\\Schedule " + std::to_wstring(k); };
        m_store.WriteProfileInt(number(2), L"m_bDay1", 1);
        m_store.WriteProfileInt(number(last), L"m_bDay3", 1);
        CScheduleList stored(m_store);
        stored.Load(std::to_wstring(last), COleDateTime());
        ASSERT_TRUE(stored.Add(Schedule{}));
        EXPECT_EQ(m_store.GetProfileInt(number(moved), L"m_bDay3", 0), 1);
        EXPECT_TRUE(m_store.HasSection(number(added)));
        EXPECT_FALSE(m_store.HasSection(number(9)));
    }
    Open();
    CDlgSchedules dialog(Dlg());
    ASSERT_TRUE(dialog.Create(Window()));
    HWND schedules = dialog.GetSafeHwnd(), list = ::GetDlgItem(schedules, IDC_SCHEDULE_LIST);
    // A click, or a key (below 256) in the list through the dialog manager; the editor ticks one box, then OK.
    const auto press = [&](int button, int line, int dayBox) {
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
        ::SendMessageW(schedules, WM_COMMAND, MAKEWPARAM(IDC_SCHEDULE_LIST, LBN_SELCHANGE), 0);
        ModalWindowWatcher editor([] { return ::FindWindowW(nullptr, L"Schedule"); }, [&](HWND edit, int) {
            ::SendDlgItemMessageW(edit, dayBox, BM_SETCHECK, BST_CHECKED, 0);
            ::PostMessageW(edit, WM_COMMAND, IDOK, 0);
        });
        MSG key{list, WM_KEYDOWN, static_cast<WPARAM>(button), 1, 0, {}};
        ::SetFocus(button < 0x100 ? list : ::GetDlgItem(schedules, button));
        if (button < 0x100)
            ::IsDialogMessageW(schedules, &key);
        else
            ::SendMessageW(schedules, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    };
    for (int day : {IDC_DAY1, IDC_DAY2, IDC_DAY3})
        press(IDC_SCHEDULE_ADD, 0, day);
    press(VK_DELETE, 2, 0);
    press(VK_RETURN, 0, IDC_DAY14); // Enter edits
    press(VK_DELETE, 0, 0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(schedules, IDC_SCHEDULE_REMOVE)));
    EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(m_store.GetProfileInt(kSection, L"m_bDay14", 0), 1);
    EXPECT_EQ(Dlg().m_bDay14, 1);
    EXPECT_EQ(m_store.GetProfileInt(L"Settings 1\\Schedule 2", L"m_bDay1", 0), 1);
    EXPECT_EQ(m_store.GetProfileInt(L"Settings 1\\Schedule 3", L"m_bDay3", 0), 1) << "moved down from 4";
    EXPECT_EQ(m_store.GetProfileInt(L"Settings 1\\Schedule 3", L"m_bDay2", 0), 0);
    EXPECT_FALSE(m_store.HasSection(L"Settings 1\\Schedule 4"));

    // A button disabled while it has the focus hands it to the list.
    press(IDC_SCHEDULE_REMOVE, 1, 0);
    EXPECT_EQ(::GetFocus(), list);
    for (int i = 2; i < kMaxSchedules; ++i)
        press(IDC_SCHEDULE_ADD, 0, IDC_DAY5);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(schedules, IDC_SCHEDULE_ADD)));
    EXPECT_EQ(::GetFocus(), list);
}

} // namespace
} // namespace veskaro::testing
