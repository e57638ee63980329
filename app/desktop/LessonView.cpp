#include "LessonView.h"

#include <algorithm>
#include <chrono>

#include "Encoding.h"
#include "Picture.h"

namespace {

// Room around the lesson, in pixels before the scale.
constexpr int kMargin = 24;
// The caret: a pale block one character wide and a bar at its left edge (as wide as the
// palette says).
constexpr double kCaretBlockAlpha = 0.25;

// Microseconds on the steady clock. The thread's processor-time clock would cost a system call
// at each reading, which right after the wait for a key takes about 5 us: as much as a tenth of
// what a key's drawing takes.
double NowMicros() {
    return std::chrono::duration<double, std::micro>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

LessonView::LessonView() : m_characters(CurrentCodePage().Characters()) {
    set_focusable(true);
    set_hexpand(true);
    set_vexpand(true);
    set_draw_func(sigc::mem_fun(*this, &LessonView::OnDraw));
    property_scale_factor().signal_changed().connect([this] { Relayout(); });
}

LessonView::~LessonView() {
    if (m_pFrameSource) {
        cairo_surface_destroy(m_pFrameSource);
    }
}

void LessonView::SetFrameSource() {
    if (m_pFrameSource) {
        cairo_surface_destroy(m_pFrameSource);
    }
    cairo_surface_t* surface = m_dc->GetSurface();
    cairo_surface_flush(surface);
    m_pFrameSource = cairo_image_surface_create_for_data(
        cairo_image_surface_get_data(surface), cairo_image_surface_get_format(surface),
        cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
        cairo_image_surface_get_stride(surface));
}

void LessonView::SetSession(Session* session) {
    m_session = session;
    Relayout();
}

void LessonView::SetFontSize(int pixels) {
    m_nFontSize = pixels;
    Relayout();
}

void LessonView::SetLook(const Look& look) {
    m_palette = Palette::For(look);
    if (m_paletteDC) {
        m_paletteDC->SetPalette(m_palette);
    }
    Repaint();
}

void LessonView::SetCodePage(const ByteCharacters& characters) {
    m_characters = characters;
    if (m_dc) {
        m_dc->SetCodePage(m_characters);
    }
    Relayout();
}

void LessonView::on_resize(int /*width*/, int /*height*/) {
    Relayout();
}

void LessonView::Relayout() {
    m_nScale = std::max(get_scale_factor(), 1);
    const int width = std::max(get_width(), 1) * m_nScale;
    const int height = std::max(get_height(), 1) * m_nScale;
    // A surface of a new size is made before the old one goes: the session measures in the old
    // one until it is laid out in the new.
    std::unique_ptr<CairoDC> old;
    std::unique_ptr<PaletteDC> oldPalette;
    if (!m_dc || m_dc->GetWidth() != width || m_dc->GetHeight() != height) {
        old = std::move(m_dc);
        oldPalette = std::move(m_paletteDC);
        m_dc = std::make_unique<CairoDC>(width, height, m_palette.sheet);
        m_dc->SetCodePage(m_characters);
        m_paletteDC = std::make_unique<PaletteDC>(*m_dc, m_palette);
        SetFrameSource();
    }
    m_bFits = false;
    if (m_session) {
        m_session->SetFont(picture::Font(m_nFontSize * m_nScale));
        const int margin = kMargin * m_nScale;
        RECT area{};
        SetRect(&area, margin, margin, width - margin, height - margin);
        m_bFits = m_session->LayoutIn(m_paletteDC.get(), area);
    }
    Repaint();
}

void LessonView::ClearRect(const RECT& rc) {
    m_dc->FillRect(rc, m_palette.sheet);
}

void LessonView::Repaint() {
    if (!m_dc) {
        return;
    }
    RECT all{};
    SetRect(&all, 0, 0, m_dc->GetWidth(), m_dc->GetHeight());
    ClearRect(all);
    if (m_session && m_bFits) {
        m_session->Draw(m_paletteDC.get());
    }
    queue_draw();
}

void LessonView::ShowKey(const KeyEffect& effect) {
    if (!m_session || !m_bFits) {
        return;
    }
    const double start = NowMicros();
    if (effect.repaint || m_bFullRedraw) {
        Repaint();
        m_lastDrawMicros = NowMicros() - start;
        return;
    }
    if (effect.lastChanged >= effect.firstChanged) {
        // Each changed typed word is cleared from its left edge to the paper's right: what was
        // typed into it may have grown past it. A word on the line of the one before lies in
        // what that one cleared.
        TypeArticle* typed = m_session->Typed();
        const RECT& paper = m_session->TypedPaper();
        RECT cleared{};
        for (int i = effect.firstChanged; i <= effect.lastChanged; ++i) {
            RECT rc{};
            typed->GetTokenDrawRect(&rc, i);
            rc.right = paper.right + 1;
            if (i > effect.firstChanged && rc.top == cleared.top && rc.bottom == cleared.bottom &&
                rc.left >= cleared.left) {
                continue;
            }
            ClearRect(rc);
            cleared = rc;
        }
        m_session->RedrawTyped(m_paletteDC.get(),
                               m_session->CurrentToken() - effect.firstChanged + 1);
    }
    if (effect.previousToken >= 0) {
        // The word to type moved: the two lesson words concerned are drawn again.
        Article* ref = m_session->Reference();
        for (const int token : {effect.previousToken, m_session->CurrentToken()}) {
            RECT rc{};
            ref->GetTokenDrawRect(&rc, token);
            ClearRect(rc);
            m_dc->SetClipBox(rc);
            ref->Draw(m_paletteDC.get(), &m_session->ReferencePaper());
        }
        m_dc->ResetClipBox();
    }
    m_lastDrawMicros = NowMicros() - start;
    queue_draw();
}

void LessonView::OnDraw(const Cairo::RefPtr<Cairo::Context>& cr, int /*width*/, int /*height*/) {
    if (!m_dc) {
        return;
    }
    cr->save();
    cr->scale(1.0 / m_nScale, 1.0 / m_nScale);
    cairo_surface_flush(m_dc->GetSurface());
    cairo_set_source_surface(cr->cobj(), m_pFrameSource, 0, 0);
    cr->paint();
    if (m_session && m_bFits && !m_session->IsFinished()) {
        const RECT caret = m_session->Caret(m_paletteDC.get());
        const COLORREF c = m_palette.current;
        cr->set_source_rgba(GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0,
                            kCaretBlockAlpha);
        cr->rectangle(caret.left, caret.top, caret.right - caret.left, caret.bottom - caret.top);
        cr->fill();
        cr->set_source_rgb(GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
        cr->rectangle(caret.left, caret.top, m_palette.caretBar * m_nScale,
                      caret.bottom - caret.top);
        cr->fill();
    }
    cr->restore();
}
