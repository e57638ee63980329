#include "SessionPicture.h"

#include <algorithm>
#include <ostream>

#include "Commands.h"
#include "Picture.h"
#include "Stats.h"

namespace {

constexpr int kExitRefused = 2;
constexpr int kExitWrite = 1;

// The sheet the papers lie on, the header above it and the footer below it.
constexpr int kSheetMargin = 32;
constexpr int kSheetTop = 92;
constexpr int kSheetBottomGap = 44;
constexpr int kPaperInsetX = 36;
constexpr int kPaperInsetY = 28;
constexpr int kTitleY = 20;
constexpr int kFiguresY = 56;
constexpr LONG kTitleEm = 22;
constexpr LONG kSmallEm = 14;

// The caret: a pale block one mean character wide, with a dark bar at its left edge.
constexpr COLORREF kCaretFill = RGB(255, 232, 150);
constexpr int kCaretBar = 2;

// The library's own colours, for the legend.
constexpr COLORREF kTypedGrey = RGB(96, 96, 96);
constexpr COLORREF kWrongRed = RGB(255, 0, 0);
constexpr COLORREF kMissingGreen = RGB(0, 255, 0);
constexpr COLORREF kCurrentBlue = RGB(0, 0, 255);

// Scrolls article so that line is its top line.
void ScrollTo(Article* article, int line) {
    const int top = article->GetScrollTopLine();
    if (top > 0) {
        article->Scroll(-top);
    }
    if (line > 0) {
        article->Scroll(line);
    }
}

}  // namespace

SessionPicture::SessionPicture(Session& session, CairoDC& dc) : m_session(session), m_dc(dc) {
    SetRect(&m_rcSheet, kSheetMargin, kSheetTop, m_dc.GetWidth() - kSheetMargin,
            m_dc.GetHeight() - kSheetBottomGap);
    // With a line spacing of 1.0 every lesson line has a free line under it, where the typed
    // paper (one line lower) puts what was typed: a page of P lines is 2P - 1 lines high.
    const LOGFONTA font = picture::Font(kTextEm);
    const int lineHeight = std::max<int>(picture::TextSize(m_dc, "Ag", font).cy, 1);
    const int room = (m_rcSheet.bottom - m_rcSheet.top) - 2 * kPaperInsetY;
    m_nPageLines = std::max((room + lineHeight) / (2 * lineHeight), 1);
    SetRect(&m_rcRefPaper, m_rcSheet.left + kPaperInsetX, m_rcSheet.top + kPaperInsetY,
            m_rcSheet.right - kPaperInsetX,
            m_rcSheet.top + kPaperInsetY + (2 * m_nPageLines - 1) * lineHeight);
    m_rcTypedPaper = m_rcRefPaper;
    OffsetRect(&m_rcTypedPaper, 0, lineHeight);

    // SetPaperRect lays out in the desktop context, which is the session's screen of cells;
    // the layout that counts is measured again here, in dc, the reference first.
    Article* ref = m_session.Reference();
    TypeArticle* typed = m_session.Typed();
    ref->SetFont(&font);
    typed->SetFont(&font);
    ref->SetPaperRect(&m_rcRefPaper);
    ref->Recalculate(&m_dc);
    typed->SetPaperRect(&m_rcTypedPaper);
    typed->Recalculate(&m_dc);
    m_nPages = std::max(ref->GetPageCount(), 1);
    if (PagedArticle() != ref) {
        m_nPages = std::max(m_nPages, typed->GetPageCount());
    }
}

Article* SessionPicture::PagedArticle() const {
    if (m_session.Options().method == tdNone) {
        return m_session.Typed();
    }
    return m_session.Reference();
}

int SessionPicture::CurrentPage() const {
    const int line = PagedArticle()->GetTokenLine(m_session.CurrentToken());
    return std::clamp(line / m_nPageLines + 1, 1, m_nPages);
}

void SessionPicture::ShowPage(int nPage) {
    const int line = (nPage - 1) * m_nPageLines;
    Article* ref = m_session.Reference();
    TypeArticle* typed = m_session.Typed();
    ScrollTo(ref, line);
    // A checked typing article takes the reference's scroll position when it lays out; a free
    // one has lines of its own and scrolls by itself.
    if (m_session.Options().method == tdNone) {
        ScrollTo(typed, line);
    } else {
        typed->Recalculate(&m_dc);
    }
}

