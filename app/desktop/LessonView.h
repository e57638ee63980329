// The lesson and what is typed under each of its lines, drawn by the library through a CairoDC.
//
// GTK 4 asks a drawing area for its whole picture at every frame, so the library draws into a
// surface the view keeps (at the screen's scale, for sharp text on HiDPI), and each frame paints
// that surface and the caret. A key draws only what it changed into the surface: the last typed
// words (RedrawLastWord) and, when the word to type moved, the two lesson words concerned.
#pragma once

#include <gtkmm/drawingarea.h>

#include <memory>

#include "PaletteDC.h"
#include "Session.h"
#include "render/CairoDC.h"

class LessonView : public Gtk::DrawingArea {
public:
    LessonView();
    ~LessonView() override;
    LessonView(const LessonView&) = delete;
    LessonView& operator=(const LessonView&) = delete;

    // Shows session (null for none); it is laid out at the view's size.
    void SetSession(Session* session);
    void SetFontSize(int pixels);
    void SetLook(const Look& look);
    // The lesson's bytes are drawn as these characters (its profile's code page).
    void SetCodePage(const ByteCharacters& characters);
    // Lays the lesson out again (font, size or scale changed) and draws it all.
    void Relayout();
    // Draws both articles anew.
    void Repaint();
    // Draws what a key changed.
    void ShowKey(const KeyEffect& effect);
    // False while the view is too small for one line of the lesson.
    bool Fits() const { return m_bFits; }
    // Microseconds the drawing of the last key took.
    double LastDrawMicros() const { return m_lastDrawMicros; }
    // Every key draws both articles anew (what the latency benchmark compares against).
    void SetFullRedraw(bool on) { m_bFullRedraw = on; }

protected:
    void on_resize(int width, int height) override;

private:
    void OnDraw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);
    void ClearRect(const RECT& rc);
    // A second Cairo surface over the pixels of the kept one, which the frames take as their
    // source: Cairo keeps a frame's source as a snapshot that the source's next change would
    // copy whole (2 MB a key), and this surface is never changed through Cairo, only its pixels
    // by the kept one. Every change is followed by queue_draw, so no frame shows stale pixels.
    void SetFrameSource();

    Session* m_session = nullptr;
    std::unique_ptr<CairoDC> m_dc;
    ByteCharacters m_characters;
    std::unique_ptr<PaletteDC> m_paletteDC;
    cairo_surface_t* m_pFrameSource = nullptr;
    Palette m_palette = Palette::Light();
    int m_nFontSize = 20;
    int m_nScale = 1;
    bool m_bFits = false;
    bool m_bFullRedraw = false;
    double m_lastDrawMicros = 0;
};
