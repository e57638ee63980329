// What the desktop asks programs to look like, followed while the program runs: its colour
// scheme from the XDG desktop portal where one answers, else from GNOME's settings; high
// contrast from GNOME's accessibility settings. Settings whose schema is not installed, and a
// missing portal or session bus, leave the preference unsaid.
#pragma once

#include <giomm.h>

#include <functional>
#include <optional>

#include "Look.h"

class DesktopPreference : public sigc::trackable {
public:
    // changed runs whenever the colour scheme or high contrast changes.
    explicit DesktopPreference(std::function<void()> changed);

    ColorScheme Scheme() const;
    bool HighContrast() const;

private:
    void OnPortalReady(const Glib::RefPtr<Gio::AsyncResult>& result);
    void OnPortalRead(const Glib::RefPtr<Gio::AsyncResult>& result);
    void OnPortalSignal(const Glib::ustring& sender, const Glib::ustring& name,
                        const Glib::VariantContainerBase& parameters);

    std::function<void()> m_changed;
    Glib::RefPtr<Gio::Settings> m_interface;  // org.gnome.desktop.interface
    Glib::RefPtr<Gio::Settings> m_a11y;       // org.gnome.desktop.a11y.interface
    Glib::RefPtr<Gio::DBus::Proxy> m_portal;
    std::optional<ColorScheme> m_portalScheme;  // once the portal answered
};
