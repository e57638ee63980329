#include "KeyboardPicture.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Space between two keys and the corner radius, in key units.
constexpr double kGap = 0.06;
constexpr double kRadius = 0.12;
constexpr const char* kFace = "DejaVu Sans";
// Labels: a character at this share of a key's height, a name (Shift, Enter) smaller.
constexpr double kCharEm = 0.42;
constexpr double kNameEm = 0.26;

void SetColor(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

bool IsLeftHand(Finger f) {
    return f < Finger::kThumb;
}

}  // namespace

COLORREF KeyboardLook::FingerTint(Finger finger) const {
    // One hue per finger, mirrored between the hands, as touch-typing charts colour them.
    static constexpr COLORREF kLight[] = {
        RGB(247, 196, 196), RGB(250, 224, 178), RGB(250, 246, 180),
        RGB(198, 236, 196), RGB(214, 214, 214), RGB(190, 222, 246),
        RGB(222, 204, 246), RGB(250, 224, 178), RGB(247, 196, 196)};
    static constexpr COLORREF kDark[] = {RGB(110, 52, 52), RGB(112, 82, 40), RGB(100, 96, 36),
                                         RGB(44, 96, 52),  RGB(70, 70, 70),  RGB(40, 78, 112),
                                         RGB(78, 60, 110), RGB(112, 82, 40), RGB(110, 52, 52)};
    const auto i = static_cast<size_t>(finger);
    if (!dark) {
        return kLight[i];
    }
    if (!highContrast) {
        return kDark[i];
    }
    // Darker still, for white labels at 7:1.
    const COLORREF c = kDark[i];
    return RGB(GetRValue(c) * 3 / 4, GetGValue(c) * 3 / 4, GetBValue(c) * 3 / 4);
}

COLORREF KeyboardLook::Ink() const {
    if (highContrast) {
        return dark ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }
    return dark ? RGB(235, 235, 235) : RGB(30, 30, 30);
}

COLORREF KeyboardLook::Border() const {
    if (highContrast) {
        return Ink();
    }
    return dark ? RGB(20, 20, 20) : RGB(120, 120, 120);
}

double KeyboardLook::BorderWidth(double unit, bool lit) const {
    if (highContrast) {
        return lit ? std::max(4.0, unit / 10) : 2.0;
    }
    return lit ? std::max(2.0, unit / 14) : 1.0;
}

RECT KeyboardPicture::KeyRect(int index, double x, double y, double unit) const {
    const KeyCap& key = m_keyboard.Keys()[static_cast<size_t>(index)];
    RECT rc{};
    SetRect(&rc, static_cast<int>(std::lround(x + (key.x + kGap / 2) * unit)),
            static_cast<int>(std::lround(y + (key.row + kGap / 2) * unit)),
            static_cast<int>(std::lround(x + (key.x + key.width - kGap / 2) * unit)),
            static_cast<int>(std::lround(y + (key.row + 1 - kGap / 2) * unit)));
    return rc;
}

std::vector<int> KeyboardPicture::LitKeys(const std::vector<KeyPress>& presses) const {
    std::vector<int> lit;
    for (const KeyPress& press : presses) {
        if (press.key < 0) {
            continue;
        }
        lit.push_back(press.key);
        if (press.level == kShiftLevel) {
            // The Shift of the other hand, so that one hand holds it while the other types.
            const Finger f = m_keyboard.Keys()[static_cast<size_t>(press.key)].finger;
            const int shift = m_keyboard.Find(IsLeftHand(f) ? "RTSH" : "LFSH");
            if (shift >= 0) {
                lit.push_back(shift);
            }
        }
        const int altGr = press.level == kAltGrLevel ? m_keyboard.Find("RALT") : -1;
        if (altGr >= 0) {
            lit.push_back(altGr);
        }
    }
    return lit;
}

void KeyboardPicture::Draw(cairo_t* cr, double x, double y, double unit,
                           const std::vector<KeyPress>& presses, const KeyboardLook& look) const {
    const std::vector<int> lit = LitKeys(presses);
    cairo_save(cr);
    cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    const auto& keys = m_keyboard.Keys();
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyCap& key = keys[i];
        const bool isLit = std::find(lit.begin(), lit.end(), static_cast<int>(i)) != lit.end();
        const double kx = x + (key.x + kGap / 2) * unit;
        const double ky = y + (key.row + kGap / 2) * unit;
        const double kw = (key.width - kGap) * unit;
        const double kh = (1 - kGap) * unit;
        RoundedRect(cr, kx, ky, kw, kh, kRadius * unit);
        SetColor(cr, isLit ? look.Lit() : look.FingerTint(key.finger));
        cairo_fill_preserve(cr);
        SetColor(cr, look.Border());
        cairo_set_line_width(cr, look.BorderWidth(unit, isLit));
        cairo_stroke(cr);

        const std::string label = CapLabel(key);
        if (label.empty()) {
            continue;
        }
        cairo_set_font_size(cr, (key.label.empty() ? kCharEm : kNameEm) * unit);
        // Centred across by the label's advance and upright by the font's, so that a full stop
        // stays on the baseline.
        cairo_text_extents_t ext{};
        cairo_text_extents(cr, label.c_str(), &ext);
        cairo_font_extents_t font{};
        cairo_font_extents(cr, &font);
        SetColor(cr, isLit ? look.LitInk() : look.Ink());
        cairo_move_to(cr, kx + (kw - ext.x_advance) / 2,
                      ky + kh / 2 + (font.ascent - font.descent) / 2);
        cairo_show_text(cr, label.c_str());
    }
    cairo_restore(cr);
}
