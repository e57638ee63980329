// One line of text that changes often, such as the live figures of a lesson. A label asks the
// whole window to be laid out again at every change of its text; this line has a fixed height
// and only draws itself again, so that a change does not delay the frame that shows a key.
#pragma once

#include <gtkmm/drawingarea.h>

#include <string>

class StatusLine : public Gtk::DrawingArea {
public:
    StatusLine();

    void SetText(const std::string& text);
    const std::string& GetText() const { return m_text; }

private:
    void OnDraw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);
    // The height of one line in the widget's font.
    void FitHeight();

    std::string m_text;
};
