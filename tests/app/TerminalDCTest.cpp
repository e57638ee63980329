#include "TerminalDC.h"

#include <gtest/gtest.h>

#include "CellScreen.h"

namespace {

TEST(TerminalDC, ShowsSingleByteTextAsUtf8AndControlBytesAsBlanks) {
    GridScreen screen(10, 1);
    TerminalDC dc(&screen);
    dc.TextOut(0, 0, "\xE9t\x80\x03z", 5);
    EXPECT_EQ(screen.Row(0), "\xC3\xA9t\xE2\x82\xAC z");
}

TEST(GridScreen, KeepsCellsStylesAndCursor) {
    GridScreen screen(8, 3);
    screen.Put(1, 0, "h\xC3\xA9llo world", CellStyle::kHeading);
    EXPECT_EQ(screen.Row(0), " h\xC3\xA9llo w");
    screen.Put(2, 1, "ab", CellStyle::kTyped);
    screen.Put(4, 1, "c", CellStyle::kTypo);
    EXPECT_EQ(screen.StyledRow(1), "  {t}ab{x}c");
    screen.ClearCells(3, 1, 1);
    EXPECT_EQ(screen.StyledRow(1), "  {t}a {x}c");
    screen.Put(0, 5, "off", CellStyle::kNormal);
    EXPECT_EQ(screen.Text(), " h\xC3\xA9llo w\n  a c\n");
    screen.SetCursor(3, 2);
    EXPECT_EQ(screen.CursorX(), 3);
    EXPECT_EQ(screen.CursorY(), 2);
    screen.Resize(4, 1);
    EXPECT_EQ(screen.Text(), "");
}

}  // namespace
