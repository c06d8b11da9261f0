// The Settings dialog, created from its template and driven as a person would: fields
// set, buttons pressed; then the store, the Run value and the recorded outside calls.
#include "window/WindowTest.h"

#include "app/ModulePath.h"
#include "framework/DataExchange.h"
#include "res/resource.h"
#include "settings/DlgSettings.h"
#include "settings/RunValueText.h"
#include "settings/StartAtLogin.h"
#include "ui/Links.h"

#include <commdlg.h>

#include <vector>

namespace veskaro::testing {
namespace {

// The registry store, with every write listed in order as "name=value".
class RecordingStore final : public ISettingsStore
{
public:
    explicit RecordingStore(const std::wstring& keyPath) : m_store(keyPath) {}
    int GetProfileInt(const std::wstring& section, const std::wstring& name, int defaultValue) override
    {
        return m_store.GetProfileInt(section, name, defaultValue);
    }
    bool WriteProfileInt(const std::wstring& section, const std::wstring& name, int value) override
    {
        writes.push_back(section + L"\\" + name + L"=" + std::to_wstring(value));
        return m_store.WriteProfileInt(section, name, value);
    }
    std::wstring GetProfileString(const std::wstring& section, const std::wstring& name,
                                  const std::wstring& defaultValue) override
    {
        return m_store.GetProfileString(section, name, defaultValue);
    }
    bool WriteProfileString(const std::wstring& section, const std::wstring& name, const std::wstring& value) override
    {
        writes.push_back(section + L"\\" + name + L"=" + value);
        return m_store.WriteProfileString(section, name, value);
    }
    bool HasSection(const std::wstring& section) override { return m_store.HasSection(section); }
    void DeleteSection(const std::wstring& section) override { m_store.DeleteSection(section); }
    std::vector<std::wstring> writes;

private:
    CRegistryStore m_store;
};

// The Run value named after the tests' application; removed before and after.
class RunValue
{
public:
    RunValue()
    {
        // Every Windows profile has this key; a fresh prefix may not.
        UniqueKey key;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_READ, nullptr, key.Put(), nullptr);
        Remove();
    }
    ~RunValue() { Remove(); }
    RunValue(const RunValue&) = delete;
    RunValue& operator=(const RunValue&) = delete;

