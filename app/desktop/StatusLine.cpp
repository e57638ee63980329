#include "StatusLine.h"

#include <pangomm/layout.h>

StatusLine::StatusLine() {
    set_draw_func(sigc::mem_fun(*this, &StatusLine::OnDraw));
    set_hexpand(true);
    // Once the widget has its style, whose font a theme may change.
    signal_realize().connect([this] { FitHeight(); });
}

void StatusLine::SetText(const std::string& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    update_property(Gtk::Accessible::Property::LABEL, Glib::Value<Glib::ustring>([&text] {
                        Glib::Value<Glib::ustring> v;
                        v.init(Glib::Value<Glib::ustring>::value_type());
                        v.set(text);
                        return v;
                    }()));
    queue_draw();
}

void StatusLine::FitHeight() {
    int width = 0;
    int height = 0;
    create_pango_layout("Xg")->get_pixel_size(width, height);
    set_content_height(height);
}

void StatusLine::OnDraw(const Cairo::RefPtr<Cairo::Context>& cr, int /*width*/, int /*height*/) {
    const Gdk::RGBA ink = get_style_context()->get_color();
    cr->set_source_rgba(ink.get_red(), ink.get_green(), ink.get_blue(), ink.get_alpha());
    create_pango_layout(m_text)->show_in_cairo_context(cr);
}
