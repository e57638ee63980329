// Lays a lesson out on a paper of a given width and prints every line with the rectangles of
// its tokens, measured in the desktop's fixed 8 x 16 cells.
//
// Usage: lesson_demo LESSON [PAPER_WIDTH]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "Article/Art.h"

namespace {

constexpr int kDefaultPaperWidth = 320;
constexpr int kPaperHeight = 400;
constexpr int kMaxPaperWidth = 1 << 20;

int Usage() {
    std::fprintf(stderr, "usage: lesson_demo LESSON [PAPER_WIDTH]  (width 1..%d pixels)\n",
                 kMaxPaperWidth);
    return 2;
}

bool ReadFile(const char* path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    out = text.str();
    return true;
}

bool ParseWidth(const char* arg, int& width) {
    char* end = nullptr;
    const long value = std::strtol(arg, &end, 10);
    if (end == arg || *end != '\0' || value < 1 || value > kMaxPaperWidth) {
        return false;
    }
    width = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        return Usage();
    }
    int width = kDefaultPaperWidth;
    if (argc == 3 && !ParseWidth(argv[2], width)) {
        return Usage();
    }
    std::string text;
    if (!ReadFile(argv[1], text)) {
        std::fprintf(stderr, "lesson_demo: cannot read %s\n", argv[1]);
        return 1;
    }

    Art art;
    Article& article = art;
    if (!article.SetText(text.c_str())) {
        std::fprintf(stderr, "lesson_demo: the lesson was refused\n");
        return 1;
    }
    const RECT paper{0, 0, width, kPaperHeight};
    article.SetPaperRect(&paper);
    if (article.GetLineCount() < 0) {
        return 1;
    }

    std::printf("%s: tokens %d, lines %d, pages %d, paper %d x %d, line pitch %d\n", argv[1],
                article.GetTokenCount(), article.GetLineCount(), article.GetPageCount(), width,
                kPaperHeight, article.GetLinePitch());
    int token = 0;
    std::string word;
    for (int line = 0; line < article.GetLineCount(); ++line) {
        std::string shown;
        std::string rects;
        for (; token < article.GetTokenCount() && article.GetTokenLine(token) == line; ++token) {
            art.GetTokens()[token]->GetString(word);
            RECT rc;
            article.GetTokenRect(&rc, token);
            shown += (shown.empty() ? "" : " ") + word;
            char row[160];
            std::snprintf(row, sizeof row, "    [%4ld,%4ld,%4ld,%4ld] %s\n",
                          static_cast<long>(rc.left), static_cast<long>(rc.top),
                          static_cast<long>(rc.right), static_cast<long>(rc.bottom), word.c_str());
            rects += row;
        }
        std::printf("line %2d (right %3d): %s\n%s", line, article.GetLineRight(line), shown.c_str(),
                    rects.c_str());
    }
    return 0;
}
