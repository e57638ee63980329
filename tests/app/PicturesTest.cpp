// The pictures: a replayed session drawn with a real font, and the progress charts of a history.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "Commands.h"
#include "KeyboardLayout.h"
#include "ProgressPicture.h"
#include "SessionPicture.h"
#include "support/TestFiles.h"

namespace {

bool IsRed(COLORREF c) {
    return GetRValue(c) >= 200 && GetGValue(c) <= 90 && GetBValue(c) <= 90;
}

// Pixels in rc for which test holds.
template <typename Test>
int Count(const CairoDC& dc, const RECT& rc, Test test) {
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y) {
        for (int x = rc.left; x < rc.right; ++x) {
            n += test(dc.GetPixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// Runs a command line in-process; its exit code, with what it wrote in *out and *err.
int RunCommand(const std::vector<std::string>& args, std::string* out, std::string* err) {
    Options options;
    std::string error;
    if (!ParseCommandLine(args, "", &options, &error)) {
        *err = error;
        return -1;
    }
    std::ostringstream o;
    std::ostringstream e;
    const int code = options.command == Command::kSnapshot ? RunSnapshot(options, o, e)
                     : options.command == Command::kReplay ? RunReplay(options, o, e)
                                                           : RunReport(options, o, e);
    *out = o.str();
    *err = e.str();
    return code;
}

// A replay drawn into a picture, which keeps no history; and a lesson of the history drawn from
// its logged keys exactly as its replay was drawn.
TEST(SessionSnapshot, DrawsAReplayOrALessonOfTheHistoryFromItsLoggedKeys) {
    TempDir dir;
    WriteText(dir.File("lesson.txt"), "hello world\nagain\n");
    WriteText(dir.File("keys.txt"), "100 h\n300 x\n500 BACKSPACE\n700 e\n900 l\n");
    std::string out;
    std::string err;
    auto with = [&dir](std::vector<std::string> args) {
        args.insert(args.end(), {dir.File("lesson.txt"), "--replay", dir.File("keys.txt")});
        return args;
    };
    ASSERT_EQ(RunCommand(with({"snapshot", "--out", dir.File("s.png"), "--data-dir",
                               dir.File("data"), "--justify"}),
                         &out, &err),
              0)
        << err;
    cairo_surface_t* png = cairo_image_surface_create_from_png(dir.File("s.png").c_str());
    EXPECT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), SessionPicture::kWidth);
    EXPECT_EQ(cairo_image_surface_get_height(png), SessionPicture::kHeight);
    cairo_surface_destroy(png);
    EXPECT_FALSE(PathExists(dir.File("data"))) << "a picture is not a lesson";
    // The lesson fits on one page.
    EXPECT_EQ(
        RunCommand(with({"snapshot", "--out", dir.File("p2.png"), "--page", "2"}), &out, &err), 2);
    EXPECT_EQ(err, "typetutor: --page 2: the lesson has 1 page in the picture\n");
    EXPECT_FALSE(PathExists(dir.File("p2.png")));

    ASSERT_EQ(RunCommand(with({"--size", "60x20", "--data-dir", dir.File("data")}), &out, &err), 0)
        << err;
    ASSERT_EQ(RunCommand(with({"snapshot", "--size", "60x20", "--out", dir.File("replayed.png")}),
                         &out, &err),
              0)
        << err;
    ASSERT_EQ(RunCommand({"snapshot", "--lesson", "1", "--out", dir.File("logged.png"),
                          "--data-dir", dir.File("data")},
                         &out, &err),
              0)
        << err;
    EXPECT_EQ(ReadBytes(dir.File("logged.png")), ReadBytes(dir.File("replayed.png")));
    EXPECT_EQ(RunCommand({"snapshot", "--lesson", "2", "--out", dir.File("none.png"), "--data-dir",
                          dir.File("data")},
                         &out, &err),
              2);
    EXPECT_EQ(err, "typetutor: --lesson 2: the history holds 1 lesson\n");
}

class SessionPictureTest : public ::testing::Test {
protected:
    void Open(const std::string& text) {
        std::string error;
        ASSERT_TRUE(session.Create(text, SessionOptions{}, &error)) << error;
        ASSERT_TRUE(session.Layout(80, 24));
    }
    void Type(const std::string& keys) {
        for (char c : keys) {
            session.Type(c);
        }
    }

    ScopedFakeClock clock{2025, 3, 4, 9, 0};
    Session session;
    CairoDC dc{SessionPicture::kWidth, SessionPicture::kHeight};
};

TEST_F(SessionPictureTest, TheTypoIsRedInItsWordAndNowhereElseAndTheCaretShows) {
    Open("hello world again");
    Type("hxllo wor");
    SessionPicture picture(session, dc);
    ASSERT_TRUE(picture.Draw(1, "test", session.Figures()));

    RECT typo;
    session.Typed()->GetTokenDrawRect(&typo, 0);
    const int red = Count(dc, typo, IsRed);
    EXPECT_GT(red, 10);
    // The legend below the sheet is red too; on the typed paper only the typo is.
    EXPECT_EQ(Count(dc, picture.TypedPaper(), IsRed), red);

    // The caret stands after "wor", where nothing is drawn over it.
    RECT caret;
    session.Typed()->GetCaretRect(&dc, &caret);
    const COLORREF c = dc.GetPixel(caret.left + 4, caret.top + 2);
    EXPECT_TRUE(GetRValue(c) > 240 && GetGValue(c) > 200 && GetBValue(c) < 180) << std::hex << c;
}

// A history of three lessons: speeds and accuracies, and a few characters.
class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        const struct {
            double speed;
            int keys, errors;
        } kLessons[] = {{120, 100, 10}, {300, 100, 0}, {210, 100, 5}};
        for (const auto& l : kLessons) {
            lessons.AddNewTrack(1, 1, 7);
            CLessonTrack* t = lessons.GetLastTrack();
            t->m_dSpeed = l.speed;
            t->m_nKeys = l.keys;
            t->m_nErrors = l.errors;
        }
        // q: half wrong and slow; a: all right and fast.
        CLessonTrack* t = lessons.GetLastTrack();
        t->m_aCharTrack[static_cast<unsigned char>('q')] = Chars('q', 10, 5, 8000);
        t->m_aCharTrack[static_cast<unsigned char>('a')] = Chars('a', 40, 0, 4000);
    }
    static CCharTrack Chars(char c, int keys, int errors, int ms) {
        CCharTrack track(c);
        track.m_nKeys = keys;
        track.m_nErrors = errors;
        track.m_nTime = ms;
        return track;
    }

