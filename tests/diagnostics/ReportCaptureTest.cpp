#include "diagnostics/ReportCapture.h"

#include <gtest/gtest.h>

#include "diagnostics/Report.h"

namespace {

TEST(ReportCapture, CollectsMessagesWithModuleAndLineAndNests) {
    ScopedReportCapture outer;
    TW_REPORT("Article/Article", "first");
    const int line = __LINE__ - 1;
    {
        ScopedReportCapture inner;
        TW_REPORT("Article/Token", "second");
        EXPECT_EQ(inner.Messages(), std::vector<std::string>{"second"});
        EXPECT_EQ(inner.Reports()[0].file, "Article/Token");
    }
    ASSERT_EQ(outer.Reports().size(), 1u);
    EXPECT_EQ(outer.Reports()[0].message, "first");
    EXPECT_EQ(outer.Reports()[0].file, "Article/Article");
    EXPECT_EQ(outer.Reports()[0].line, line);
    EXPECT_EQ(twReport(1, "third", "x", 1, rmDefault, 1), 0);
    EXPECT_EQ(outer.Messages().back(), "third");
}

}  // namespace
