#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <initializer_list>

using veskaro::ApplicationNameFromPath;
using veskaro::ArgumentText;
using veskaro::IsSilentStart;

TEST(CommandLine, ApplicationNameDropsDirectoryAndLastExtension)
{
    EXPECT_EQ(ApplicationNameFromPath(L"C:\\a.b\\Vesk.aro.exe"), L"Vesk.aro");
    EXPECT_EQ(ApplicationNameFromPath(L"C:/Tools\\Veskaro.exe"), L"Veskaro");
    EXPECT_EQ(ApplicationNameFromPath(L"C:\\a.b\\Veskaro"), L"Veskaro");
    EXPECT_EQ(ApplicationNameFromPath(L"Veskaro.exe"), L"Veskaro");
    EXPECT_EQ(ApplicationNameFromPath(L"C:\\dir\\.exe"), L"");
    EXPECT_EQ(ApplicationNameFromPath(L""), L"");
}

TEST(CommandLine, ArgumentTextSkipsProgramName)
{
    EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\Veskaro.exe\"  :silent x"), L":silent x");
    EXPECT_EQ(ArgumentText(L"  \t\"C:\\Program Files\\Veskaro.exe\"\t:silent"), L":silent");
    EXPECT_EQ(ArgumentText(L"C:\\Tools\\Veskaro.exe :silent"), L":silent");
    EXPECT_EQ(ArgumentText(L"Veskaro.exe\t \"a b\" "), L"\"a b\" ");
    EXPECT_EQ(ArgumentText(L"\"C:\\a b.exe\"x y"), L"x y");
    EXPECT_EQ(ArgumentText(L"Veskaro.exe"), L"");
    EXPECT_EQ(ArgumentText(L"\"C:\\unclosed quote :silent"), L"");
    EXPECT_EQ(ArgumentText(L""), L"");
    EXPECT_EQ(ArgumentText(L"   "), L"");
}

TEST(CommandLine, SilentStartOnlyWhenTrimmedTextBeginsWithMarker)
{
    for (const wchar_t* yes : {L":silent", L" \t\r\n\v\f:silent \r\n", L":silent foo", L":silentfoo"})
        EXPECT_TRUE(IsSilentStart(yes)) << yes;
    for (const wchar_t* no : {L"", L"  ", L"foo :silent", L":SILENT", L":silen", L"\":silent\""})
        EXPECT_FALSE(IsSilentStart(no)) << no;
}