    static void Remove()
    {
        UniqueKey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
            ::RegDeleteValueW(key.Get(), kTestAppName);
    }
    static void Set(const std::wstring& text)
    {
        UniqueKey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
            ::RegSetValueExW(key.Get(), kTestAppName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    // The stored text, or "(none)".
    static std::wstring Get()
    {
        wchar_t buffer[4096] = {};
        DWORD size = sizeof(buffer);
        if (::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kTestAppName, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
            ERROR_SUCCESS)
            return L"(none)";
        return buffer;
    }
};

const std::wstring kIntegerMessage = L"Please enter an integer.";

class SettingsDialogTest : public ::testing::Test
{
protected:
    SettingsDialogTest()
        : m_key(L"Settings-" + Widen(::testing::UnitTest::GetInstance()->current_test_info()->name())),
          m_store(m_key.Path()),
          m_reader(m_key.Path()),
          m_env{kTestAppName, m_store, m_outside, false, L":silent"}
    {
    }
    ~SettingsDialogTest() override { Close(); }

    void Close()
    {
        m_dlg.reset();
        PumpMessages();
    }

    // Modeless, so that the test can act on it; hidden unless `shown`. The end of a
    // modeless dialog hides it, so only a shown one tells whether it closed. (Wine without
    // a window manager waits two seconds when a shown window is hidden: shown only where
    // the test needs it.)
    void Open(bool shown = false)
    {
        Close();
        m_dlg = std::make_unique<CDlgSettings>(m_env);
        ASSERT_TRUE(m_dlg->Create(nullptr));
        if (shown)
            ::ShowWindow(Dialog(), SW_SHOW);
        PumpMessages();
    }
    HWND Dialog() const { return m_dlg->GetSafeHwnd(); }
    HWND Item(int id) const { return ::GetDlgItem(Dialog(), id); }
    std::wstring Text(int id) const { return GetWindowTextString(Item(id)); }
    void SetText(int id, const std::wstring& text) { ::SetWindowTextW(Item(id), text.c_str()); }
    bool Checked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Check(int id, bool on) { ::SendMessageW(Item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
    // A click on a button as the dialog receives it.
    void Press(int id)
    {
        ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    bool IsOpen() const { return ::IsWindowVisible(Dialog()) != FALSE; }

    std::wstring StoredText(const wchar_t* name) { return m_reader.GetProfileString(L"", name, L"(none)"); }
    int StoredInt(const wchar_t* name) { return m_reader.GetProfileInt(L"", name, -12345); }

    ScratchKey m_key;
    RunValue m_run;
    RecordingStore m_store;
    CRegistryStore m_reader;
    FakeOutsideWorld m_outside;
    AppEnvironment m_env;
    std::unique_ptr<CDlgSettings> m_dlg;
};

TEST_F(SettingsDialogTest, EmptyStoreShowsTheDefaultsAndTheNames)
{
    Open();
    for (int box : {IDC_ALLOW_MULTIPLE_INSTANCES, IDC_START_AT_LOGIN, IDC_AUTO_TURN_OFF_WHEN_LOCKED, IDC_KEEP_A_LOG,
                    IDC_SPEAK_MONITOR_ON, IDC_SPEAK_MONITOR_OFF})
        EXPECT_FALSE(Checked(box)) << box;
    EXPECT_TRUE(Checked(IDC_KEEP_MONITORS_OFF));
    EXPECT_TRUE(Checked(IDC_FADE_BEFORE_IDLE_TURN_OFF));
    EXPECT_FALSE(Checked(IDC_NOTICE_BEFORE_TURN_OFF));
    EXPECT_EQ(Text(IDC_LOCK_TURN_OFF_DELAY), L"1000");
    EXPECT_EQ(Text(IDC_LOG_FILE_PATH), L"");
    EXPECT_EQ(Text(IDC_MONITOR_ON_TEXT), L"Monitor On");
    EXPECT_EQ(Text(IDC_MONITOR_OFF_TEXT), L"Monitor Off");
    EXPECT_EQ(GetWindowTextString(Dialog()), L"Settings - VeskaroTest");
    EXPECT_EQ(Text(IDC_START_AT_LOGIN), L"&Start this Application at User (R&&D tester) Login");

    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(Dialog(), WM_GETICON, ICON_BIG, 0)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(Dialog(), WM_GETICON, ICON_SMALL, 0)), icon);
    EXPECT_EQ(m_dlg->m_hIcon, icon);
    EXPECT_TRUE(m_store.writes.empty()) << "opening writes nothing";
}

TEST_F(SettingsDialogTest, UnknownUserNameLeavesTheNameEmpty)
{
    m_outside.userNameKnown = false;
    m_env.applicationName = L"Veskaro Copy";
    Open();
    EXPECT_EQ(Text(IDC_START_AT_LOGIN), L"&Start this Application at User () Login");
    EXPECT_EQ(GetWindowTextString(Dialog()), L"Settings - Veskaro Copy");
}

TEST_F(SettingsDialogTest, StoredOptionsAndTheRunValueAreShown)
{
    ScratchFile program(L"settings-program.exe");
    UniqueFile(::CreateFileW(program.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    RunValue::Set(program.Path() + L" :silent"); // the older, unquoted form
    m_reader.WriteProfileInt(L"", L"AllowMultipleInstances", 1);
    m_reader.WriteProfileInt(L"", L"m_bAutoTurnOffWhenLocked", 7); // any non-zero number is set
    m_reader.WriteProfileInt(L"", L"m_iLockTurnOffDelay", -5);
    m_reader.WriteProfileString(L"", L"LogFilePath", L"C:\\logs\\veskaro.txt");
    m_reader.WriteProfileInt(L"", L"m_bKeepALog", 1);
    m_reader.WriteProfileInt(L"", L"m_bSpeakMonitorON", 0);
    m_reader.WriteProfileInt(L"", L"m_bSpeakMonitorOFF", 1);
    m_reader.WriteProfileString(L"", L"m_sMonitorOnText", L"Hello");
    m_reader.WriteProfileString(L"", L"m_sMonitorOffText", L"");
    m_reader.WriteProfileInt(L"", L"m_iIdleMinutes", 241); // out of range: the default
    m_reader.WriteProfileString(L"", L"m_iNoticeMinutes", L"15"); // of the wrong type: the default
    Open();
    EXPECT_EQ(Text(IDC_IDLE_MINUTES), L"5");
    EXPECT_EQ(Text(IDC_NOTICE_MINUTES), L"1");

    EXPECT_TRUE(Checked(IDC_ALLOW_MULTIPLE_INSTANCES));
    EXPECT_TRUE(Checked(IDC_START_AT_LOGIN));
    EXPECT_TRUE(Checked(IDC_AUTO_TURN_OFF_WHEN_LOCKED));
    EXPECT_EQ(Text(IDC_LOCK_TURN_OFF_DELAY), L"-5");
    EXPECT_EQ(Text(IDC_LOG_FILE_PATH), L"C:\\logs\\veskaro.txt");
    EXPECT_TRUE(Checked(IDC_KEEP_A_LOG));
    EXPECT_FALSE(Checked(IDC_SPEAK_MONITOR_ON));
    EXPECT_TRUE(Checked(IDC_SPEAK_MONITOR_OFF));
    EXPECT_EQ(Text(IDC_MONITOR_ON_TEXT), L"Hello");
    EXPECT_EQ(Text(IDC_MONITOR_OFF_TEXT), L"") << "an empty phrase stays empty";
}

TEST_F(SettingsDialogTest, OkWithNothingChangedWritesEveryOptionInOrder)
{
    RunValue::Set(L"\"C:\\Someone\\Else.exe\" :silent"); // names nothing: the box shows cleared
    Open(true);
    ASSERT_FALSE(Checked(IDC_START_AT_LOGIN));
    Press(IDOK);

    const std::vector<std::wstring> expected = {
        L"\\AllowMultipleInstances=0", L"\\m_bAutoTurnOffWhenLocked=0", L"\\m_iLockTurnOffDelay=1000",
        L"\\LogFilePath=",             L"\\m_bKeepALog=0",              L"\\m_bSpeakMonitorON=0",
        L"\\m_bSpeakMonitorOFF=0",     L"\\m_sMonitorOffText=Monitor Off", L"\\m_sMonitorOnText=Monitor On",
        L"\\m_bKeepMonitorsOff=1",       L"\\m_bWakeForTurnOn=0",  L"\\m_bKeepMonitorsOnWhenScheduled=0",
        L"\\m_bTurnOffWhenIdle=0",       L"\\m_iIdleMinutes=5",    L"\\m_bTurnOffAgainWhenIdle=0",
        L"\\m_bFadeBeforeIdleTurnOff=1", L"\\m_bNoticeBeforeTurnOff=0", L"\\m_iNoticeMinutes=1"};
    EXPECT_EQ(m_store.writes, expected);
    EXPECT_EQ(StoredInt(L"m_iLockTurnOffDelay"), 1000);
    EXPECT_EQ(StoredText(L"LogFilePath"), L"");
    EXPECT_EQ(RunValue::Get(), L"(none)") << "the cleared box deletes a value someone else wrote";
    EXPECT_FALSE(IsOpen());
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

TEST_F(SettingsDialogTest, OkWithTheStartBoxSetWritesTheQuotedRunValueEveryTime)
{
    Open();
    Check(IDC_START_AT_LOGIN, true);
    Press(IDOK);
    const std::wstring expected = RunValueText(GetModulePath());
    EXPECT_EQ(RunValue::Get(), expected);

    // Reopened, the box shows set; a value of a moved executable is written afresh.
    RunValue::Set(L"\"C:\\Moved\\Away\\Veskaro.exe\" :silent");
    Open();
    EXPECT_FALSE(Checked(IDC_START_AT_LOGIN));
    RunValue::Set(expected);
    Open();
    EXPECT_TRUE(Checked(IDC_START_AT_LOGIN));
    RunValue::Set(L"\"C:\\Moved\\Away\\Veskaro.exe\" :silent"); // changed behind the open dialog
    Press(IDOK);
    EXPECT_EQ(RunValue::Get(), expected);
    Open();
    Check(IDC_START_AT_LOGIN, false);
    Press(IDOK);
    EXPECT_EQ(RunValue::Get(), L"(none)");
}

TEST_F(SettingsDialogTest, EditedOptionsAreStored)
{
    Open();
    Check(IDC_ALLOW_MULTIPLE_INSTANCES, true);
    Check(IDC_AUTO_TURN_OFF_WHEN_LOCKED, true);
    SetText(IDC_LOCK_TURN_OFF_DELAY, L"0");
    Check(IDC_KEEP_A_LOG, true);
    Check(IDC_SPEAK_MONITOR_ON, true);
    Check(IDC_SPEAK_MONITOR_OFF, true);
    SetText(IDC_MONITOR_ON_TEXT, L"");
    SetText(IDC_MONITOR_OFF_TEXT, L"Good night");
    Check(IDC_WAKE_FOR_TURN_ON, true);
    Press(IDOK);

    EXPECT_EQ(StoredInt(L"AllowMultipleInstances"), 1);
    EXPECT_EQ(StoredInt(L"m_bAutoTurnOffWhenLocked"), 1);
    EXPECT_EQ(StoredInt(L"m_iLockTurnOffDelay"), 0) << "a delay of 0 is accepted";
    EXPECT_EQ(StoredInt(L"m_bKeepALog"), 1);
    EXPECT_EQ(StoredInt(L"m_bSpeakMonitorON"), 1);
    EXPECT_EQ(StoredInt(L"m_bSpeakMonitorOFF"), 1);
    EXPECT_EQ(StoredText(L"m_sMonitorOnText"), L"") << "a cleared phrase is stored empty";
    EXPECT_EQ(StoredText(L"m_sMonitorOffText"), L"Good night");
    EXPECT_EQ(StoredInt(L"m_bWakeForTurnOn"), 1) << "its own box, not another power option's";

    Open();
    EXPECT_EQ(Text(IDC_MONITOR_ON_TEXT), L"") << "and shown empty next time, not as the default";
    EXPECT_EQ(Text(IDC_LOCK_TURN_OFF_DELAY), L"0");
}

TEST_F(SettingsDialogTest, DelayThatIsNoIntegerIsRefusedAndNothingIsWritten)
{
    const std::wstring before = RunValueText(L"C:\\Before\\Veskaro.exe");
    RunValue::Set(before);
    Open(true);
    Check(IDC_START_AT_LOGIN, true);
    for (const std::wstring& delay : {std::wstring(), std::wstring(L"99999999999"), std::wstring(L"2147483648")})
    {
        m_outside.messageBoxes.clear();
        SetText(IDC_LOCK_TURN_OFF_DELAY, delay);
        ::SetFocus(Item(IDC_MONITOR_ON_TEXT));
        Press(IDOK);

        const std::string what = "delay \"" + std::string(delay.begin(), delay.end()) + "\"";
        ASSERT_EQ(m_outside.messageBoxes.size(), 1u) << what;
        EXPECT_EQ(m_outside.messageBoxes[0].text, kIntegerMessage);
        EXPECT_EQ(m_outside.messageBoxes[0].caption, kTestAppName);
        EXPECT_EQ(m_outside.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(m_outside.messageBoxes[0].owner, Dialog());
        EXPECT_EQ(::GetFocus(), Item(IDC_LOCK_TURN_OFF_DELAY)) << what;
        EXPECT_TRUE(m_store.writes.empty()) << what;
        EXPECT_EQ(RunValue::Get(), before) << what;
        EXPECT_TRUE(IsOpen()) << what;
    }
    // The largest 32-bit number is an integer all the same; the idle minutes have a range.
    SetText(IDC_LOCK_TURN_OFF_DELAY, L"2147483647");
    SetText(IDC_IDLE_MINUTES, L"0");
    Press(IDOK);
    EXPECT_EQ(m_outside.messageBoxes.back().text, L"Please enter an integer between 1 and 240.");
    SetText(IDC_IDLE_MINUTES, L"240");
    SetText(IDC_NOTICE_MINUTES, L"16");
    Press(IDOK);
    EXPECT_EQ(m_outside.messageBoxes.back().text, L"Please enter an integer between 1 and 15.");
    SetText(IDC_NOTICE_MINUTES, L"15");
    Press(IDOK);
    EXPECT_EQ(StoredInt(L"m_iLockTurnOffDelay"), 2147483647);
    EXPECT_EQ(RunValue::Get(), RunValueText(GetModulePath()));
    EXPECT_FALSE(IsOpen());
}

TEST_F(SettingsDialogTest, CancelAndTheCloseBoxSaveNothing)
{
    for (bool closeBox : {false, true})
    {
        Open(true);
        Check(IDC_ALLOW_MULTIPLE_INSTANCES, true);
        Check(IDC_START_AT_LOGIN, true);
        SetText(IDC_LOCK_TURN_OFF_DELAY, L"5");
        SetText(IDC_MONITOR_ON_TEXT, L"Changed");
        Press(IDC_SELECT_LOG_FILE);
        ASSERT_EQ(Text(IDC_LOG_FILE_PATH), m_outside.saveFilePath);
        if (closeBox)
        {
            // The dialog manager turns the close box into a posted IDCANCEL.
            ::SendMessageW(Dialog(), WM_CLOSE, 0, 0);
            PumpMessages();
        }
        else
            Press(IDCANCEL);
        EXPECT_FALSE(IsOpen()) << closeBox;
        EXPECT_TRUE(m_store.writes.empty()) << closeBox;
        EXPECT_EQ(RunValue::Get(), L"(none)") << closeBox;
    }
}

TEST_F(SettingsDialogTest, EscapeCancels)
{
    Open(true);
    SetText(IDC_MONITOR_OFF_TEXT, L"Changed");
    ::SetFocus(Item(IDC_MONITOR_OFF_TEXT));
    MSG key{};
    key.hwnd = Item(IDC_MONITOR_OFF_TEXT);
    key.message = WM_KEYDOWN;
    key.wParam = VK_ESCAPE;
    key.lParam = 0x00010001;
    EXPECT_TRUE(::IsDialogMessageW(Dialog(), &key));
    PumpMessages();
    EXPECT_FALSE(IsOpen());
    EXPECT_TRUE(m_store.writes.empty());
}

TEST_F(SettingsDialogTest, SelectFillsTheLogPathAndKeepsTheOtherEdits)
{
    Open();
    Check(IDC_ALLOW_MULTIPLE_INSTANCES, true);
    Check(IDC_KEEP_A_LOG, true);
    SetText(IDC_LOCK_TURN_OFF_DELAY, L"0250");
    SetText(IDC_MONITOR_OFF_TEXT, L"Typed, not saved");
    m_outside.saveFilePath = L"C:\\Users\\tester\\Documents\\monitor log.txt";
    Press(IDC_SELECT_LOG_FILE);

    ASSERT_EQ(m_outside.saveFileDialogs.size(), 1u);
    const SaveFileCall& call = m_outside.saveFileDialogs[0];
    EXPECT_EQ(call.owner, Dialog());
    EXPECT_EQ(call.filter, L"Text Files (*.txt)|*.txt||");
    EXPECT_EQ(call.defaultExtension, L"txt");
    EXPECT_EQ(call.flags, static_cast<DWORD>(0x802));
    EXPECT_EQ(call.flags, static_cast<DWORD>(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST));

    EXPECT_EQ(Text(IDC_LOG_FILE_PATH), m_outside.saveFilePath);
    EXPECT_TRUE(Checked(IDC_ALLOW_MULTIPLE_INSTANCES));
    EXPECT_TRUE(Checked(IDC_KEEP_A_LOG));
    EXPECT_EQ(Text(IDC_LOCK_TURN_OFF_DELAY), L"250") << "written back as a plain number";
    EXPECT_EQ(Text(IDC_MONITOR_OFF_TEXT), L"Typed, not saved");
    EXPECT_TRUE(m_store.writes.empty()) << "nothing is stored before OK";
    EXPECT_TRUE(m_outside.messageBoxes.empty());

    Press(IDOK);
    EXPECT_EQ(StoredText(L"LogFilePath"), m_outside.saveFilePath);
    EXPECT_EQ(StoredInt(L"m_iLockTurnOffDelay"), 250);
}

TEST_F(SettingsDialogTest, SelectCancelledChangesNothing)
{
    m_reader.WriteProfileString(L"", L"LogFilePath", L"C:\\old.txt");
    Open();
    SetText(IDC_LOCK_TURN_OFF_DELAY, L"007");
    m_outside.saveFileConfirmed = false;
    Press(IDC_SELECT_LOG_FILE);
    EXPECT_EQ(m_outside.saveFileDialogs.size(), 1u);
    EXPECT_EQ(Text(IDC_LOG_FILE_PATH), L"C:\\old.txt");
    EXPECT_EQ(Text(IDC_LOCK_TURN_OFF_DELAY), L"007") << "the fields were not exchanged";
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

TEST_F(SettingsDialogTest, SelectWithARefusedDelayStillPlacesThePath)
{
    Open();
    Check(IDC_SPEAK_MONITOR_ON, true);
    SetText(IDC_LOCK_TURN_OFF_DELAY, L"");
    SetText(IDC_MONITOR_ON_TEXT, L"Kept");
    Press(IDC_SELECT_LOG_FILE);

    EXPECT_EQ(m_outside.messageBoxes.size(), 1u);
    EXPECT_EQ(Text(IDC_LOG_FILE_PATH), m_outside.saveFilePath);
    EXPECT_EQ(Text(IDC_LOCK_TURN_OFF_DELAY), L"");
    EXPECT_TRUE(Checked(IDC_SPEAK_MONITOR_ON));
    EXPECT_EQ(Text(IDC_MONITOR_ON_TEXT), L"Kept");

    // Once the delay is corrected, OK stores the chosen path.
    SetText(IDC_LOCK_TURN_OFF_DELAY, L"10");
    Press(IDOK);
    EXPECT_EQ(StoredText(L"LogFilePath"), m_outside.saveFilePath);
    EXPECT_EQ(StoredInt(L"m_bSpeakMonitorON"), 1);
}

TEST_F(SettingsDialogTest, F1OpensTheProductPage)
{
    Open();
    HELPINFO help{};
    help.cbSize = sizeof(help);
    help.iContextType = HELPINFO_WINDOW;
    help.iCtrlId = IDC_LOCK_TURN_OFF_DELAY;
    help.hItemHandle = Item(IDC_LOCK_TURN_OFF_DELAY);
    EXPECT_EQ(::SendMessageW(Dialog(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), TRUE);
    ASSERT_EQ(m_outside.shellExecutes.size(), 1u);
    EXPECT_EQ(m_outside.shellExecutes[0].file, kProductUrl);
    EXPECT_EQ(m_outside.shellExecutes[0].show, SW_SHOWMAXIMIZED);
}

// The main window's "Settings..." command runs the dialog modally. A one-shot timer
// acts as the person in front of it.
struct ModalAction
{
    int button = IDOK;
    bool found = false;
    HWND owner = nullptr;
};
ModalAction g_action;

BOOL CALLBACK FindSettings(HWND window, LPARAM result)
{
    if (GetWindowTextString(window) != L"Settings - VeskaroTest")
        return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

void CALLBACK ActOnSettings(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindSettings, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return; // not open yet: try again at the next tick
    ::KillTimer(nullptr, id);
    g_action.found = true;
    g_action.owner = ::GetWindow(dialog, GW_OWNER);
    if (g_action.button == IDOK)
        ::SendMessageW(::GetDlgItem(dialog, IDC_AUTO_TURN_OFF_WHEN_LOCKED), BM_SETCHECK, BST_CHECKED, 0);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(g_action.button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, g_action.button)));
}

class SettingsCommand : public MainWindowTest
{
protected:
    // Runs command 32780 while the timer presses `button`.
    void RunSettings(int button)
    {
        g_action = ModalAction{};
        g_action.button = button;
        ::SetTimer(nullptr, 0, 50, &ActOnSettings);
        Command(ID_SETTINGS);
        EXPECT_TRUE(g_action.found);
        EXPECT_EQ(g_action.owner, Window());
    }
    RunValue m_run;
};

TEST_F(SettingsCommand, OkRenewsTheSessionSubscriptionInEveryInstanceAndCancelDoesNot)
{
    OpenMainWindow();
    const size_t unregistered = m_outside.sessionUnregistrations.size();
    const size_t registered = m_outside.sessionRegistrations.size();

    RunSettings(IDCANCEL);
    EXPECT_EQ(m_outside.sessionUnregistrations.size(), unregistered);
    EXPECT_EQ(m_outside.sessionRegistrations.size(), registered);
    EXPECT_EQ(m_store.GetProfileInt(L"", L"m_bAutoTurnOffWhenLocked", -1), -1);

    CVeskaroDlg other(m_env); // another running instance, which shares the options
    ASSERT_TRUE(other.Create(nullptr));
    RunSettings(IDOK);
    EXPECT_EQ(m_store.GetProfileInt(L"", L"m_bAutoTurnOffWhenLocked", -1), 1);
    EXPECT_GT(m_outside.sessionUnregistrations.size(), unregistered);
    ASSERT_GT(m_outside.sessionRegistrations.size(), registered);
    EXPECT_EQ(m_outside.sessionRegistrations.back().first, Window());
    EXPECT_TRUE(WaitFor([&] { return m_outside.sessionRegistrations.back().first == other.GetSafeHwnd(); }, 2000));
}

} // namespace
} // namespace veskaro::testing
