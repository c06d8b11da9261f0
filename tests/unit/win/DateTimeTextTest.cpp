// The date-time value and its texts in the user's locale (English (United States) under
// LANG=C.UTF-8; another locale is checked when the run sets one).
#include "framework/OleDateTime.h"
#include "framework/OutsideWorld.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using veskaro::COleDateTime;

namespace {

COleDateTime At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    st.wMinute = minute;
    st.wSecond = second;
    return COleDateTime::FromSystemTime(st);
}

bool EnglishUnitedStates()
{
    return ::GetUserDefaultLCID() == MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
}

TEST(DateTimeText, EnglishUnitedStatesForms)
{
    if (!EnglishUnitedStates())
        GTEST_SKIP() << "user locale is not English (United States)";
    const COleDateTime morning = At(2026, 12, 6, 7, 1, 38);
    EXPECT_EQ(veskaro::DateTimeText(morning), L"12/6/2026 7:01:38 AM");
    EXPECT_EQ(veskaro::TimeText(morning), L"7:01:38 AM");
    EXPECT_EQ(veskaro::TimeText(At(2026, 12, 6, 22, 30, 0)), L"10:30:00 PM");
    // At exactly midnight the date stands alone, and the time alone is still a time.
    EXPECT_EQ(veskaro::DateTimeText(At(2026, 12, 7, 0, 0, 0)), L"12/7/2026");
    EXPECT_EQ(veskaro::TimeText(At(2026, 12, 7, 0, 0, 0)), L"12:00:00 AM");
    EXPECT_EQ(veskaro::TimeText(At(1899, 12, 29, 6, 0, 0)), L"6:00:00 AM");
}

TEST(DateTimeText, NullIsEmptyAndInvalidSaysSo)
{
    EXPECT_EQ(veskaro::DateTimeText(COleDateTime(0.0, COleDateTime::null)), L"");
    EXPECT_EQ(veskaro::TimeText(COleDateTime(0.0, COleDateTime::null)), L"");
    EXPECT_EQ(veskaro::DateTimeText(COleDateTime(0.0, COleDateTime::invalid)), L"Invalid DateTime");
    EXPECT_EQ(veskaro::TimeText(COleDateTime(45000.5, COleDateTime::invalid)), L"Invalid DateTime");
    // A value outside the representable dates fails the conversion.
    EXPECT_EQ(veskaro::DateTimeText(COleDateTime(1e300)), L"Invalid DateTime");
    EXPECT_EQ(veskaro::TimeText(COleDateTime(1e300)), L"Invalid DateTime");
}

TEST(DateTimeText, TimeTextParsesBackToTheSameTimeOfDayInAnyLocale)
{
    const COleDateTime original = At(2026, 12, 6, 22, 30, 5);
    COleDateTime parsed;
    ASSERT_TRUE(parsed.ParseDateTime(veskaro::TimeText(original)));
    EXPECT_EQ(parsed.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(veskaro::TimeText(parsed), veskaro::TimeText(original));
    // A time alone is a time of 30 December 1899.
    EXPECT_LT(parsed.m_dt, 1.0);
}

TEST(DateTimeText, UnparsableTextsBecomeInvalid)
{
    COleDateTime value = At(2026, 12, 6, 7, 1, 38);
    EXPECT_FALSE(value.ParseDateTime(L"garbage"));
    EXPECT_EQ(value.GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(value.m_dt, 0.0); // a type mismatch
    EXPECT_EQ(veskaro::TimeText(value), L"Invalid DateTime");
    EXPECT_FALSE(value.ParseDateTime(std::wstring(10000, L'9')));
    EXPECT_EQ(value.GetStatus(), COleDateTime::invalid);
}

TEST(DateTimeText, WeekdayAndTheCurrentTime)
{
    EXPECT_EQ(At(2026, 12, 6, 7, 1, 38).GetDayOfWeek(), 1); // Sunday
    EXPECT_EQ(At(2026, 12, 7, 0, 0, 0).GetDayOfWeek(), 2);  // Monday
    EXPECT_EQ(COleDateTime(0.0, COleDateTime::invalid).GetDayOfWeek(), -1);

    // Tests run in UTC: 1796540498 is 2026-12-06 07:01:38.
    const COleDateTime now = COleDateTime::FromTime64(1796540498);
    ASSERT_EQ(now.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(now.m_dt, At(2026, 12, 6, 7, 1, 38).m_dt);
    EXPECT_EQ(COleDateTime::FromTime64(-1).GetStatus(), COleDateTime::invalid);
}

TEST(DateTimeText, GermanFormsWhenTheUserLocaleIsGerman)
{
    if (PRIMARYLANGID(LANGIDFROMLCID(::GetUserDefaultLCID())) != LANG_GERMAN)
        GTEST_SKIP() << "run with LANG=de_DE.UTF-8 to check another locale";
    const COleDateTime morning = At(2026, 12, 6, 7, 1, 38);
    // Day with or without its leading zero, as the platform's German short date has it.
    const std::wstring text = veskaro::DateTimeText(morning);
    EXPECT_TRUE(text == L"06.12.2026 07:01:38" || text == L"6.12.2026 07:01:38") << std::string(text.begin(), text.end());
    EXPECT_EQ(veskaro::TimeText(morning), L"07:01:38");
}

TEST(TickCount, QuietTimeAcrossTheWrapAndNoneForAnInputAhead)
{
    EXPECT_EQ(veskaro::MillisecondsBetween(1000, 3500), 2500u);
    EXPECT_EQ(veskaro::MillisecondsBetween(0xFFFFFF00u, 0x100u), 0x200u);
    EXPECT_EQ(veskaro::MillisecondsBetween(5016, 5000), 0u) << "input now, not 49 days of quiet";
}

} // namespace
