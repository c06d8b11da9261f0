// The real program turning the monitors off, by command and by its schedule, seen in its log.
#include "e2e/E2eSupport.h"

#include "framework/OleDateTime.h"
#include "res/resource.h"
#include "schedule/ScheduleRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace veskaro::testing {
namespace {

class ScheduleE2e : public ::testing::Test
{
protected:
    ScheduleE2e()
    {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        m_logPath = std::wstring(temp) + L"veskaro-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L".log";
        ::DeleteFileW(m_logPath.c_str());
        m_settings.SetInt(L"", L"m_bKeepALog", 1);
        m_settings.SetText(L"", L"LogFilePath", m_logPath);
    }
    ~ScheduleE2e() override { ::DeleteFileW(m_logPath.c_str()); }

    // The event word of each line; empty while the program holds the file.
    std::vector<std::wstring> Events() const
    {
        const std::string bytes = ReadFileBytes(m_logPath);
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        std::vector<std::wstring> events;
        size_t start = 0;
        for (size_t end = text.find(L'\n'); end != std::wstring::npos; start = end + 1, end = text.find(L'\n', start))
        {
            const std::wstring line = text.substr(start, end - start);
            events.push_back(line.substr(line.find(L'\t') + 1));
        }
        return events;
    }

    static void Exit(RunningProgram& program, HWND window)
    {
        ::PostMessageW(window, WM_COMMAND, ID_EXIT, 0);
        DWORD exitCode = 99;
        EXPECT_TRUE(program.WaitForExit(10000, exitCode));
    }

    ProgramSettings m_settings;
    std::wstring m_logPath;
};

std::wstring StatusLine(HWND window)
{
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(::GetDlgItem(window, IDC_STATUS), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, &length);
    return text;
}

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST_F(ScheduleE2e, TurnOffCommandAppendsOneLine)
{
    RunningProgram program;
    ASSERT_TRUE(program.Start(L":silent"));
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);

    ::PostMessageW(window, WM_COMMAND, ID_TURN_OFF_MONITORS_NOW, 0);
    ASSERT_TRUE(WaitFor([this] { return !Events().empty(); }, 10000));
    // Once the program has handled what was sent after the command, nothing more comes.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    EXPECT_EQ(Events(), std::vector<std::wstring>{L"Turn Off"});
    Exit(program, window);
}

TEST_F(ScheduleE2e, TurnOffFromTheCommandLineStartsTheProgramOrReachesTheRunningOne)
{
    // None runs: the start stays, silent, and turns the monitors off itself.
    RunningProgram program;
    ASSERT_TRUE(program.Start(L" :off "));
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));
    ASSERT_TRUE(WaitFor([this] { return Events().size() == 1; }, 10000));

    // One runs: a further start hands the command over and ends, even where several may run.
    m_settings.SetInt(L"", L"AllowMultipleInstances", 1);
    RunningProgram second;
    ASSERT_TRUE(second.Start(L":off", VESKARO_EXE_NAME, false));
    DWORD exitCode = 99;
    ASSERT_TRUE(second.WaitForExit(10000, exitCode));
    EXPECT_EQ(exitCode, 0u);
    ASSERT_TRUE(WaitFor([this] { return Events().size() == 2; }, 10000));
    EXPECT_EQ(Events(), (std::vector<std::wstring>{L"Turn Off", L"Turn Off"}));
    EXPECT_FALSE(program.WaitForExit(0, exitCode));
    Exit(program, window);
}

// The first schedule and a second one at the same second act once; a third, later, acts too.
TEST_F(ScheduleE2e, SchedulesForTodayFireOnceAndOnceInTheSameSecond)
{
    // A few seconds ahead, as the program will see it: same clock, same user formats.
    const __time64_t target = _time64(nullptr) + 6, third = target + 3;
    for (auto [section, at] : {std::pair<const wchar_t*, __time64_t>{L"Settings 1", target},
                               {L"Settings 1\\Schedule 2", target}, {L"Settings 1\\Schedule 3", third}})
    {
        const COleDateTime when = COleDateTime::FromTime64(at);
        ASSERT_EQ(when.GetStatus(), COleDateTime::valid);
        const int flag = TurnOffDayFlagIndex(when.GetDayOfWeek());
        ASSERT_GE(flag, 0);
        m_settings.SetInt(section, L"m_bDay" + std::to_wstring(flag + 1), 1);
        m_settings.SetText(section, L"m_oTimeTurnOff", TimeText(when));
    }

    RunningProgram program;
    ASSERT_TRUE(program.Start()); // shown, so that the status line follows the ticks
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(WaitFor([this] { return !Events().empty(); }, 20000));
    // Watch the program's own ticks go past the set second before counting.
    std::vector<std::wstring> later;
    for (__time64_t t = third + 2; t <= third + 6; ++t)
        later.push_back(TimeText(COleDateTime::FromTime64(t)));
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::wstring status = StatusLine(window);
            for (const std::wstring& time : later)
                if (EndsWith(status, time))
                    return true;
            return false;
        },
        15000));
    EXPECT_EQ(Events(), (std::vector<std::wstring>{L"Turn Off", L"Turn Off"}));
    Exit(program, window);
}

} // namespace
} // namespace veskaro::testing
