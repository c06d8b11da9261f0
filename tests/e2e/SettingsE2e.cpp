// The Settings dialog of the real program: opened by its command, filled in and confirmed
// from this test program, then the registry holds the options and the quoted Run value.
#include "e2e/E2eSupport.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace veskaro::testing {
namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The program's Run value in the prefix, removed before and after.
class RunValueGuard
{
public:
    RunValueGuard()
    {
        // Every Windows profile has the Run key; a fresh prefix may not.
        UniqueKey key;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_READ, nullptr, key.Put(), nullptr);
        Remove();
    }
    ~RunValueGuard() { Remove(); }
    RunValueGuard(const RunValueGuard&) = delete;
    RunValueGuard& operator=(const RunValueGuard&) = delete;

    static void Remove()
    {
        UniqueKey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
            ::RegDeleteValueW(key.Get(), kTestAppName);
    }
    static std::wstring Get()
    {
        DWORD size = 0;
        if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kTestAppName, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
            ERROR_SUCCESS)
            return L"(none)";
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kTestAppName, RRF_RT_REG_SZ, nullptr, buffer.data(), &size) !=
            ERROR_SUCCESS)
            return L"(none)";
        return buffer.data();
    }
};

std::wstring ControlText(HWND dialog, int id)
{
    wchar_t text[512] = {};
    ::SendMessageW(::GetDlgItem(dialog, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

// WM_SETTEXT is carried across processes; SetWindowText would not reach another program's control.
void SetControlText(HWND dialog, int id, const std::wstring& text)
{
    ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool Checked(HWND dialog, int id)
{
    return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Check(HWND dialog, int id)
{
    ::SendMessageW(::GetDlgItem(dialog, id), BM_SETCHECK, BST_CHECKED, 0);
}

void Press(HWND dialog, int id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Sends "Settings..." to the program and waits for the dialog.
HWND OpenSettings(RunningProgram& program)
{
    HWND window = program.MainWindow();
    if (!window)
        return nullptr;
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(ID_SETTINGS, 0), 0);
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = program.MainWindow(kSettingsCaption)) != nullptr; }, 15000);
    return dialog;
}

void Exit(RunningProgram& program)
{
    ::PostMessageW(program.MainWindow(), WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
    DWORD exitCode = 0;
    EXPECT_TRUE(program.WaitForExit(15000, exitCode));
}

class SettingsE2e : public ::testing::Test
{
protected:
    ProgramSettings m_settings;
    RunValueGuard m_run;
};

TEST_F(SettingsE2e, CommandOpensTheDialogAndOkStoresTheOptionsAndTheQuotedRunValue)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start());
    HWND dialog = OpenSettings(program);
    ASSERT_NE(dialog, nullptr) << "no window \"Settings - VeskaroTest\"";
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), program.MainWindow());

    wchar_t user[257] = {};
    DWORD userSize = 257;
    ::GetUserNameW(user, &userSize);
    EXPECT_EQ(ControlText(dialog, IDC_START_AT_LOGIN), L"&Start this Application at User (" + std::wstring(user) + L") Login");
    EXPECT_FALSE(Checked(dialog, IDC_START_AT_LOGIN));
    EXPECT_EQ(ControlText(dialog, IDC_LOCK_TURN_OFF_DELAY), L"1000");

    Check(dialog, IDC_ALLOW_MULTIPLE_INSTANCES);
    Check(dialog, IDC_START_AT_LOGIN);
    Check(dialog, IDC_AUTO_TURN_OFF_WHEN_LOCKED);
    SetControlText(dialog, IDC_LOCK_TURN_OFF_DELAY, L"250");
    SetControlText(dialog, IDC_MONITOR_ON_TEXT, L"Screen on");
    SetControlText(dialog, IDC_MONITOR_OFF_TEXT, L"Screen off");
    Press(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 15000)) << "OK did not close the dialog";

    DWORD number = 0;
    EXPECT_TRUE(m_settings.GetInt(L"", L"AllowMultipleInstances", number));
    EXPECT_EQ(number, 1u);
    EXPECT_TRUE(m_settings.GetInt(L"", L"m_bAutoTurnOffWhenLocked", number));
    EXPECT_EQ(number, 1u);
    EXPECT_TRUE(m_settings.GetInt(L"", L"m_iLockTurnOffDelay", number));
    EXPECT_EQ(number, 250u);
    EXPECT_TRUE(m_settings.GetInt(L"", L"m_bKeepALog", number));
    EXPECT_EQ(number, 0u);
    std::wstring text;
    EXPECT_TRUE(m_settings.GetText(L"", L"m_sMonitorOnText", text));
    EXPECT_EQ(text, L"Screen on");
    EXPECT_TRUE(m_settings.GetText(L"", L"m_sMonitorOffText", text));
    EXPECT_EQ(text, L"Screen off");
    EXPECT_TRUE(m_settings.GetText(L"", L"LogFilePath", text));
    EXPECT_EQ(text, L"");
    EXPECT_EQ(RunValueGuard::Get(), L"\"" + TestFolder() + L"VeskaroTest.exe\" :silent");

    // Opened again, the dialog shows what was stored; Cancel leaves it all.
    dialog = OpenSettings(program);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Checked(dialog, IDC_START_AT_LOGIN));
    EXPECT_TRUE(Checked(dialog, IDC_AUTO_TURN_OFF_WHEN_LOCKED));
    EXPECT_EQ(ControlText(dialog, IDC_LOCK_TURN_OFF_DELAY), L"250");
    SetControlText(dialog, IDC_LOCK_TURN_OFF_DELAY, L"9");
    ::SendMessageW(::GetDlgItem(dialog, IDC_START_AT_LOGIN), BM_SETCHECK, BST_UNCHECKED, 0);
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 15000));
    EXPECT_TRUE(m_settings.GetInt(L"", L"m_iLockTurnOffDelay", number));
    EXPECT_EQ(number, 250u);
    EXPECT_EQ(RunValueGuard::Get(), L"\"" + TestFolder() + L"VeskaroTest.exe\" :silent");

    Exit(program);
}

} // namespace
} // namespace veskaro::testing
