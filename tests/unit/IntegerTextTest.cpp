#include "framework/IntegerText.h"

#include <gtest/gtest.h>

using veskaro::ParseInt32;

TEST(IntegerText, AcceptsSignedDecimalsWithinRange)
{
    int value = 7;
    EXPECT_TRUE(ParseInt32(L"0", value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(ParseInt32(L"  1000 ", value));
    EXPECT_EQ(value, 1000);
    EXPECT_TRUE(ParseInt32(L"-250", value));
    EXPECT_EQ(value, -250);
    EXPECT_TRUE(ParseInt32(L"2147483647", value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_TRUE(ParseInt32(L"-2147483648", value));
    EXPECT_EQ(value, -2147483647 - 1);
}

TEST(IntegerText, RefusesEmptyMalformedAndOutOfRangeTextLeavingTheValue)
{
    int value = 42;
    for (const wchar_t* text : {L"", L"   ", L"-", L"+", L"12a", L"1 2", L"0x10", L"2147483648", L"-2147483649",
                                L"99999999999", L"99999999999999999999999999"})
    {
        EXPECT_FALSE(ParseInt32(text, value)) << text;
        EXPECT_EQ(value, 42);
    }
}

TEST(IntegerText, DecimalTextWritesWhatParseReadsBackOverTheWholeRange)
{
    using veskaro::DecimalText;
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(7), L"7");
    EXPECT_EQ(DecimalText(1000), L"1000");
    EXPECT_EQ(DecimalText(-250), L"-250");
    EXPECT_EQ(DecimalText(2147483647), L"2147483647");
    EXPECT_EQ(DecimalText(-2147483647 - 1), L"-2147483648");
    for (int value : {-2147483647 - 1, -1000000007, -10, -9, -1, 0, 1, 9, 10, 99, 100, 65535, 2147483647})
    {
        int back = 42;
        EXPECT_TRUE(ParseInt32(DecimalText(value), back)) << value;
        EXPECT_EQ(back, value);
    }
}
