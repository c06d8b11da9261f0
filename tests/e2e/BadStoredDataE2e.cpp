// The real program started on a registry key full of values it never writes: wrong types,
// empty data, huge texts, extreme delays and log paths that cannot hold a log. It must run,
// show the defaults for what it cannot read, and write back only what the user confirms.
#include "e2e/E2eSupport.h"

#include "common/TestFiles.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <wtsapi32.h>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace veskaro::testing {
namespace {

const wchar_t kSchedule[] = L"Settings 1";

// Bounds for each step; Wine without a window manager takes about 2 s to hide or close windows.
constexpr DWORD kStepMs = 15000;
constexpr DWORD kAnswerMs = 3000;

// A value as the registry holds it: its type and its bytes.
struct RawValue
{
    DWORD type = REG_NONE;
    std::string bytes;
    bool operator==(const RawValue& other) const { return type == other.type && bytes == other.bytes; }
};

void SetRaw(const std::wstring& section, const std::wstring& name, DWORD type, const void* data, size_t size)
{
    UniqueKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, ProgramKeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                               static_cast<DWORD>(size)),
              ERROR_SUCCESS)
        << "cannot store " << std::string(name.begin(), name.end());
}

void SetText(const std::wstring& section, const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ)
{
    SetRaw(section, name, type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void SetDword(const std::wstring& section, const std::wstring& name, DWORD value)
{
    SetRaw(section, name, REG_DWORD, &value, sizeof(value));
}

// Every value of a section, by name.
std::map<std::wstring, RawValue> Snapshot(const std::wstring& section)
{
    std::map<std::wstring, RawValue> values;
    UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, ProgramKeyPath(section).c_str(), 0, KEY_QUERY_VALUE, key.Put()) !=
        ERROR_SUCCESS)
        return values;
    DWORD longestName = 0;
    DWORD longestData = 0;
    ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                       &longestData, nullptr, nullptr);
    std::vector<wchar_t> name(longestName + 1);
    std::vector<char> data(longestData + 1);
    for (DWORD index = 0;; ++index)
    {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        RawValue value;
        if (::RegEnumValueW(key.Get(), index, name.data(), &nameLength, nullptr, &value.type,
                            reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
            break;
        value.bytes.assign(data.data(), size);
        values[std::wstring(name.data(), nameLength)] = value;
    }
    return values;
}

std::set<std::wstring> Names(const std::map<std::wstring, RawValue>& values)
{
    std::set<std::wstring> names;
    for (const auto& entry : values)
        names.insert(entry.first);
    return names;
}

std::set<std::wstring> Subkeys(const std::wstring& section)
{
    std::set<std::wstring> names;
    UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, ProgramKeyPath(section).c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.Put()) !=
        ERROR_SUCCESS)
        return names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index)
    {
        DWORD length = 256;
        if (::RegEnumKeyExW(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.insert(name);
    }
    return names;
}

RawValue Dword(DWORD value)
{
    return RawValue{REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof(value))};
}

RawValue Text(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t); // with the terminator
    return RawValue{REG_SZ, std::string(reinterpret_cast<const char*>(text.c_str()), bytes)};
}

// Texts of another process's windows, through messages that carry them across; a hung
// program gives "(no answer)" rather than a hung test. At most a prefix is read: under Wine,
// another process's WM_GETTEXT with a buffer of about 1 MB (2 MB for 64-bit programs)
// overflows the stack of Wine's own copy and kills the window's process.
constexpr std::size_t kTextPrefix = 4096;

DWORD_PTR TextLength(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &length))
        return static_cast<DWORD_PTR>(-1);
    return length;
}

std::wstring WindowText(HWND window)
{
    const DWORD_PTR length = TextLength(window);
    if (length == static_cast<DWORD_PTR>(-1))
        return L"(no answer)";
    std::vector<wchar_t> text(std::min<std::size_t>(length, kTextPrefix) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_ABORTIFHUNG, kAnswerMs, &copied))
        return L"(no answer)";
    return std::wstring(text.data(), copied);
}

std::wstring ControlText(HWND dialog, int id)
{
    return WindowText(::GetDlgItem(dialog, id));
}

bool Checked(HWND dialog, int id)
{
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &state);
    return state == BST_CHECKED;
}

bool Answers(HWND window)
{
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer) != 0;
}

std::wstring TempFolder()
{
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    return temp;
}

