#include "render/CairoDC.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "RenderSupport.h"

namespace {

using render_test::CountInk;
using render_test::CountPixels;
using render_test::LogFont;
using render_test::PixelCounts;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

RECT Rect(int left, int top, int right, int bottom) {
    RECT rc;
    SetRect(&rc, left, top, right, bottom);
    return rc;
}

// A text's width is the sum of its characters' widths, so that the article can measure a line
// token by token; the cell grows with the font and holds the ascent.
TEST(CairoDCMeasure, WidthsAddUpCharacterByCharacterInEveryFace) {
    const std::string text = "The quick, brown fox.\xE9\x80\x93";
    CairoDC dc(10, 10);
    for (const char* face : {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"}) {
        long previousHeight = 0;
        for (int em : {9, 13, 24, 40}) {
            SCOPED_TRACE(std::string(face) + " " + std::to_string(em));
            dc.SelectObject(LogFont(face, -em));
            long sum = 0;
            for (char c : text) {
                sum += dc.GetTextExtent(std::string(1, c)).cx;
            }
            const SIZE size = dc.GetTextExtent(text);
            EXPECT_EQ(size.cx, sum);
            EXPECT_GT(size.cy, previousHeight);
            EXPECT_GE(size.cy, em);
            EXPECT_GT(dc.GetTextAscent(), 0);
            EXPECT_LT(dc.GetTextAscent(), size.cy);
            previousHeight = size.cy;
            const bool fixed = std::string(face).find("Mono") != std::string::npos;
            EXPECT_EQ(dc.GetTextExtent("iiiii").cx == dc.GetTextExtent("WWWWW").cx, fixed);
        }
    }
}

// The bytes are the code page's characters: 0xEF is ï in Windows-1252 and a wider п in
// Windows-1251.
TEST(CairoDCMeasure, AnotherCodePageGivesTheBytesItsCharacters) {
    CairoDC dc(10, 10);
    dc.SelectObject(LogFont("DejaVu Sans", -20));
    const long western = dc.GetTextExtent("\xEF").cx;
    ByteCharacters cyrillic{};
    for (size_t b = 0; b < cyrillic.size(); ++b) {
        cyrillic[b] = static_cast<char32_t>(b);
    }
    cyrillic[0xEF] = U'\u043F';
    dc.SetCodePage(cyrillic);
    EXPECT_GT(dc.GetTextExtent("\xEF").cx, western);
}

// A face named and found is taken as asked; without a face found, the pitch asked for decides:
// a fixed-pitch face gives every character the same advance, a variable one does not.
TEST(CairoDCFonts, MatchesNameWeightSlantAndPitch) {
    struct Case {
        LOGFONTA lf;
        const char* family;
        const char* style;
    };
    const Case cases[] = {
        {LogFont("DejaVu Serif", -16), "DejaVu Serif", "Book"},
        {LogFont("DejaVu Sans", -16, FW_BOLD), "DejaVu Sans", "Bold"},
        {LogFont("DejaVu Sans", -16, FW_NORMAL, 1), "DejaVu Sans", "Oblique"},
        {LogFont("DejaVu Sans Mono", -16, FW_BOLD, 1), "DejaVu Sans Mono", "Bold Oblique"},
    };
    CairoDC dc(10, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.family) + " " + c.style);
        dc.SelectObject(c.lf);
        std::string s;
        EXPECT_EQ(dc.GetTextFace(s), c.family);
        EXPECT_EQ(dc.GetTextStyle(s), c.style);
    }
    const struct {
        LOGFONTA lf;
        bool fixed;
    } generic[] = {
        {LogFont("", -16, FW_NORMAL, 0, FIXED_PITCH), true},
        {LogFont("No Such Face", -16, FW_NORMAL, 0, FIXED_PITCH), true},
        {LogFont("", -16, FW_NORMAL, 0, VARIABLE_PITCH | 0x10), false},
    };
    for (const auto& g : generic) {
        dc.SelectObject(g.lf);
        std::string s;
        SCOPED_TRACE(dc.GetTextFace(s));
        EXPECT_EQ(dc.GetTextExtent("iiiii").cx == dc.GetTextExtent("WWWWW").cx, g.fixed);
    }
}

