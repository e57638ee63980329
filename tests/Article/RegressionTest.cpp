// Inputs that the fuzz targets once found to misbehave, kept so that they stay fixed.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>
#include <vector>

#include "Article/Art.h"
#include "diagnostics/ReportCapture.h"
#include "platform/FixedPitchDC.h"

namespace {

using Clock = std::chrono::steady_clock;

// Far more than drawing a few lines can take, even under valgrind; far less than visiting two
// billion lines one by one.
constexpr auto kDrawDeadline = std::chrono::seconds(2);

std::vector<std::string> DrawnTexts(const FixedPitchDC& dc) {
    std::vector<std::string> texts;
    for (const TextOutput& out : dc.Outputs()) {
        texts.push_back(out.text);
    }
    return texts;
}

// A paper INT_MAX pixels tall in a one-pixel font without line gap holds about two billion
// lines; drawing it into a clipping band must cost only the lines of that band.
class TallPaperDraw : public ::testing::Test {
protected:
    void SetUp() override {
        LOGFONTA lf{};
        lf.lfHeight = 1;
        lf.lfWidth = 8;
        art.SetFont(&lf);
        art.SetLineSpacing(0.0);
        art.SetText("one\ntwo\nthree\nfour\n");
        const RECT paper{0, 0, 320, INT_MAX};
        art.SetPaperRect(&paper);
        ASSERT_EQ(art.GetLinePitch(), 1);
    }

    std::vector<std::string> DrawClipped(int top, int bottom) {
        dc.SetClipBox(RECT{0, top, 320, bottom});
        const RECT paper{0, 0, 320, INT_MAX};
        const auto start = Clock::now();
        EXPECT_TRUE(art.Draw(&dc, &paper));
        EXPECT_LT(Clock::now() - start, kDrawDeadline);
        return DrawnTexts(dc);
    }

    ScopedReportCapture reports;
    Art art;
    FixedPitchDC dc;
};

TEST_F(TallPaperDraw, StopsAtTheFirstBandBelowTheClippingBox) {
    EXPECT_EQ(DrawClipped(1, 3), (std::vector<std::string>{"two", "three"}));
}

TEST_F(TallPaperDraw, StartsAtTheFirstBandThatMeetsAClippingBoxFarDown) {
    EXPECT_EQ(DrawClipped(INT_MAX / 2, INT_MAX / 2 + 10), std::vector<std::string>{});
}

}  // namespace
