#include "app/CommandLine.h"
#include "res/resource.h"

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

TEST(CommandLine, VerbIsTheWholeTrimmedText)
{
    EXPECT_EQ(veskaro::CommandVerb(L":off"), unsigned{ID_TURN_OFF_MONITORS_NOW});
    EXPECT_EQ(veskaro::CommandVerb(L" \t:off-on\r\n"), unsigned{ID_TURN_OFF_AND_ON_AFTER_10_SECONDS});
    EXPECT_EQ(veskaro::CommandVerb(L":lock "), unsigned{ID_LOCK_PC_NOW});
    EXPECT_EQ(veskaro::CommandVerb(L":black"), unsigned{ID_DISPLAY_BLACK_SCREEN});
    for (const wchar_t* no : {L"", L":silent", L":off now", L":off:lock", L":OFF", L":of", L":offon", L"off", L"\":off\""})
        EXPECT_EQ(veskaro::CommandVerb(no), 0u) << no;
}