int TurnOffLines(const std::wstring& path)
{
    return CountUtf16(ReadFileBytes(path), L"\tTurn Off\n");
}

// The names in a folder, to see that nothing was created there.
std::set<std::wstring> FolderEntries(const std::wstring& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

class BadStoredDataE2e : public ::testing::Test
{
protected:
    // Started hidden, then shown by the tray's "Configure" command.
    void StartAndShow()
    {
        m_program = std::make_unique<RunningProgram>();
        ASSERT_TRUE(m_program->Start(L":silent"));
        m_window = m_program->MainWindow();
        ASSERT_NE(m_window, nullptr) << "no main window: the program ended or hung while starting";
        ::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(ID_CONFIGURE, 0), 0);
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(m_window) != FALSE; }, kStepMs));
    }

    // Shown, the status line has the time at once; the schedule timer has ticked once it moves on.
    void WaitForTick()
    {
        const std::wstring shown = ControlText(m_window, IDC_STATUS);
        EXPECT_TRUE(WaitFor([&] { return ControlText(m_window, IDC_STATUS) != shown; }, kStepMs)) << "no schedule tick";
    }

    HWND OpenSettings()
    {
        ::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(ID_SETTINGS, 0), 0);
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = m_program->MainWindow(kSettingsCaption)) != nullptr; }, kStepMs);
        return dialog;
    }

    void PressOk(HWND dialog)
    {
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs)) << "OK did not close the dialog";
    }

    // "Turn Off Monitor(s) Now" and "... Turn On After 10 Seconds", each handled before the next step.
    void RunMonitorCommands()
    {
        ::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(ID_TURN_OFF_MONITORS_NOW, 0), 0);
        EXPECT_TRUE(Answers(m_window));
        ::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(ID_TURN_OFF_AND_ON_AFTER_10_SECONDS, 0), 0);
        EXPECT_TRUE(Answers(m_window));
    }

    void Lock()
    {
        DWORD_PTR answer = 0;
        EXPECT_TRUE(::SendMessageTimeoutW(m_window, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1, SMTO_ABORTIFHUNG,
                                          kAnswerMs, &answer))
            << "the session lock kept the program busy";
        EXPECT_TRUE(Answers(m_window));
    }

    void ExitCleanly()
    {
        ::PostMessageW(m_window, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(m_program->WaitForExit(kStepMs, exitCode)) << "the program did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    ProgramSettings m_settings; // cleared before and after
    std::unique_ptr<RunningProgram> m_program; // one per run
    HWND m_window = nullptr;
};

TEST_F(BadStoredDataE2e, WrongTypesReadAsAbsentAndOkRewritesTheOptionsWithTheirTypes)
{
    // Each option of the application section with a type the program never writes.
    SetText(L"", L"AllowMultipleInstances", L"1");
    SetText(L"", L"m_bAutoTurnOffWhenLocked", L"1");
    const BYTE delayBytes[] = {0x10, 0x27, 0x00, 0x00};
    SetRaw(L"", L"m_iLockTurnOffDelay", REG_BINARY, delayBytes, sizeof(delayBytes));
    SetRaw(L"", L"m_bKeepALog", REG_DWORD, nullptr, 0);
    SetDword(L"", L"LogFilePath", 5);
    const ULONGLONG one = 1;
    SetRaw(L"", L"m_bSpeakMonitorON", REG_QWORD, &one, sizeof(one));
    SetText(L"", L"m_bSpeakMonitorOFF", std::wstring(L"1\0", 2), REG_MULTI_SZ);
    SetDword(L"", L"m_sMonitorOffText", 7);
    const char binaryText[] = "S\0a\0y\0\0";
    SetRaw(L"", L"m_sMonitorOnText", REG_BINARY, binaryText, sizeof(binaryText));
    SetText(L"", L"m_bKeepMonitorsOff", L"0"); // absent: on, as by default
    SetText(L"", L"m_bFadeBeforeIdleTurnOff", L"0"), SetText(L"", L"m_iNoticeMinutes", L"15");

    // The schedule: flags as texts, binaries, empty data, and one DWORD of an odd value;
    // times of another type and of garbage.
    SetText(kSchedule, L"m_bDay1", L"1");
    const BYTE flagBytes[] = {1, 0, 0, 0};
    SetRaw(kSchedule, L"m_bDay2", REG_BINARY, flagBytes, sizeof(flagBytes));
    SetRaw(kSchedule, L"m_bDay3", REG_DWORD, nullptr, 0);
    SetRaw(kSchedule, L"m_bDay4", REG_NONE, flagBytes, sizeof(flagBytes));
    SetText(kSchedule, L"m_bDay8", L"%PATH%", REG_EXPAND_SZ);
    SetDword(kSchedule, L"m_bDay9", 0x80000000u); // any non-zero number is a set box
    SetRaw(kSchedule, L"m_bTurnOffLockPC", REG_BINARY, nullptr, 0);
    SetText(kSchedule, L"m_bAutoDisplayBlackScreen", L"");
    SetDword(kSchedule, L"m_oTimeTurnOff", 12);
    SetText(kSchedule, L"m_oTimeTurnOn", L"25:61:99 QM \x2603 not a time at all");
    const auto scheduleBefore = Snapshot(kSchedule);
    // More schedules: bad values in the second, none third, one past the last there can be.
    const std::wstring second = std::wstring(kSchedule) + L"\\Schedule 2";
    SetText(second, L"m_bDay1", L"1");
    SetDword(second, L"m_oTimeTurnOff", 12);
    SetDword(std::wstring(kSchedule) + L"\\Schedule 4", L"m_bDay2", 1);
    SetDword(std::wstring(kSchedule) + L"\\Schedule 9", L"m_bDay3", 1);
    const auto secondBefore = Snapshot(second);

    StartAndShow();
    WaitForTick();
    // Without the multiple-instance option the status line carries no instance number.
    EXPECT_EQ(ControlText(m_window, IDC_STATUS).find(L"Instance"), std::wstring::npos);
    for (int id : {IDC_DAY1, IDC_DAY2, IDC_DAY3, IDC_DAY4, IDC_DAY8, IDC_TURN_OFF_LOCK_PC,
                   IDC_AUTO_DISPLAY_BLACK_SCREEN})
    {
        EXPECT_FALSE(Checked(m_window, id)) << "box " << id;
    }
    EXPECT_TRUE(Checked(m_window, IDC_DAY9));

    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr) << "no window \"Settings - VeskaroTest\"";
    for (int id : {IDC_ALLOW_MULTIPLE_INSTANCES, IDC_AUTO_TURN_OFF_WHEN_LOCKED, IDC_KEEP_A_LOG, IDC_SPEAK_MONITOR_ON,
                   IDC_SPEAK_MONITOR_OFF})
    {
        EXPECT_FALSE(Checked(dialog, id)) << "box " << id;
    }
    EXPECT_EQ(ControlText(dialog, IDC_LOCK_TURN_OFF_DELAY), L"1000");
    EXPECT_EQ(ControlText(dialog, IDC_LOG_FILE_PATH), L"");
    EXPECT_EQ(ControlText(dialog, IDC_MONITOR_ON_TEXT), L"Monitor On");
    EXPECT_EQ(ControlText(dialog, IDC_MONITOR_OFF_TEXT), L"Monitor Off");
    PressOk(dialog);

    // OK replaced every option by a value of its own type; nothing else was added.
    const std::map<std::wstring, RawValue> expected = {
        {L"AllowMultipleInstances", Dword(0)}, {L"m_bAutoTurnOffWhenLocked", Dword(0)},
        {L"m_iLockTurnOffDelay", Dword(1000)}, {L"LogFilePath", Text(L"")},
        {L"m_bKeepALog", Dword(0)},            {L"m_bSpeakMonitorON", Dword(0)},
        {L"m_bSpeakMonitorOFF", Dword(0)},     {L"m_sMonitorOffText", Text(L"Monitor Off")},
        {L"m_sMonitorOnText", Text(L"Monitor On")},  {L"m_bKeepMonitorsOff", Dword(1)},
        {L"m_bWakeForTurnOn", Dword(0)},              {L"m_bKeepMonitorsOnWhenScheduled", Dword(0)},
        {L"m_bTurnOffWhenIdle", Dword(0)}, {L"m_iIdleMinutes", Dword(5)}, {L"m_bTurnOffAgainWhenIdle", Dword(0)},
        {L"m_bFadeBeforeIdleTurnOff", Dword(1)}, {L"m_bNoticeBeforeTurnOff", Dword(0)}, {L"m_iNoticeMinutes", Dword(1)}};
    const auto options = Snapshot(L"");
    EXPECT_EQ(Names(options), Names(expected));
    for (const auto& entry : expected)
    {
        SCOPED_TRACE(std::string(entry.first.begin(), entry.first.end()));
        const auto stored = options.find(entry.first);
        ASSERT_NE(stored, options.end());
        EXPECT_EQ(stored->second.type, entry.second.type);
        EXPECT_TRUE(stored->second == entry.second);
    }

    ::PostMessageW(m_window, WM_COMMAND, ID_SCHEDULES, 0);
    HWND schedules = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (schedules = m_program->MainWindow(L"Schedules")) != nullptr; }, kStepMs));
    EXPECT_EQ(::SendMessageW(::GetDlgItem(schedules, IDC_SCHEDULE_LIST), LB_GETCOUNT, 0, 0), 3) << "1, 2 and 4";
    ::PostMessageW(schedules, WM_COMMAND, IDCANCEL, 0);

    RunMonitorCommands();
    Lock();
    // No edit of the schedules was made, so their sections are as they were, bad values and all.
    EXPECT_TRUE(Snapshot(kSchedule) == scheduleBefore);
    EXPECT_TRUE(Snapshot(second) == secondBefore);
    EXPECT_EQ(Subkeys(L""), std::set<std::wstring>{kSchedule});
    EXPECT_EQ(Subkeys(kSchedule), (std::set<std::wstring>{L"Schedule 2", L"Schedule 4", L"Schedule 9"}));
    ExitCleanly();
}