bool SessionPicture::Draw(int nPage, const std::string& title, const SessionFigures& figures) {
    if (nPage < 1 || nPage > m_nPages) {
        return false;
    }
    ShowPage(nPage);
    RECT all;
    SetRect(&all, 0, 0, m_dc.GetWidth(), m_dc.GetHeight());
    m_dc.FillRect(all, picture::kDesk);
    m_dc.FillRect(m_rcSheet, picture::kSheet);
    picture::Frame(m_dc, m_rcSheet, picture::kRule);
    DrawHeader(title, figures);

    RECT caret{};
    m_session.Typed()->GetCaretRect(&m_dc, &caret);
    const bool caretShown = caret.top >= m_rcTypedPaper.top && caret.top < m_rcTypedPaper.bottom;
    if (caretShown) {
        m_dc.FillRect(caret, kCaretFill);
    }
    m_session.Reference()->Draw(&m_dc, &m_rcRefPaper);
    // A page that nothing has been typed on yet has no typed text to draw.
    TypeArticle* typed = m_session.Typed();
    if (typed->GetTokenLine(typed->GetTypedWordCount() - 1) >= typed->GetScrollTopLine()) {
        typed->Draw(&m_dc, &m_rcTypedPaper);
    }
    if (caretShown) {
        caret.right = caret.left + kCaretBar;
        m_dc.FillRect(caret, picture::kInk);
    }
    DrawFooter(nPage);
    return true;
}

void SessionPicture::DrawHeader(const std::string& title, const SessionFigures& f) {
    picture::Text(m_dc, kSheetMargin, kTitleY, title, picture::Font(kTitleEm, FW_BOLD),
                  picture::kInk);
    const std::string figures =
        FormatDuration(f.activeSeconds) + " typing     " + std::to_string(f.speed) + " cpm     " +
        std::to_string(f.wordSpeed) + " wpm     accuracy " + std::to_string(f.accuracy) +
        "%     errors " + std::to_string(f.errors) + "     words " + std::to_string(f.words) +
        " (" + std::to_string(f.wrongWords) + " wrong)     " +
        (m_session.IsFinished() ? "finished" : "not finished");
    picture::Text(m_dc, kSheetMargin, kFiguresY, figures, picture::Font(kSmallEm), picture::kMuted);
}

void SessionPicture::DrawFooter(int nPage) {
    const LOGFONTA font = picture::Font(kSmallEm);
    const int y = m_rcSheet.bottom + (kSheetBottomGap - picture::TextSize(m_dc, "Ag", font).cy) / 2;
    const int swatch = kSmallEm - 4;
    const struct {
        COLORREF color;
        const char* label;
    } kLegend[] = {{kTypedGrey, "typed right"},
                   {kWrongRed, "wrong"},
                   {kMissingGreen, "left out"},
                   {kCurrentBlue, "the word to type"},
                   {kCaretFill, "the caret"}};
    int x = kSheetMargin;
    for (const auto& item : kLegend) {
        RECT box;
        SetRect(&box, x, y + 3, x + swatch, y + 3 + swatch);
        m_dc.FillRect(box, item.color);
        x += swatch + 6;
        x += picture::Text(m_dc, x, y, item.label, font, picture::kMuted) + 22;
    }
    const std::string page = "page " + std::to_string(nPage) + " of " + std::to_string(m_nPages);
    const int width = picture::TextSize(m_dc, page, font).cx;
    picture::Text(m_dc, m_rcSheet.right - width, y, page, font, picture::kMuted);
}

int RunSnapshot(const Options& options, std::ostream& out, std::ostream& err) {
    ReplayInput input;
    // A lesson of the history is replayed in the method and on the screen it was typed on.
    Options replay = options;
    if (options.lessonNumber > 0 ? !LoadLoggedLesson(options, &input, &replay, err)
                                 : !LoadReplayInput(options, &input, err)) {
        return kExitRefused;
    }
    ScopedFakeClock clock(input.start);
    Session session;
    std::string error;
    if (!session.Create(input.lesson.text, replay.session, &error)) {
        err << "typetutor: " << error << "\n";
        return kExitRefused;
    }
    GridScreen screen(replay.replayCols, replay.replayRows);
    PlayReplay(input, replay, session, screen, clock);
    const SessionFigures figures = session.Figures();

    CairoDC dc(SessionPicture::kWidth, SessionPicture::kHeight, picture::kDesk);
    SessionPicture snapshot(session, dc);
    const int page = options.page > 0 ? options.page : snapshot.CurrentPage();
    if (!snapshot.Draw(page, LessonTitle(input.lesson, replay.session), figures)) {
        err << "typetutor: --page " << page << ": the lesson has " << snapshot.PageCount()
            << (snapshot.PageCount() == 1 ? " page" : " pages") << " in the picture\n";
        return kExitRefused;
    }
    if (!dc.WritePng(options.outFile)) {
        err << "typetutor: " << options.outFile << ": cannot be written\n";
        return kExitWrite;
    }
    out << options.outFile << ": page " << page << " of " << snapshot.PageCount() << "\n";
    return 0;
}
