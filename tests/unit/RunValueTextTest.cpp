#include "settings/RunValueText.h"

#include <gtest/gtest.h>

using veskaro::RunValueTarget;
using veskaro::RunValueText;

TEST(RunValueText, PathIsQuotedSoBlanksCannotSplitIt)
{
    EXPECT_EQ(RunValueText(L"C:\\Program Files\\Veskaro\\Veskaro.exe"),
              L"\"C:\\Program Files\\Veskaro\\Veskaro.exe\" :silent");
}

TEST(RunValueText, TargetOfQuotedAndUnquotedForms)
{
    const std::wstring path = L"C:\\Program Files\\Veskaro\\Veskaro.exe";
    EXPECT_EQ(RunValueTarget(RunValueText(path)), path);
    EXPECT_EQ(RunValueTarget(L"C:\\Tools\\Veskaro.exe :silent"), L"C:\\Tools\\Veskaro.exe");
    EXPECT_EQ(RunValueTarget(L" \t\"C:\\Tools\\Veskaro.exe\"\t"), L"C:\\Tools\\Veskaro.exe");
    EXPECT_EQ(RunValueTarget(L"C:\\Tools\\Veskaro.exe"), L"C:\\Tools\\Veskaro.exe");
}

TEST(RunValueText, TargetRemovesEveryMarkerAndOnlyOneQuotePair)
{
    EXPECT_EQ(RunValueTarget(L"C:\\A:silent\\B.exe :silent"), L"C:\\A\\B.exe");
    EXPECT_EQ(RunValueTarget(L":silent \"C:\\B.exe\" :silent:silent"), L"C:\\B.exe");
    EXPECT_EQ(RunValueTarget(L"C:\\B.exe :sil:silentent"), L"C:\\B.exe");
    EXPECT_EQ(RunValueTarget(L"C:\\B.exe :SILENT"), L"C:\\B.exe :SILENT");
    EXPECT_EQ(RunValueTarget(L"\"\"C:\\B.exe\"\""), L"\"C:\\B.exe\"");
    EXPECT_EQ(RunValueTarget(L"\"C:\\B.exe"), L"\"C:\\B.exe");
    EXPECT_EQ(RunValueTarget(L"\""), L"\"");
    EXPECT_EQ(RunValueTarget(L"\"\""), L"");
    EXPECT_EQ(RunValueTarget(L" :silent "), L"");
    EXPECT_EQ(RunValueTarget(L""), L"");
}