TEST_F(BadStoredDataE2e, HugeTextsAndExtremeDelaysKeepTheProgramResponsive)
{
    const std::wstring megabyte(512 * 1024, L'M'); // 1 MB of UTF-16
    SetText(L"", L"m_sMonitorOnText", megabyte);
    SetRaw(L"", L"m_sMonitorOffText", REG_SZ, nullptr, 0); // present and empty: stays empty
    SetDword(L"", L"m_bAutoTurnOffWhenLocked", 1);
    SetDword(L"", L"m_iLockTurnOffDelay", static_cast<DWORD>(INT_MAX));
    SetText(kSchedule, L"m_oTimeTurnOff", std::wstring(512 * 1024, L'7'));
    std::wstring longTime;
    while (longTime.size() < 10000)
        longTime += L"12:34:56 PM ";
    longTime.resize(10000);
    SetText(kSchedule, L"m_oTimeTurnOn", longTime);
    const auto scheduleBefore = Snapshot(kSchedule);

    StartAndShow();
    WaitForTick();

    HWND dialog = OpenSettings();
    ASSERT_NE(dialog, nullptr) << "no window \"Settings - VeskaroTest\"";
    EXPECT_TRUE(Checked(dialog, IDC_AUTO_TURN_OFF_WHEN_LOCKED));
    EXPECT_EQ(ControlText(dialog, IDC_LOCK_TURN_OFF_DELAY), L"2147483647");
    EXPECT_EQ(TextLength(::GetDlgItem(dialog, IDC_MONITOR_ON_TEXT)), megabyte.size());
    EXPECT_EQ(ControlText(dialog, IDC_MONITOR_ON_TEXT), megabyte.substr(0, kTextPrefix));
    EXPECT_EQ(ControlText(dialog, IDC_MONITOR_OFF_TEXT), L"");
    PressOk(dialog);

    auto options = Snapshot(L"");
    EXPECT_TRUE(options[L"m_iLockTurnOffDelay"] == Dword(static_cast<DWORD>(INT_MAX)));
    EXPECT_TRUE(options[L"m_sMonitorOnText"] == Text(megabyte));
    EXPECT_TRUE(options[L"m_sMonitorOffText"] == Text(L""));

    // A lock with the longest delay there is: the wait must not hold the program.
    Lock();
    RunMonitorCommands();
    EXPECT_TRUE(Answers(m_window));
    EXPECT_TRUE(Snapshot(kSchedule) == scheduleBefore);
    ExitCleanly();
}