TEST(CairoDCDraw, TextIsInkOfTheTextColourInsideItsCell) {
    for (COLORREF color : {kBlue, kRed, RGB(0, 255, 0), RGB(0x60, 0x60, 0x60), RGB(0, 0, 0)}) {
        SCOPED_TRACE(color);
        CairoDC dc(200, 60);
        dc.SelectObject(LogFont("DejaVu Sans", -20));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(color);
        EXPECT_TRUE(dc.TextOut(30, 15, "Wrong"));
        const SIZE size = dc.GetTextExtent("Wrong");
        const RECT cell = Rect(30, 15, 30 + size.cx, 15 + size.cy);
        const PixelCounts inside = CountPixels(dc, cell, color);
        EXPECT_GT(inside.changed, 40);
        EXPECT_GT(inside.strong, 20);
        EXPECT_EQ(inside.offColour, 0);
        // Nothing lands outside the cell, give or take a pixel of anti-aliasing.
        const RECT around = Rect(cell.left - 1, cell.top - 1, cell.right + 1, cell.bottom + 1);
        EXPECT_EQ(CountInk(dc, Rect(0, 0, 200, 60)), CountInk(dc, around));
    }
}

TEST(CairoDCDraw, PixelsOutsideTheClipBoxStayUntouched) {
    CairoDC dc(200, 60, RGB(200, 220, 240));
    CairoDC reference(200, 60, RGB(200, 220, 240));
    ASSERT_EQ(reference.GetPixel(199, 59), RGB(200, 220, 240));  // the background asked for
    EXPECT_EQ(reference.GetPixel(200, 0), CLR_INVALID);
    EXPECT_EQ(reference.GetPixel(0, -1), CLR_INVALID);
    const RECT clip = Rect(40, 10, 90, 40);
    dc.SetClipBox(clip);
    dc.SelectObject(LogFont("DejaVu Sans", -24));
    dc.SetBkColor(kRed);
    dc.TextOut(10, 12, "Clipped text");  // opaque: the background is clipped too
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(20, 30, "Clipped text");
    dc.FillRect(Rect(0, 0, 200, 5), kBlue);
    int changedInside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool inside =
                x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            if (inside) {
                changedInside += dc.GetPixel(x, y) != reference.GetPixel(x, y) ? 1 : 0;
            } else {
                ASSERT_EQ(dc.GetPixel(x, y), reference.GetPixel(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(changedInside, 200);
    // Reset, the box is the whole surface again.
    dc.ResetClipBox();
    dc.FillRect(Rect(150, 50, 160, 60), kBlue);
    EXPECT_EQ(dc.GetPixel(155, 55), kBlue);
}

TEST(CairoDCFile, WritesAPngOfTheSurface) {
    CairoDC dc(123, 45);
    dc.FillRect(Rect(10, 10, 20, 20), kBlue);
    const std::string path = render_test::ScratchPath("surface.png");
    ASSERT_TRUE(dc.WritePng(path));
    cairo_surface_t* read = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(read), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(read), 123);
    EXPECT_EQ(cairo_image_surface_get_height(read), 45);
    // The blue square and the white around it, as 0xAARRGGBB words.
    const auto* pixels = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(read));
    const int stride = cairo_image_surface_get_stride(read) / 4;
    EXPECT_EQ(pixels[15 * stride + 15] & 0xFFFFFFu, 0x0000FFu);
    EXPECT_EQ(pixels[30 * stride + 30] & 0xFFFFFFu, 0xFFFFFFu);
    cairo_surface_destroy(read);
    std::remove(path.c_str());
    EXPECT_FALSE(dc.WritePng("/nonexistent-folder/x.png"));
}

TEST(CairoDesktop, HostsInstallItAsTheDesktopContext) {
    CairoDesktopDCProvider provider(64, 48);
    ScopedDesktopDCProvider scope(&provider);
    CDC* first = GetDesktopDC();
    ASSERT_NE(first, nullptr);
    RECT rc;
    first->GetClipBox(&rc);
    EXPECT_EQ(rc.right, 64);
    EXPECT_EQ(rc.bottom, 48);
    first->SelectObject(LogFont("DejaVu Serif", 30));
    first->SetTextColor(kRed);
    first->SetBkMode(TRANSPARENT);
    // A request while the kept context is out gets a context of its own.
    CDC* second = GetDesktopDC();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->GetTextExtent("abcd").cx, 32);
    ReleaseDesktopDC(second);
    ReleaseDesktopDC(first);
    // The kept context comes back with its defaults.
    CDC* again = GetDesktopDC();
    EXPECT_EQ(again, first);
    EXPECT_EQ(again->GetTextExtent("abcd").cx, 32);
    EXPECT_EQ(again->GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(again->GetBkMode(), OPAQUE);
    ReleaseDesktopDC(again);
}

}  // namespace
