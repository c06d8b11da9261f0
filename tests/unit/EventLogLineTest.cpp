#include "notify/EventLogLine.h"

#include <gtest/gtest.h>

using veskaro::EventLogLine;
using veskaro::Utf16LeBytes;

TEST(EventLogLine, LineIsTabSeparatedWithBareLineFeed)
{
    EXPECT_EQ(EventLogLine(L"12/6/2026 7:01:38 AM", true), L"12/6/2026 7:01:38 AM\tTurn Off\n");
    EXPECT_EQ(EventLogLine(L"x", false), L"x\tTurn On\n");
}

TEST(EventLogLine, BytesAreUtf16LittleEndianWithoutBomOrTerminator)
{
    const std::wstring line = EventLogLine(L"12/6/2026 7:01:38 AM", true);
    const std::string bytes = Utf16LeBytes(line);
    ASSERT_EQ(bytes.size(), line.size() * 2);
    const std::string start{'1', 0, '2', 0, '/', 0};
    EXPECT_EQ(bytes.substr(0, 6), start);
    EXPECT_EQ(bytes.substr(40, 4), std::string("\x09\0T\0", 4));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("f\0\x0A\0", 4));
    EXPECT_EQ(Utf16LeBytes(L""), "");
}

TEST(EventLogLine, NonAsciiUnitsKeepBothBytes)
{
    // U+00E9, U+20AC; a lone surrogate passes through untouched.
    EXPECT_EQ(Utf16LeBytes(std::wstring{0x00E9, 0x20AC, 0xD800}), std::string("\xE9\0\xAC\x20\0\xD8", 6));
}

TEST(EventLogLine, WideCharactersBecomeSurrogatePairsWhereWcharIs32Bit)
{
    if (sizeof(wchar_t) < 4)
        GTEST_SKIP() << "wchar_t already holds UTF-16 here";
    const std::wstring text(1, static_cast<wchar_t>(0x1F600));
    EXPECT_EQ(Utf16LeBytes(text), std::string("\x3D\xD8\x00\xDE", 4));
    const std::wstring invalid(1, static_cast<wchar_t>(-1));
    EXPECT_EQ(Utf16LeBytes(invalid), std::string("\xFD\xFF", 2));
}
