// A minimal host of the typing-tutor library: builds a lesson, lays it out, types a few keys
// against it, prints the session's figures and adds the lesson to the learner's history.
//
// Usage: minimal_host [HISTORY_DIR]   (default: the current directory)
#include <cstdio>
#include <filesystem>
#include <string>

#include "Article/Article.h"
#include "Article/TypingLog.h"
#include "diagnostics/Tracewise.h"
#include "platform/FixedPitchDC.h"

// The library reports misuse and failures through one channel; a host routes them to its log.
class PrintReports : public ReportSink {
public:
    void OnReport(int, const char* message, const char* module, int line, ReportMethod,
                  int) override {
        std::fprintf(stderr, "library: %s (%s:%d)\n", message, module, line);
    }
};

int Fail(const char* what) {
    std::fprintf(stderr, "minimal_host: %s\n", what);
    return 1;
}

int main(int argc, char** argv) {
    const std::filesystem::path dir = argc > 1 ? argv[1] : ".";
    const std::string lessonPath = (dir / "lessons.dat").string();
    const std::string wordPath = (dir / "words.dat").string();
    PrintReports reports;
    SetReportSink(&reports);

    // The facade owns both articles; a FixedPitchDC measures every byte as an 8 x 16 cell.
    ArticleFile lesson;
    if (!lesson.Create("The cat\nsat down.", TRUE, tdByLetter)) {
        return Fail("the lesson was refused");
    }
    Article* text = lesson.GetArt();
    TypeArticle* typing = lesson.GetTypeArt();
    FixedPitchDC dc;
    const RECT textPaper{0, 0, 400, 100};
    const RECT typingPaper{0, 120, 400, 220};
    text->SetPaperRect(&textPaper);
    typing->SetPaperRect(&typingPaper);
    text->Draw(&dc, &textPaper);
    std::printf("lines %d, tokens %d\n", text->GetLineCount(), text->GetTokenCount());

    // The history: load what is there, and begin a record for this lesson.
    CLessonTrackFile lessons;
    CWordTrackFile words;
    if ((std::filesystem::exists(lessonPath) && !lessons.Open(lessonPath.c_str())) ||
        (std::filesystem::exists(wordPath) && !words.Open(wordPath.c_str()))) {
        return Fail("the history does not open");
    }
    lessons.AddNewTrack(1, 0, 0);

    // Every key: judge it, redraw the word it went into, place the caret. One typo ("cst").
    typing->StartTyping();
    RECT caret{};
    for (char key : std::string("The cst\nsat down.")) {
        typing->TypeChar(key);
        typing->RedrawLastWord(&dc, 1);
        typing->GetCaretRect(&dc, &caret);
    }
    std::printf("keys %d, errors %d, accuracy %d%%, words %d, wrong words %d\n",
                typing->GetKeyCount(), typing->GetErrorCount(), typing->GetAccuracy(),
                typing->GetTypedWordCount(), typing->GetWrongWordCount());
    std::printf("speed %d keys/min over %d s, drawn %zu texts\n", typing->GetSpeed(),
                typing->GetActiveSeconds(), dc.Outputs().size());

    // Hand the session over to the history and save it.
    if (!typing->FillLessonTrack(&lessons) || !typing->AddWordTracks(&words) ||
        !lessons.Save(lessonPath.c_str()) || !words.Save(wordPath.c_str())) {
        return Fail("the history was not saved");
    }
    std::printf("history: %d lessons, %d words\n", lessons.GetLessonCount(), words.GetWordCount());
    SetReportSink(nullptr);
    return 0;
}
