// The event log on real files.
#include "window/ScheduleTestSupport.h"

#include "notify/EventLog.h"

#include <thread>

namespace veskaro::testing {
namespace {

// What the file holds for ASCII text: each character, then a zero byte.
std::string Utf16(const std::string& text)
{
    std::string bytes;
    for (char c : text)
    {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

class EventLog : public MainWindowTest
{
protected:
    EventLog() : m_file(L"event.log") {}

    void LogTo(const std::wstring& path, int keep = 1)
    {
        m_store.WriteProfileInt(L"", L"m_bKeepALog", keep);
        m_store.WriteProfileString(L"", L"LogFilePath", path);
    }
    void Append(bool turnOff) { AppendEventLog(m_store, m_outside, turnOff); }

    // Holds the file open while letting others read and write it too: only an exclusive
    // open, as each line's writer makes, is refused meanwhile.
    UniqueFile Hold() const
    {
        return UniqueFile(::CreateFileW(m_file.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    ScratchFile m_file;
};

TEST_F(EventLog, NewFileHoldsExactlyTheLineWithoutByteOrderMark)
{
    LogTo(m_file.Path());
    Append(true);
    EXPECT_EQ(m_file.Bytes(), Utf16("12/6/2026 7:01:38 AM\tTurn Off\n"));
}

TEST_F(EventLog, LinesGoAfterWhatTheFileHolds)
{
    const std::string existing = "\xFF\xFE" "earlier lines of another encoding\r\n";
    {
        UniqueFile file(::CreateFileW(m_file.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.Get(), existing.data(), static_cast<DWORD>(existing.size()), &written, nullptr));
    }
    LogTo(m_file.Path());
    Append(true);
    m_outside.now += 3600 * 12;
    Append(false);
    m_outside.now = -1; // a time that has no text
    Append(false);
    EXPECT_EQ(m_file.Bytes(), existing + Utf16("12/6/2026 7:01:38 AM\tTurn Off\n12/6/2026 7:01:38 PM\tTurn On\n"
                                               "Invalid DateTime\tTurn On\n"));
}

TEST_F(EventLog, NothingWrittenWhenLoggingIsOffOrThePathEmpty)
{
    Append(true); // nothing stored at all
    LogTo(m_file.Path(), 0);
    Append(true);
    EXPECT_FALSE(m_file.Exists());
    LogTo(L"", 1);
    Append(false);
    EXPECT_FALSE(m_file.Exists());
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

TEST_F(EventLog, MissingFolderDropsTheLineSilently)
{
    ScratchFile inMissingFolder(L"no-such-folder\\event.log");
    LogTo(inMissingFolder.Path());
    Append(true);
    EXPECT_FALSE(inMissingFolder.Exists());
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

TEST_F(EventLog, PathIsReadForEveryLine)
{
    ScratchFile second(L"event-2.log");
    LogTo(m_file.Path());
    Append(true);
    LogTo(second.Path());
    Append(false);
    EXPECT_EQ(LogEvents(m_file.Bytes()), Events{L"Turn Off"});
    EXPECT_EQ(LogEvents(second.Bytes()), Events{L"Turn On"});
}

TEST_F(EventLog, FileHeldForAMomentIsWrittenOnceReleased)
{
    LogTo(m_file.Path());
    UniqueFile held = Hold();
    ASSERT_TRUE(held);
    // Another instance finishing its own line; only a thread can let go meanwhile.
    std::thread other([&held] {
        ::Sleep(100);
        held.Reset();
    });
    Append(true);
    other.join();
    EXPECT_EQ(LogEvents(m_file.Bytes()), Events{L"Turn Off"});
}

TEST_F(EventLog, FileHeldLongerDropsTheLineAndTheProgramGoesOn)
{
    LogTo(m_file.Path());
    {
        UniqueFile held = Hold();
        ASSERT_TRUE(held);
        const ULONGLONG start = ::GetTickCount64();
        Append(true);
        const ULONGLONG waited = ::GetTickCount64() - start;
        EXPECT_GE(waited, 200u);
        EXPECT_LT(waited, 2000u);
    }
    EXPECT_EQ(m_file.Bytes(), "");
    Append(false);
    EXPECT_EQ(LogEvents(m_file.Bytes()), Events{L"Turn On"});
    EXPECT_TRUE(m_outside.messageBoxes.empty());
}

} // namespace
} // namespace veskaro::testing