// A folder in the temporary folder with the paths of the log cases, removed afterwards.
class LogPaths
{
public:
    LogPaths()
        : base(TempFolder() + L"veskaro-bad-log-" + std::to_wstring(::GetCurrentProcessId())),
          plainFile(base + L"\\plain.log"), folder(base + L"\\folder"), readOnly(base + L"\\read-only.log"),
          missingFolder(base + L"\\missing")
    {
        ::CreateDirectoryW(base.c_str(), nullptr);
        ::CreateDirectoryW(folder.c_str(), nullptr);
        UniqueFile file(::CreateFileW(readOnly.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.Get(), readOnlyBytes.data(), static_cast<DWORD>(readOnlyBytes.size()), &written, nullptr);
        file.Reset();
        ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ~LogPaths()
    {
        ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(readOnly.c_str());
        ::DeleteFileW(plainFile.c_str());
        ::RemoveDirectoryW(folder.c_str());
        ::RemoveDirectoryW(base.c_str());
    }
    LogPaths(const LogPaths&) = delete;
    LogPaths& operator=(const LogPaths&) = delete;

    const std::wstring base;
    const std::wstring plainFile;
    const std::wstring folder;
    const std::wstring readOnly;
    const std::string readOnlyBytes = "kept as it is";
    const std::wstring missingFolder;
};

// Log paths that cannot take a line: each run must survive the turn-offs and leave the path
// as it found it. The first path is a plain file, to show that the same run does write there.
TEST_F(BadStoredDataE2e, LogPathsThatCannotHoldALogAreLeftAlone)
{
    const LogPaths paths;
    ASSERT_NE(::GetFileAttributesW(paths.readOnly.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    const std::wstring inMissingFolder = paths.missingFolder + L"\\events.log";
    const std::wstring currentFolder = TestFolder().substr(0, TestFolder().size() - 1);
    // A pipe is no file: the program must not block on it, nor talk into it.
    const std::wstring pipeName = L"\\\\.\\pipe\\veskaro-bad-log-" + std::to_wstring(::GetCurrentProcessId());
    UniqueFile pipe(::CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096,
                                       4096, 0, nullptr));
    ASSERT_TRUE(pipe);
    const auto pipeBytes = [&pipe] {
        DWORD available = 0;
        ::PeekNamedPipe(pipe.Get(), nullptr, 0, nullptr, &available, nullptr);
        return available;
    };

    struct Case
    {
        std::wstring path;
        int expectedLines;
    };
    const std::vector<Case> cases = {{paths.plainFile, 3}, {paths.folder, 0}, {paths.readOnly, 0}, {L"NUL", 0},
                                     {L"CON", 0},          {pipeName, 0},     {inMissingFolder, 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        ProgramSettings::Clear();
        SetDword(L"", L"m_bKeepALog", 1);
        SetText(L"", L"LogFilePath", c.path);
        SetDword(L"", L"m_bAutoTurnOffWhenLocked", 1);
        SetDword(L"", L"m_iLockTurnOffDelay", static_cast<DWORD>(INT_MIN)); // no wait at all
        const auto baseEntries = FolderEntries(paths.base);
        const auto currentEntries = FolderEntries(currentFolder);

        StartAndShow();
        if (HasFatalFailure())
            return;
        WaitForTick();
        RunMonitorCommands();
        Lock();
        if (c.expectedLines > 0)
        {
            // Every turn-off is written at once; the turn-on comes only after 10 seconds.
            EXPECT_TRUE(WaitFor([&] { return TurnOffLines(c.path) == c.expectedLines; }, kStepMs));
            ExitCleanly();
            continue;
        }
        ExitCleanly();

        EXPECT_EQ(FolderEntries(paths.base), baseEntries) << "a file was created or removed";
        EXPECT_EQ(FolderEntries(currentFolder), currentEntries) << "a file was created beside the program";
        EXPECT_NE(::GetFileAttributesW(paths.folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
        EXPECT_EQ(FolderEntries(paths.folder), (std::set<std::wstring>{L".", L".."})) << "the folder is not empty";
        EXPECT_EQ(ReadFileBytes(paths.readOnly), paths.readOnlyBytes);
        EXPECT_EQ(::GetFileAttributesW(paths.missingFolder.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(pipeBytes(), 0u) << "a line went into the pipe";
        // Nothing but the options the test stored.
        EXPECT_EQ(Names(Snapshot(L"")), (std::set<std::wstring>{L"m_bKeepALog", L"LogFilePath",
                                                                 L"m_bAutoTurnOffWhenLocked", L"m_iLockTurnOffDelay"}));
        EXPECT_TRUE(Subkeys(L"").empty());
    }
}

} // namespace
} // namespace veskaro::testing
