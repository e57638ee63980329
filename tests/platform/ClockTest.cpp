#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace {

TEST(FakeClock, LocalTimeIsUtcPlusTheOffsetAndAdvancesExactly) {
    ScopedFakeClock clock(2024, 3, 10, 23, 59, 59, 900, 120);
    SYSTEMTIME local, utc;
    GetLocalTime(&local);
    GetSystemTime(&utc);
    EXPECT_EQ(local.wYear, 2024);
    EXPECT_EQ(local.wDay, 10);
    EXPECT_EQ(local.wHour, 23);
    EXPECT_EQ(local.wMilliseconds, 900);
    EXPECT_EQ(local.wDayOfWeek, 0);  // a Sunday
    EXPECT_EQ(utc.wHour, 21);

    clock.Advance(150);  // past local midnight
    GetLocalTime(&local);
    EXPECT_EQ(local.wDay, 11);
    EXPECT_EQ(local.wHour, 0);
    EXPECT_EQ(local.wSecond, 0);
    EXPECT_EQ(local.wMilliseconds, 50);
    EXPECT_EQ(local.wDayOfWeek, 1);
}

TEST(FakeClock, CalendarSecondsRoundTripAndDifferByWholeSeconds) {
    ScopedFakeClock clock(2023, 12, 31, 23, 0, 0, 0, -300);
    SYSTEMTIME a = MakeSystemTime(2023, 12, 31, 23, 59, 30, 999);
    SYSTEMTIME b = MakeSystemTime(2024, 1, 1, 0, 0, 10, 0);
    EXPECT_EQ(CTime(b).GetTime() - CTime(a).GetTime(), 40);
    EXPECT_EQ(CTime(MakeSystemTime(1970, 1, 1, 0, 0, 0)).GetTime(), 300 * 60);

    SYSTEMTIME back{};
    ASSERT_TRUE(CTime(a).GetAsSystemTime(back));
    EXPECT_EQ(back.wYear, 2023);
    EXPECT_EQ(back.wMinute, 59);
    EXPECT_EQ(back.wSecond, 30);
    EXPECT_EQ(back.wMilliseconds, 0);
}

TEST(RealClock, ConversionsMadeInTheSameSecondKeepTheirOwnTimes) {
    // More distinct local times than a keystroke converts, each twice, in quick succession.
    const std::int64_t base = CTime(MakeSystemTime(2025, 1, 15, 10, 0, 0)).GetTime();
    for (int round = 0; round < 2; ++round) {
        for (int k = 0; k < 8; ++k) {
            const SYSTEMTIME st = MakeSystemTime(2025, 1, 15, 10, k, 7 * k);
            EXPECT_EQ(CTime(st).GetTime() - base, k * 60 + 7 * k) << "minute " << k;
        }
    }
}

}  // namespace
