// The real program turning the monitors off after a session lock, seen through its log file.
#include "e2e/E2eSupport.h"

#include "common/TestFiles.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <wtsapi32.h>

namespace veskaro::testing {
namespace {

constexpr DWORD kDelayMs = 300;

class SessionLockE2e : public ::testing::Test
{
protected:
    SessionLockE2e()
    {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        m_logPath = std::wstring(temp) + L"veskaro-e2e-lock-" + std::to_wstring(::GetCurrentProcessId()) + L".log";
        ::DeleteFileW(m_logPath.c_str());
        m_settings.SetInt(L"", L"m_bAutoTurnOffWhenLocked", 1);
        m_settings.SetInt(L"", L"m_iLockTurnOffDelay", kDelayMs);
        m_settings.SetInt(L"", L"m_bKeepALog", 1);
        m_settings.SetText(L"", L"LogFilePath", m_logPath);
    }
    ~SessionLockE2e() override { ::DeleteFileW(m_logPath.c_str()); }

    void StartProgram()
    {
        ASSERT_TRUE(m_program.Start(L":silent"));
        m_window = m_program.MainWindow();
        ASSERT_NE(m_window, nullptr);
    }
    void SessionChange(WPARAM code) { ::SendMessageW(m_window, WM_WTSSESSION_CHANGE, code, 1); }

    // The "Turn Off" lines in the log; the program holds the file only while it writes a line.
    int TurnOffLines() const
    {
        return CountUtf16(ReadFileBytes(m_logPath), L"\tTurn Off\n");
    }

    void Exit()
    {
        ::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
        DWORD exitCode = 99;
        EXPECT_TRUE(m_program.WaitForExit(15000, exitCode));
    }

    ProgramSettings m_settings;
    std::wstring m_logPath;
    RunningProgram m_program;
    HWND m_window = nullptr;
};

TEST_F(SessionLockE2e, ALockTurnsTheMonitorsOffAfterTheDelay)
{
    StartProgram();
    const ULONGLONG locked = ::GetTickCount64();
    SessionChange(WTS_SESSION_LOCK);
    ASSERT_TRUE(WaitFor([&] { return TurnOffLines() >= 1; }, 15000));
    // Not before the delay (less the clock's granularity).
    EXPECT_GE(::GetTickCount64() - locked, ULONGLONG{kDelayMs - 20});
    // Once only: well past another delay there is still one line.
    EXPECT_FALSE(WaitFor([&] { return TurnOffLines() > 1; }, 5 * kDelayMs));
    Exit();
}

TEST_F(SessionLockE2e, AnUnlockWithinTheDelayKeepsTheMonitorsOn)
{
    StartProgram();
    SessionChange(WTS_SESSION_LOCK);
    SessionChange(WTS_SESSION_UNLOCK);
    EXPECT_FALSE(WaitFor([&] { return TurnOffLines() > 0; }, 5 * kDelayMs));
    EXPECT_EQ(TurnOffLines(), 0);
    // The program and its log still work: the next lock turns off as usual.
    SessionChange(WTS_SESSION_LOCK);
    EXPECT_TRUE(WaitFor([&] { return TurnOffLines() == 1; }, 15000));
    Exit();
}

} // namespace
} // namespace veskaro::testing
