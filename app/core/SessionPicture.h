// A typing session as a picture: the lesson and, under each of its lines, what was typed, laid
// out and drawn by the library with a real font on a sheet, typos coloured as on the screen, the
// caret, and above the sheet the lesson's title and figures.
#pragma once

#include <string>

#include "Session.h"
#include "render/CairoDC.h"

class SessionPicture {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;
    // The lesson's font: pixels to the em.
    static constexpr LONG kTextEm = 20;

    // Lays both articles of session out anew, measured in dc with the picture's font, on the
    // picture's papers; the session's screen layout is gone after this, so the session is
    // not typed into again. dc should be kWidth x kHeight.
    SessionPicture(Session& session, CairoDC& dc);

    int PageCount() const { return m_nPages; }
    // The page that holds the word being typed, from 1.
    int CurrentPage() const;
    // Draws page nPage (from 1) with title and figures above it. False, drawing nothing, when
    // the lesson has no such page.
    bool Draw(int nPage, const std::string& title, const SessionFigures& figures);

    const RECT& ReferencePaper() const { return m_rcRefPaper; }
    const RECT& TypedPaper() const { return m_rcTypedPaper; }

private:
    // The article whose lines set the pages: the typed one when it lays out its own lines.
    Article* PagedArticle() const;
    void ShowPage(int nPage);
    void DrawHeader(const std::string& title, const SessionFigures& figures);
    void DrawFooter(int nPage);
    void DrawCaret();

    Session& m_session;
    CairoDC& m_dc;
    RECT m_rcSheet{};
    RECT m_rcRefPaper{};
    RECT m_rcTypedPaper{};
    int m_nPageLines = 1;
    int m_nPages = 1;
};
