// The display power watch: subscription, the monitor state list and what it ignores.
#include "window/PowerBroadcast.h"
#include "window/WindowTest.h"

#include "res/resource.h"

namespace veskaro::testing {
namespace {

const wchar_t kWatchFailedText[] = L"Failed to Start Monitoring Power of Display Monitor for Speaking Voice Alert(s) "
                                   L"as Configured in Settings of this Software.";

class PowerWatch : public MainWindowTest
{
protected:
    HWND List() const { return ::GetDlgItem(Window(), IDC_MONITOR_STATE_LIST); }
    int Count() const { return static_cast<int>(::SendMessageW(List(), LB_GETCOUNT, 0, 0)); }
    std::vector<std::wstring> Entries() const
    {
        std::vector<std::wstring> entries;
        for (int i = 0; i < Count(); ++i)
        {
            const auto length = ::SendMessageW(List(), LB_GETTEXTLEN, i, 0);
            std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
            ::SendMessageW(List(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
            entries.push_back(text);
        }
        return entries;
    }
    void Display(BYTE state) { SendDisplayState(Window(), state); }
};

TEST_F(PowerWatch, SubscribesToTheDisplayStateAndEnablesTheList)
{
    OpenMainWindow();
    ASSERT_EQ(m_outside.powerRegistrations.size(), 1u);
    EXPECT_EQ(m_outside.powerRegistrations[0].window, Window());
    EXPECT_TRUE(::IsEqualGUID(m_outside.powerRegistrations[0].setting, kConsoleDisplayState));
    EXPECT_EQ(m_outside.powerRegistrations[0].flags, static_cast<DWORD>(DEVICE_NOTIFY_WINDOW_HANDLE));
    EXPECT_EQ(Dlg().m_hPowerNotify, m_outside.powerNotifyHandle);
    EXPECT_TRUE(::IsWindowEnabled(List()));
    EXPECT_TRUE(m_outside.messageBoxes.empty());
    EXPECT_EQ(Count(), 0);

    // Windows 7 has no console display state and reports the display's power as the
    // monitor power setting, with the same byte.
    const GUID monitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};
    m_outside.windows8OrGreater = false;
    OpenMainWindow();
    ASSERT_EQ(m_outside.powerRegistrations.size(), 2u);
    EXPECT_TRUE(::IsEqualGUID(m_outside.powerRegistrations[1].setting, monitorPowerOn));
    PowerSettingBlock off(monitorPowerOn, {kDisplayOff, 0, 0, 0});
    Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, off.Param());
    EXPECT_EQ(Entries(), std::vector<std::wstring>{L"12/6/2026 7:01:38 AM : Monitor Off"});
}

TEST_F(PowerWatch, OnAndOffAreListedWithTheTimeTheyWereHandled)
{
    OpenMainWindow();
    Display(kDisplayOn);
    m_outside.now += 61;
    Display(kDisplayOff);
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"12/6/2026 7:01:38 AM : Monitor On",
                                                    L"12/6/2026 7:02:39 AM : Monitor Off"}));
}

TEST_F(PowerWatch, IgnoresAnythingButAnOnOrOffOfTheConsoleDisplay)
{
    // Voice alerts on, so that anything taken for a change would also be spoken.
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorON", 1);
    m_store.WriteProfileInt(L"", L"m_bSpeakMonitorOFF", 1);
    OpenMainWindow();

    Display(kDisplayDimmed);
    Display(7);

    // GUID_ACDC_POWER_SOURCE reporting 1, and a display GUID that differs in its last byte only.
    const GUID powerSource = {0x5D3E9A59, 0xE9D5, 0x4B00, {0xA6, 0xBD, 0xFF, 0x34, 0xFF, 0x51, 0x65, 0x48}};
    GUID almostDisplay = kConsoleDisplayState;
    almostDisplay.Data4[7] ^= 0x01;
    for (const GUID& other : {powerSource, almostDisplay})
    {
        PowerSettingBlock block(other, {kDisplayOn, 0, 0, 0});
        Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, block.Param());
    }

    // Other broadcast events, even with a valid display block beside them.
    PowerSettingBlock on(kConsoleDisplayState, {kDisplayOn, 0, 0, 0});
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, on.Param());
    Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, on.Param());

    // A change without its block, and one whose block says it has no data.
    Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0);
    PowerSettingBlock empty(kConsoleDisplayState, {});
    empty.Get()->Data[0] = kDisplayOn; // only DataLength says the byte is not there
    Send(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, empty.Param());

    EXPECT_EQ(Count(), 0);
    EXPECT_TRUE(m_outside.spoken.empty());
    // The window still works afterwards.
    Display(kDisplayOn);
    EXPECT_EQ(Count(), 1);
}

