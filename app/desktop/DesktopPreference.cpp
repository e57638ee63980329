#include "DesktopPreference.h"

namespace {

constexpr const char* kAppearance = "org.freedesktop.appearance";
constexpr const char* kColorScheme = "color-scheme";

// The settings of schemaId, when the schema is installed with key; none otherwise (creating
// settings of a missing schema aborts the program).
Glib::RefPtr<Gio::Settings> SettingsIfInstalled(const char* schemaId, const char* key) {
    auto source = Gio::SettingsSchemaSource::get_default();
    if (!source) {
        return {};
    }
    auto schema = source->lookup(schemaId, true);
    if (!schema || !schema->has_key(key)) {
        return {};
    }
    return Gio::Settings::create(schemaId);
}

// The portal's value: older portals box it in one variant more than the interface says.
std::optional<guint32> PortalNumber(Glib::VariantBase value) {
    while (value.is_of_type(Glib::VARIANT_TYPE_VARIANT)) {
        value = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::VariantBase>>(value).get();
    }
    if (!value.is_of_type(Glib::VARIANT_TYPE_UINT32)) {
        return std::nullopt;
    }
    return Glib::VariantBase::cast_dynamic<Glib::Variant<guint32>>(value).get();
}

}  // namespace

DesktopPreference::DesktopPreference(std::function<void()> changed)
    : m_changed(std::move(changed)),
      m_interface(SettingsIfInstalled("org.gnome.desktop.interface", kColorScheme)),
      m_a11y(SettingsIfInstalled("org.gnome.desktop.a11y.interface", "high-contrast")) {
    if (m_interface) {
        m_interface->signal_changed(kColorScheme).connect([this](const Glib::ustring&) {
            if (!m_portalScheme) {
                m_changed();
            }
        });
    }
    if (m_a11y) {
        m_a11y->signal_changed("high-contrast").connect([this](const Glib::ustring&) {
            m_changed();
        });
    }
    // Asked without waiting: a portal may take seconds to start, and there may be no bus.
    Gio::DBus::Proxy::create_for_bus(Gio::DBus::BusType::SESSION, "org.freedesktop.portal.Desktop",
                                     "/org/freedesktop/portal/desktop",
                                     "org.freedesktop.portal.Settings",
                                     sigc::mem_fun(*this, &DesktopPreference::OnPortalReady), {},
                                     Gio::DBus::ProxyFlags::DO_NOT_LOAD_PROPERTIES);
}

ColorScheme DesktopPreference::Scheme() const {
    if (m_portalScheme) {
        return *m_portalScheme;
    }
    if (m_interface) {
        return ColorSchemeFromGSettings(m_interface->get_string(kColorScheme).raw());
    }
    return ColorScheme::kNoPreference;
}

bool DesktopPreference::HighContrast() const {
    return m_a11y && m_a11y->get_boolean("high-contrast");
}

void DesktopPreference::OnPortalReady(const Glib::RefPtr<Gio::AsyncResult>& result) {
    try {
        m_portal = Gio::DBus::Proxy::create_for_bus_finish(result);
    } catch (const Glib::Error&) {
        return;  // no session bus: the settings tell
    }
    m_portal->signal_signal().connect(sigc::mem_fun(*this, &DesktopPreference::OnPortalSignal));
    using Names = Glib::Variant<std::tuple<Glib::ustring, Glib::ustring>>;
    m_portal->call("Read", sigc::mem_fun(*this, &DesktopPreference::OnPortalRead),
                   Names::create({kAppearance, kColorScheme}));
}

void DesktopPreference::OnPortalRead(const Glib::RefPtr<Gio::AsyncResult>& result) {
    try {
        Glib::VariantBase value;
        m_portal->call_finish(result).get_child(value, 0);
        if (const std::optional<guint32> number = PortalNumber(value)) {
            m_portalScheme = ColorSchemeFromPortal(*number);
            m_changed();
        }
    } catch (const Glib::Error&) {
        // No portal, or one that does not know the setting: the settings tell.
    }
}

void DesktopPreference::OnPortalSignal(const Glib::ustring& /*sender*/, const Glib::ustring& name,
                                       const Glib::VariantContainerBase& parameters) {
    if (name != "SettingChanged" || parameters.get_n_children() != 3) {
        return;
    }
    Glib::Variant<Glib::ustring> nameSpace;
    Glib::Variant<Glib::ustring> key;
    Glib::VariantBase value;
    parameters.get_child(nameSpace, 0);
    parameters.get_child(key, 1);
    parameters.get_child(value, 2);
    if (nameSpace.get() != kAppearance || key.get() != kColorScheme) {
        return;
    }
    if (const std::optional<guint32> number = PortalNumber(value)) {
        m_portalScheme = ColorSchemeFromPortal(*number);
        m_changed();
    }
}
