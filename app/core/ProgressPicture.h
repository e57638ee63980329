// The learner's progress as a picture: speed and accuracy over the lessons (each lesson a dot on
// a thin line, the moving average a thick line), and a keyboard as a heat map: every key
// coloured by the accuracy of its characters, with a bar along its foot coloured by their speed;
// the weakest keys framed and named, with their change since a week ago.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Article/TypingLog.h"
#include "Book.h"
#include "Keyboard.h"
#include "Stats.h"
#include "render/CairoDC.h"

class ProgressPicture {
public:
    static constexpr int kWidth = 1200;
    static constexpr int kHeight = 948;
    // Lessons in the moving average: the lesson and those just before it.
    static constexpr int kAverageOf = 5;
    // Weakest keys named, by accuracy and by speed.
    static constexpr int kWeakest = 3;
    // The dots of the lessons, drawn last and solid.
    static constexpr COLORREF kDotColor = RGB(30, 80, 180);

    // Where a chart puts values: lesson i of n at plot.left + i * width / (n - 1) (the middle
    // when n is 1), a value v at its height between bottomValue (plot.bottom) and topValue
    // (plot.top).
    struct Chart {
        RECT plot{};
        double bottomValue = 0;
        double topValue = 1;
    };

    // The keyboard is drawn as the learner's layout has it; keyLog, when given, adds the
    // slowest letter pairs.
    ProgressPicture(const CLessonTrackFile& lessons,
                    const std::map<unsigned short, std::string>& names, const Keyboard& keyboard,
                    const KeyLog* keyLog = nullptr);

    // Where the (first) key that types the byte c is drawn; false for a byte on no key.
    bool KeyRect(char c, RECT* rc) const;

    bool IsEmpty() const { return m_rows.empty(); }
    // The books' progress, the one typed last drawn under the keyboard.
    void SetBooks(std::vector<BookProgress> books) { m_books = std::move(books); }
    const Chart& SpeedChart() const { return m_speed; }
    const Chart& AccuracyChart() const { return m_accuracy; }
    // Draws the whole picture; dc should be kWidth x kHeight.
    void Draw(CairoDC& dc) const;

private:
    void DrawHeader(CairoDC& dc) const;
    void DrawChart(CairoDC& dc, const Chart& chart, const std::string& title,
                   const std::vector<double>& values, double tickStep) const;
    void DrawKeyboard(CairoDC& dc) const;
    // Calls visit(key, bytes it types, x, y, width, height) for every key.
    template <typename Visit>
    void ForEachKey(Visit visit) const;

    // The bytes of the current code page each key of the keyboard types, in key order.
    struct KeyFigures {
        explicit KeyFigures(const Keyboard& keyboard);
        std::vector<std::string> bytes;
    };

    Keyboard m_keyboard;
    KeyFigures m_keys;
    void DrawBook(CairoDC& dc) const;

    std::vector<LessonRow> m_rows;  // oldest first
    std::vector<BookProgress> m_books;
    CLessonTrack m_sum;  // every lesson added up, for the keys
    std::vector<CharRow> m_slowest;
    std::vector<CharRow> m_leastAccurate;
    std::vector<PairRow> m_slowPairs;
    std::vector<KeyChangeRow> m_keyChanges;
    Chart m_speed;
    Chart m_accuracy;
    double m_dSpeedStep = 0;
    double m_dAccuracyStep = 0;
};