TEST_F(PowerWatch, KeepsTheThreeNewestEntriesInOrder)
{
    OpenMainWindow();
    const BYTE states[] = {kDisplayOff, kDisplayOn, kDisplayOff, kDisplayOn};
    for (BYTE state : states)
    {
        Display(state);
        m_outside.now += 3600;
    }
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"12/6/2026 8:01:38 AM : Monitor On",
                                                    L"12/6/2026 9:01:38 AM : Monitor Off",
                                                    L"12/6/2026 10:01:38 AM : Monitor On"}));
    Display(kDisplayOff);
    EXPECT_EQ(Count(), 3);
    EXPECT_EQ(Entries().back(), L"12/6/2026 11:01:38 AM : Monitor Off");
}

TEST_F(PowerWatch, TheSameStateTwiceGivesTwoEntries)
{
    OpenMainWindow();
    Display(kDisplayOff);
    Display(kDisplayOff);
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"12/6/2026 7:01:38 AM : Monitor Off",
                                                    L"12/6/2026 7:01:38 AM : Monitor Off"}));
}

TEST_F(PowerWatch, ClearEmptiesTheListAndTheNextChangeStartsItAgain)
{
    OpenMainWindow();
    Command(ID_CLEAR_MONITOR_STATE_LIST);
    EXPECT_EQ(Count(), 0);
    for (int i = 0; i < 3; ++i)
        Display(kDisplayOn);
    ASSERT_EQ(Count(), 3);
    Command(ID_CLEAR_MONITOR_STATE_LIST);
    EXPECT_EQ(Count(), 0);
    Display(kDisplayOff);
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{L"12/6/2026 7:01:38 AM : Monitor Off"}));
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

TEST_F(PowerWatch, FailedSubscriptionIsReportedWhenEitherVoiceAlertIsOn)
{
    for (const wchar_t* alert : {L"m_bSpeakMonitorON", L"m_bSpeakMonitorOFF"})
    {
        SCOPED_TRACE(alert);
        m_store.WriteProfileInt(L"", L"m_bSpeakMonitorON", 0);
        m_store.WriteProfileInt(L"", L"m_bSpeakMonitorOFF", 0);
        m_store.WriteProfileInt(L"", alert, 1);
        m_outside.powerNotifyHandle = nullptr;
        m_outside.messageBoxes.clear();
        OpenMainWindow();
        ASSERT_EQ(m_outside.messageBoxes.size(), 1u);
        EXPECT_EQ(m_outside.messageBoxes[0].owner, Window());
        EXPECT_EQ(m_outside.messageBoxes[0].text, kWatchFailedText);
        EXPECT_EQ(m_outside.messageBoxes[0].caption, kTestAppName);
        EXPECT_EQ(m_outside.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_FALSE(::IsWindowEnabled(List()));
        EXPECT_EQ(Dlg().m_hPowerNotify, nullptr);
        ::DestroyWindow(Window());
    }
}

TEST_F(PowerWatch, FailedSubscriptionWithBothVoiceAlertsOffIsSilentButDisablesTheList)
{
    m_outside.powerNotifyHandle = nullptr;
    OpenMainWindow();
    EXPECT_TRUE(m_outside.messageBoxes.empty());
    EXPECT_FALSE(::IsWindowEnabled(List()));
}

TEST_F(PowerWatch, CloseEndsTheSubscriptionBeforeTheWindowGoes)
{
    OpenMainWindow();
    Send(WM_CLOSE);
    EXPECT_EQ(m_outside.powerUnregistrations, (std::vector<HPOWERNOTIFY>{m_outside.powerNotifyHandle}));
    EXPECT_EQ(Dlg().m_hPowerNotify, nullptr);
    EXPECT_EQ(Window(), nullptr);
}

TEST_F(PowerWatch, CloseAfterAFailedSubscriptionUnsubscribesNothing)
{
    m_outside.powerNotifyHandle = nullptr;
    OpenMainWindow();
    Send(WM_CLOSE);
    EXPECT_TRUE(m_outside.powerUnregistrations.empty());
}

} // namespace
} // namespace veskaro::testing
