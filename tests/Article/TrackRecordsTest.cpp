#include "Article/TrackRecords.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace {

std::vector<unsigned char> CharImage(int keys, int time, int errors) {
    std::vector<unsigned char> image(16, 0);
    std::memcpy(&image[4], &keys, 4);
    std::memcpy(&image[8], &time, 4);
    std::memcpy(&image[12], &errors, 4);
    return image;
}

CCharTrack Slot(int keys, int time, int errors, char ch = 'a') {
    CCharTrack t(ch);
    t.m_nKeys = keys;
    t.m_nTime = time;
    t.m_nErrors = errors;
    return t;
}

TEST(CharTrack, InitAnswersZeroOnlyWithoutKeysWithoutTimeAndMoreErrorsThanKeys) {
    struct Case {
        int keys, time, errors, expected;
    };
    const Case cases[] = {
        {0, 0, 1, 0}, {0, 0, 0, 1}, {-3, 5, 9, 1}, {2, 0, 7, 1}, {-1, -1, 0, 0}, {5, 10, 1, 1},
    };
    for (const Case& c : cases) {
        CCharTrack t;
        std::vector<unsigned char> image = CharImage(c.keys, c.time, c.errors);
        image[0] = 'q';
        EXPECT_EQ(t.Init(image.data()), c.expected) << c.keys << " " << c.time << " " << c.errors;
        EXPECT_EQ(t.m_chChar, 'q');
        EXPECT_EQ(t.m_nKeys, c.keys);
        EXPECT_EQ(t.m_nErrors, c.errors);
    }
}

TEST(LessonTrack, InitChecksDateTimeAndTotals) {
    struct Case {
        const char* what;
        void (*change)(CLessonTrack&);
        int expected;
    };
    const Case cases[] = {
        {"sound record", [](CLessonTrack&) {}, 1},
        {"year 2000", [](CLessonTrack& t) { t.m_wYear = 2000; }, 0},
        {"year 2201", [](CLessonTrack& t) { t.m_wYear = 2201; }, 0},
        {"year 2200", [](CLessonTrack& t) { t.m_wYear = 2200; }, 1},
        {"month 0", [](CLessonTrack& t) { t.m_wMonth = 0; }, 0},
        {"month 13", [](CLessonTrack& t) { t.m_wMonth = 13; }, 0},
        {"hour 24", [](CLessonTrack& t) { t.m_wHour = 24; }, 0},
        {"minute 60", [](CLessonTrack& t) { t.m_wMinute = 60; }, 0},
        {"errors above keys", [](CLessonTrack& t) { t.m_nErrors = t.m_nKeys + 1; }, 0},
        {"negative keys",
         [](CLessonTrack& t) {
             t.m_nKeys = -1;
             t.m_nErrors = -2;
         },
         0},
        {"wrong words above words", [](CLessonTrack& t) { t.m_nWordErrors = 6; }, 0},
        {"day 0", [](CLessonTrack& t) { t.m_wDay = 0; }, 1},
        {"negative seconds", [](CLessonTrack& t) { t.m_nSeconds = -7; }, 1},
    };
    ScopedFakeClock clock(2024, 5, 6, 7, 8);
    for (const Case& c : cases) {
        CLessonTrack source;
        source.m_nKeys = 10;
        source.m_nErrors = 2;
        source.m_nWords = 5;
        source.m_nWordErrors = 1;
        c.change(source);
        CLessonTrack target;
        EXPECT_EQ(target.Init(reinterpret_cast<const unsigned char*>(&source)), c.expected)
            << c.what;
        EXPECT_EQ(std::memcmp(&target, &source, sizeof source), 0) << c.what;
    }
}

TEST(LessonTrack, SumRecomputesSpeedFromTheSumsAndKeepsTheHigherTopSpeed) {
    ScopedFakeClock clock(2024, 1, 2, 3, 4);
    CLessonTrack a, b;
    a.m_nSeconds = b.m_nSeconds = 30;
    a.m_nKeys = b.m_nKeys = 150;
    a.m_nErrors = 3;
    b.m_nErrors = 4;
    a.m_dSpeed = 1.0;
    b.m_dSpeed = 2.0;
    a.m_dTopSpeed = 400.0;
    b.m_dTopSpeed = 390.0;
    a.m_nWords = 20;
    b.m_nWords = 22;
    b.m_nWordErrors = 2;
    b.m_byLessonId1 = 9;
    b.m_aCharTrack['e'] = Slot(7, 700, 1, 'e');
    a += b;
    EXPECT_EQ(a.m_nSeconds, 60);
    EXPECT_EQ(a.m_nKeys, 300);
    EXPECT_EQ(a.m_nErrors, 7);
    EXPECT_DOUBLE_EQ(a.m_dSpeed, 300.0);
    EXPECT_DOUBLE_EQ(a.m_dTopSpeed, 400.0);
    EXPECT_EQ(a.m_nWords, 42);
    EXPECT_EQ(a.m_nWordErrors, 2);
    EXPECT_EQ(a.m_byLessonId1, 0);
    EXPECT_EQ(a.m_aCharTrack['e'].m_nTime, 700);
    EXPECT_EQ(a.m_aCharTrack['e'].m_chChar, 'e');

    b.m_dTopSpeed = 401.0;
    a += b;
    EXPECT_DOUBLE_EQ(a.m_dTopSpeed, 401.0);
}

// Weakest first: by accuracy the lowest share of right keys, by speed the fewest right keys per
// millisecond; records without keys or time sort last.
TEST(SortCharTrack, SortsWeakestFirstByEitherCriterion) {
    const struct {
        const char* name;
        SortCriteria criterion;
        std::vector<CCharTrack> slots;
        const char* order;
    } cases[] = {
        {"by accuracy",
         scByAccuracy,
         {Slot(10, 1, 7, 'a'), Slot(10, 1, 9, 'b'), Slot(10, 1, 8, 'c')},
         "bca"},
        {"by speed",
         scBySpeed,
         {Slot(30, 10, 0, 'a'), Slot(10, 10, 0, 'b'), Slot(20, 10, 0, 'c')},
         "bca"},
        {"no time", scBySpeed, {Slot(5, 0, 0, 'n'), Slot(40, 1, 0, 'f')}, "fn"},
        {"no keys", scByAccuracy, {Slot(0, 0, 0, 'n'), Slot(4, 1, 0, 'p')}, "pn"},
        // Accuracy a 0.5, b 0.5, c 0.0, d 0.5: the pivot a ends up left of its equals, which
        // keep the order the swaps gave them.
        {"equal keys",
         scByAccuracy,
         {Slot(2, 1, 1, 'a'), Slot(4, 1, 2, 'b'), Slot(2, 1, 2, 'c'), Slot(6, 1, 3, 'd')},
         "cabd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<CCharTrack> slots = c.slots;
        SortCharTrack(slots.data(), static_cast<int>(slots.size()), c.criterion);
        std::string order;
        for (const CCharTrack& t : slots) {
            order += t.m_chChar;
        }
        EXPECT_EQ(order, c.order);
    }
}

}  // namespace
