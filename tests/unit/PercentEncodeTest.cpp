#include "ui/PercentEncode.h"

#include <gtest/gtest.h>

using veskaro::PercentEncode;

TEST(PercentEncode, KeepsUnreservedCharactersOnly)
{
    EXPECT_EQ(PercentEncode(L""), L"");
    EXPECT_EQ(PercentEncode(L"AZaz09-._~"), L"AZaz09-._~");
    EXPECT_EQ(PercentEncode(L":/?#[]@"), L"%3A%2F%3F%23%5B%5D%40");
    EXPECT_EQ(PercentEncode(L"!$&'()*+,;="), L"%21%24%26%27%28%29%2A%2B%2C%3B%3D");
    EXPECT_EQ(PercentEncode(L" %\"<>\\^`{|}"), L"%20%25%22%3C%3E%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(PercentEncode(std::wstring(L"a\0b\x7F", 4)), L"a%00b%7F");
}

TEST(PercentEncode, AProductAddressBecomesOneQueryValue)
{
    EXPECT_EQ(PercentEncode(L"https://veskaro.example.org/"), L"https%3A%2F%2Fveskaro.example.org%2F");
    // Its own query would otherwise split the share page's parameters.
    EXPECT_EQ(PercentEncode(L"https://h.example/p?a=1&b=2#top"),
              L"https%3A%2F%2Fh.example%2Fp%3Fa%3D1%26b%3D2%23top");
    // Encoding is not idempotent: an escape already present is itself escaped.
    EXPECT_EQ(PercentEncode(L"%41"), L"%2541");
}

TEST(PercentEncode, EncodesEachUtf8ByteOfOtherCharacters)
{
    EXPECT_EQ(PercentEncode(L"\u00E9"), L"%C3%A9");            // two bytes
    EXPECT_EQ(PercentEncode(L"\u20AC"), L"%E2%82%AC");         // three bytes
    EXPECT_EQ(PercentEncode(L"\U0001F600"), L"%F0%9F%98%80");  // four bytes (a pair in UTF-16)
    EXPECT_EQ(PercentEncode(L"x\u00FCy"), L"x%C3%BCy");
}

TEST(PercentEncode, BrokenUtf16BecomesTheReplacementCharacter)
{
    const std::wstring replacement = L"%EF%BF%BD";
    EXPECT_EQ(PercentEncode(std::wstring(1, static_cast<wchar_t>(0xD800))), replacement);
    EXPECT_EQ(PercentEncode(std::wstring(1, static_cast<wchar_t>(0xDC00))), replacement);
    std::wstring reversed{static_cast<wchar_t>(0xDE00), static_cast<wchar_t>(0xD83D), L'a'};
    EXPECT_EQ(PercentEncode(reversed), replacement + replacement + L"a");
    std::wstring highThenText{static_cast<wchar_t>(0xD83D), L'a'};
    EXPECT_EQ(PercentEncode(highThenText), replacement + L"a");
}