    ScopedFakeClock clock{2025, 3, 4, 9, 0};
    CLessonTrackFile lessons;
    CairoDC dc{ProgressPicture::kWidth, ProgressPicture::kHeight};
};

TEST_F(ProgressTest, DotsStandWhereTheLessonsFiguresSayAndKeysAreColouredByTheirs) {
    const ProgressPicture picture(lessons, {}, Keyboard::UsQwerty());
    picture.Draw(dc);
    const struct {
        const ProgressPicture::Chart& chart;
        double values[3];
    } kCharts[] = {{picture.SpeedChart(), {120, 300, 210}},
                   {picture.AccuracyChart(), {90, 100, 95}}};
    for (const auto& c : kCharts) {
        const RECT& plot = c.chart.plot;
        ASSERT_LE(c.chart.bottomValue, 90);
        ASSERT_GE(c.chart.topValue, c.values[1]);
        for (int i = 0; i < 3; ++i) {
            const double x = plot.left + (plot.right - plot.left) * i / 2.0;
            const double y = plot.bottom - (plot.bottom - plot.top) *
                                               (c.values[i] - c.chart.bottomValue) /
                                               (c.chart.topValue - c.chart.bottomValue);
            EXPECT_EQ(
                dc.GetPixel(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))),
                ProgressPicture::kDotColor)
                << "lesson " << i << " at " << c.values[i];
        }
    }
    // Keys are coloured by their accuracy and speed.
    auto reddish = [](COLORREF c) { return GetRValue(c) > GetGValue(c) + 60; };
    auto greenish = [](COLORREF c) { return GetGValue(c) > GetRValue(c) + 40; };
    RECT q;
    RECT a;
    RECT p;
    ASSERT_TRUE(picture.KeyRect('Q', &q));
    ASSERT_TRUE(picture.KeyRect('a', &a));
    ASSERT_TRUE(picture.KeyRect('p', &p));
    EXPECT_FALSE(picture.KeyRect('\xE9', &p)) << "no key types e acute";
    const int area = (q.right - q.left) * (q.bottom - q.top);
    EXPECT_GT(Count(dc, q, reddish), area / 2) << "q is half wrong";
    EXPECT_GT(Count(dc, a, greenish), area / 2) << "a is always right";
    EXPECT_EQ(Count(dc, p, reddish) + Count(dc, p, greenish), 0) << "p was never typed";
    // The bar along the foot: q the slowest, a the fastest.
    EXPECT_TRUE(reddish(dc.GetPixel((q.left + q.right) / 2, q.bottom - 8)));
    EXPECT_TRUE(greenish(dc.GetPixel((a.left + a.right) / 2, a.bottom - 8)));
}

TEST_F(ProgressTest, TheKeyboardIsTheProfilesLayout) {
    Keyboard de = Keyboard::UsQwerty();
    std::string error;
    ASSERT_TRUE(ReadKeyboardLayout("de", &de, &error)) << error;
    const ProgressPicture us(lessons, {}, Keyboard::UsQwerty());
    const ProgressPicture german(lessons, {}, de);
    RECT usY;
    RECT deZ;
    RECT deY;
    RECT sharpS;
    ASSERT_TRUE(us.KeyRect('y', &usY));
    ASSERT_TRUE(german.KeyRect('z', &deZ));
    ASSERT_TRUE(german.KeyRect('y', &deY));
    EXPECT_TRUE(EqualRect(&usY, &deZ)) << "Z stands where a US keyboard has Y";
    EXPECT_GT(deY.top, usY.top) << "and Y in the bottom row";
    EXPECT_TRUE(german.KeyRect('\xDF', &sharpS)) << "\xC3\x9F has a key of its own";
    EXPECT_FALSE(us.KeyRect('\xDF', &sharpS));
}

TEST(ProgressReport, WithNoLessonsSaysSoAndDrawsNothing) {
    TempDir dir;
    std::string out;
    std::string err;
    EXPECT_EQ(RunCommand({"report", "--out", dir.File("p.png"), "--data-dir", dir.File("data")},
                         &out, &err),
              1);
    EXPECT_NE(err.find("no lessons yet"), std::string::npos) << err;
    EXPECT_FALSE(PathExists(dir.File("p.png")));
}

}  // namespace
