#include "TutorWindow.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

#include "Book.h"
#include "Commands.h"
#include "Encoding.h"
#include "KeyboardLayout.h"
#include "KeyboardPicture.h"
#include "Options.h"
#include "Picture.h"
#include "Practice.h"
#include "ProgressPicture.h"
#include "Stats.h"
#include "Summary.h"

namespace {

// The figures are shown anew with a key at most every kTickMs; between keys the clock's tick
// shows them, once no key has come for kIdleMs. While the learner types, the tick draws no frame
// of its own: a key that came just after such a frame would wait for the next one (up to a
// refresh interval, 17 ms at 60 Hz).
constexpr int kTickMs = 250;
constexpr int kIdleMs = 500;
constexpr int kWeakest = 5;
constexpr int kRecentShown = 8;
constexpr int kKeyboardHeight = 190;
constexpr const char* kHelp =
    "Esc pause \u00b7 Backspace take back \u00b7 Enter ends a line \u00b7 Ctrl+? shortcuts";
constexpr const char* kPausedHelp = "Paused \u2014 Esc or any typing key goes on";

// Dropdown places of the methods.
constexpr TypoDetection kMethods[] = {tdByLetter, tdByWord, tdByMatch, tdNone};
// The appearance drop-down's choices, in its order.
constexpr Appearance kAppearances[] = {Appearance::kFollowDesktop, Appearance::kLight,
                                       Appearance::kDark};

// Answers of the questions.
enum Answer { kYes = 1, kNo = 2, kCancel = 3 };

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The first line of a lesson file, as a preview.
std::string FirstLine(const std::string& path) {
    const LessonText text = LoadLessonFile(path);
    return text.ok ? SingleByteToUtf8(text.text.substr(0, text.text.find('\n'))) : "";
}

Gtk::Label* MakeLabel(const std::string& text, const char* cssClass = nullptr) {
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->set_xalign(0);
    label->set_ellipsize(Pango::EllipsizeMode::END);
    if (cssClass) {
        label->add_css_class(cssClass);
    }
    return label;
}

// A list row of a name and a line under it.
Gtk::Widget* MakeRow(const std::string& name, const std::string& detail) {
    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
    box->set_margin(8);
    box->append(*MakeLabel(name, "heading"));
    box->append(*MakeLabel(detail, "dim-label"));
    return box;
}

std::string StemOf(const std::string& path) {
    std::string name = Glib::path_get_basename(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

constexpr const char* kShortcutsUi = R"(<interface>
  <object class="GtkShortcutsWindow" id="shortcuts">
    <property name="modal">1</property>
    <child>
      <object class="GtkShortcutsSection">
        <property name="section-name">typing</property>
        <child>
          <object class="GtkShortcutsGroup">
            <property name="title">Typing</property>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Pause and resume</property>
              <property name="accelerator">Escape</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Take back a character</property>
              <property name="accelerator">BackSpace</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">End a line</property>
              <property name="accelerator">Return</property></object></child>
          </object>
        </child>
        <child>
          <object class="GtkShortcutsGroup">
            <property name="title">Window</property>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Larger text</property>
              <property name="accelerator">&lt;Control&gt;plus</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Smaller text</property>
              <property name="accelerator">&lt;Control&gt;minus</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Choose a lesson</property>
              <property name="accelerator">&lt;Control&gt;l</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Open a text file</property>
              <property name="accelerator">&lt;Control&gt;o</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Progress</property>
              <property name="accelerator">&lt;Control&gt;p</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Show or hide the keyboard</property>
              <property name="accelerator">&lt;Control&gt;k</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Shortcuts</property>
              <property name="accelerator">&lt;Control&gt;question</property></object></child>
            <child><object class="GtkShortcutsShortcut">
              <property name="title">Quit</property>
              <property name="accelerator">&lt;Control&gt;q</property></object></child>
          </object>
        </child>
      </object>
    </child>
  </object>
</interface>)";

}  // namespace

bool OpenDesktopProfile(const DesktopOptions& options, const std::string& name, Profile* profile,
                        std::string* error) {
    Options core;
    core.command = options.lesson.empty() ? Command::kMenu : Command::kLesson;
    core.lesson = options.lesson;
    core.dataDir = options.dataDir;
    core.profile = name;
    core.layout = name == options.profile ? options.layout : "";
    return OpenProfile(&core, profile, error);
}

void TutorWindow::SetAccels(const Glib::RefPtr<Gtk::Application>& app) {
    app->set_accels_for_action("win.larger",
                               {"<Control>plus", "<Control>equal", "<Control>KP_Add"});
    app->set_accels_for_action("win.smaller", {"<Control>minus", "<Control>KP_Subtract"});
    app->set_accels_for_action("win.choose", {"<Control>l"});
    app->set_accels_for_action("win.open", {"<Control>o"});
    app->set_accels_for_action("win.progress", {"<Control>p"});
    app->set_accels_for_action("win.keyboard", {"<Control>k"});
    app->set_accels_for_action("win.shortcuts", {"<Control>question"});
    app->set_accels_for_action("win.close", {"<Control>q", "<Control>w"});
}

TutorWindow::TutorWindow(const DesktopOptions& options)
    : m_options(options), m_settings(DesktopSettings::Load()) {
    set_title(WindowTitle(""));
    set_icon_name("io.github.typetutor.TypeTutor");
    set_default_size(1000, 720);
    set_titlebar(m_header);
    m_header.pack_start(m_lessonsButton);
    m_header.pack_end(m_settingsButton);
    m_header.pack_end(m_progressButton);
    m_lessonsButton.set_action_name("win.choose");
    m_progressButton.set_action_name("win.progress");
    m_settingsButton.set_icon_name("open-menu-symbolic");
    m_settingsButton.set_tooltip_text("Settings");
    m_settingsButton.set_primary(true);  // F10 opens it, as a window's main menu does
    m_settingsButton.set_popover(m_settingsPopover);

    add_action("larger", [this] { ApplyFontSize(m_settings.fontSize + 2); });
    add_action("smaller", [this] { ApplyFontSize(m_settings.fontSize - 2); });
    add_action("choose", [this] { LeaveLesson([this] { ShowChooser(); }); });
    add_action("open", [this] { LeaveLesson([this] { OpenTextFile(); }); });
    add_action("progress", [this] { LeaveLesson([this] { ShowProgress(); }); });
    add_action("keyboard", [this] { m_keyboardCheck.set_active(!m_keyboardCheck.get_active()); });
    add_action("shortcuts", [this] { ShowShortcuts(); });
    add_action("close", [this] { close(); });

    BuildChooser();
    BuildTyping();
    BuildSummary();
    BuildProgress();
    BuildSettings();
    BuildPracticeAndBooks();
    m_stack.set_transition_type(Gtk::StackTransitionType::CROSSFADE);
    set_child(m_stack);

    signal_close_request().connect(sigc::mem_fun(*this, &TutorWindow::OnCloseRequest), false);
    property_is_active().signal_changed().connect(
        sigc::mem_fun(*this, &TutorWindow::OnActiveChanged));
    auto settings = Gtk::Settings::get_default();
    m_strDesktopTheme = settings->property_gtk_theme_name().get_value();
    m_bDesktopPrefersDark = settings->property_gtk_application_prefer_dark_theme().get_value();
    settings->property_gtk_application_prefer_dark_theme().signal_changed().connect(
        sigc::mem_fun(*this, &TutorWindow::OnGtkThemeChanged));
    settings->property_gtk_theme_name().signal_changed().connect(
        sigc::mem_fun(*this, &TutorWindow::OnGtkThemeChanged));
    m_tick = Glib::signal_timeout().connect(sigc::mem_fun(*this, &TutorWindow::OnTick), kTickMs);
    signal_realize().connect([this] { ApplyTheme(); });
    // Once the window shows, so that what goes wrong can be said in a dialog over it.
    m_start = Glib::signal_idle().connect([this] {
        SwitchProfile(m_options.profile);
        return false;
    });
}

TutorWindow::~TutorWindow() {
    m_tick.disconnect();
    m_start.disconnect();
    if (m_im) {
        gtk_im_context_set_client_widget(m_im, nullptr);
        g_signal_handlers_disconnect_by_data(m_im, this);
        g_object_unref(m_im);
    }
}

// ---- Start-up ---------------------------------------------------------------------------------

bool TutorWindow::SwitchProfile(const std::string& name) {
    Profile profile;
    std::string error;
    if (!OpenDesktopProfile(m_options, name, &profile, &error)) {
        ShowMessage("The profile \u201c" + name + "\u201d cannot be opened", error);
        return false;
    }
    m_profile = profile;
    m_strKeyboardNote.clear();
    Keyboard keyboard = Keyboard::UsQwerty();
    if (!ReadKeyboardLayout(m_profile.layout, &keyboard, &error)) {
        m_strKeyboardNote = "the keyboard is drawn as US QWERTY: " + error;
    }
    m_keyboard = std::move(keyboard);
    m_view.SetCodePage(CurrentCodePage().Characters());
    m_history.reset();
    OpenHistory();
    return true;
}

void TutorWindow::OpenHistory() {
    m_history = std::make_unique<History>(m_profile.directory);
    // Another program holding the history's lock a while is said in the hint line.
    m_history->Lock().SetWaitNotice(
        [this](const std::string& line) { m_hintLabel.set_text(line); });
    std::string message;
    m_bHistoryUsable = m_history->Open(&message);
    if (m_bHistoryUsable && !m_strKeyboardNote.empty()) {
        m_history->Note(m_strKeyboardNote);
    }
    FillProfileChooser();
    FillChooser();
    ShowChooser();
    if (!m_bHistoryUsable) {
        OfferNewHistory(message);
        return;
    }
    // The lesson or book of the command line, once: not again in another profile.
    if (const std::string lesson = std::exchange(m_options.lesson, {}); !lesson.empty()) {
        if (m_options.book) {
            StartBook(lesson);
        } else {
            ChooseAndStart(lesson);
        }
    }
}

void TutorWindow::OfferNewHistory(const std::string& message) {
    Ask("Your history does not load",
        message +
            "\n\nNothing will be written over it. You can start a new history: the files that do "
            "not load are then moved aside in the same folder, never deleted.",
        {{"_Quit", kNo}, {"_Move Aside and Start New", kYes}}, [this](int answer) {
            if (answer != kYes) {
                m_bClosing = true;
                close();
                return;
            }
            std::string error;
            std::string moved;
            if (!MoveHistoryAside(m_history->Directory(), &moved, &error)) {
                ShowMessage("The history could not be moved aside", error);
                return;
            }
            m_history.reset();
            OpenHistory();
            if (m_bHistoryUsable) {
                ShowMessage("A new history was started",
                            "The old files are kept as " + moved + ".");
            }
        });
}

// ---- Chooser ----------------------------------------------------------------------------------

void TutorWindow::BuildChooser() {
    m_chooser.set_margin(24);
    auto* heading = MakeLabel("Choose a lesson", "title-2");
    m_chooser.append(*heading);
    m_chooser.append(BuildProfileChooser());
    m_bundledList.add_css_class("boxed-list");
    m_bundledList.set_selection_mode(Gtk::SelectionMode::NONE);
    m_bundledList.signal_row_activated().connect([this](Gtk::ListBoxRow* row) {
        ChooseAndStart(m_bundledNames[static_cast<size_t>(row->get_index())]);
    });
    m_chooser.append(m_bundledList);
    m_recentHeading.set_text("Recently typed");
    m_recentHeading.set_xalign(0);
    m_recentHeading.add_css_class("title-4");
    m_chooser.append(m_recentHeading);
    m_recentList.set_selection_mode(Gtk::SelectionMode::NONE);
    m_recentList.signal_row_activated().connect([this](Gtk::ListBoxRow* row) {
        const std::string& source = m_recentSources[static_cast<size_t>(row->get_index())];
        if (!source.empty()) {
            ChooseAndStart(source);
        }
    });
    m_chooser.append(m_recentList);
    m_openButton.set_halign(Gtk::Align::START);
    m_openButton.set_action_name("win.open");
    m_chooser.append(m_openButton);
    m_chooserScroll.set_child(m_chooser);
    m_stack.add(m_chooserScroll, "chooser");
}

void TutorWindow::FillChooser() {
    while (Gtk::Widget* child = m_bundledList.get_first_child()) {
        m_bundledList.remove(*child);
    }
    while (Gtk::Widget* child = m_recentList.get_first_child()) {
        m_recentList.remove(*child);
    }
    m_bundledNames.clear();
    m_recentSources.clear();
    for (const BundledLesson& lesson : ListBundledLessons()) {
        m_bundledNames.push_back(lesson.name);
        m_bundledList.append(*MakeRow(lesson.name, FirstLine(lesson.path)));
    }
    // The newest record of each lesson, newest first.
    std::vector<std::string> seen;
    if (m_bHistoryUsable) {
        const CLessonTrackFile& lessons = m_history->Lessons();
        for (int i = lessons.GetLessonCount() - 1;
             i >= 0 && static_cast<int>(seen.size()) < kRecentShown; --i) {
            const LessonRow row = RowOf(*lessons.GetLessonTrack(i), m_history->LessonNames());
            if (std::find(seen.begin(), seen.end(), row.lesson) != seen.end()) {
                continue;
            }
            seen.push_back(row.lesson);
            std::string source;
            if (std::find(m_bundledNames.begin(), m_bundledNames.end(), row.lesson) !=
                m_bundledNames.end()) {
                source = row.lesson;
            }
            for (const std::string& path : m_settings.recentFiles) {
                if (source.empty() && StemOf(path) == row.lesson) {
                    source = path;
                }
            }
            char detail[160];
            std::snprintf(detail, sizeof detail, "%s \u00b7 %d cpm, %d wpm \u00b7 %d%% accurate%s",
                          row.date.c_str(), row.speed, row.wordSpeed, row.accuracy,
                          source.empty() ? " \u00b7 file not known" : "");
            m_recentSources.push_back(source);
            m_recentList.append(*MakeRow(row.lesson, detail));
        }
    }
    m_recentHeading.set_visible(!seen.empty());
    m_recentList.set_visible(!seen.empty());
    FillBooks();
}

Gtk::Widget& TutorWindow::BuildProfileChooser() {
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    auto* label = Gtk::make_managed<Gtk::Label>("_Profile", true);
    label->set_mnemonic_widget(m_profileDrop);
    row->append(*label);
    row->append(m_profileDrop);
    m_profileDrop.property_selected().signal_changed().connect([this] {
        const guint selected = m_profileDrop.get_selected();
        if (m_bFillingProfiles || selected >= m_profileNames.size() ||
            m_profileNames[selected] == m_profile.name) {
            return;
        }
        // Once the drop-down is done with its change: switching fills it anew.
        Glib::signal_idle().connect_once([this, name = m_profileNames[selected]] {
            if (!SwitchProfile(name)) {
                FillProfileChooser();  // back to the profile still open
            }
        });
    });
    return *row;
}

void TutorWindow::FillProfileChooser() {
    m_bFillingProfiles = true;
    m_profileNames = ListProfiles(m_options.dataDir);
    auto list = Gtk::StringList::create({});
    for (const std::string& name : m_profileNames) {
        list->append(name);
    }
    m_profileDrop.set_model(list);
    const auto at = std::find(m_profileNames.begin(), m_profileNames.end(), m_profile.name);
    m_profileDrop.set_selected(at == m_profileNames.end()
                                   ? GTK_INVALID_LIST_POSITION
                                   : static_cast<guint>(at - m_profileNames.begin()));
    m_bFillingProfiles = false;
}

std::string TutorWindow::WindowTitle(const std::string& what) const {
    return (what.empty() ? "" : what + " \u2014 ") + "TypeTutor" +
           (m_profile.name == Profile::kDefaultName ? "" : " \u2014 profile " + m_profile.name);
}

void TutorWindow::ShowChooser() {
    m_session.reset();
    m_view.SetSession(nullptr);
    FillChooser();
    set_title(WindowTitle(""));
    m_stack.set_visible_child("chooser");
    m_practiceButton.grab_focus();  // the first of the chooser
}

void TutorWindow::OpenTextFile() {
    m_fileChooser = Gtk::FileChooserNative::create(
        "Open a Text File", *this, Gtk::FileChooser::Action::OPEN, "_Open", "_Cancel");
    auto filter = Gtk::FileFilter::create();
    filter->set_name("Text files");
    filter->add_mime_type("text/plain");
    m_fileChooser->add_filter(filter);
    m_fileChooser->signal_response().connect([this](int response) {
        if (response == static_cast<int>(Gtk::ResponseType::ACCEPT)) {
            const auto file = m_fileChooser->get_file();
            if (file) {
                ChooseAndStart(file->get_path());
            }
        }
        m_fileChooser.reset();
    });
    m_fileChooser->show();
}

// ---- A lesson ---------------------------------------------------------------------------------

void TutorWindow::ChooseAndStart(const std::string& nameOrPath) {
    m_book.reset();
    m_strFocus.clear();
    Lesson lesson;
    std::string error;
    if (!ChooseLesson(nameOrPath, &lesson, &error)) {
        ShowChooser();
        ShowMessage("This lesson cannot be used", error);
        return;
    }
    if (lesson.id == 0 && Glib::file_test(nameOrPath, Glib::FileTest::IS_REGULAR)) {
        // Remembered, so that the recent lessons can open it again.
        const std::string path = Gio::File::create_for_path(nameOrPath)->get_path();
        auto& recent = m_settings.recentFiles;
        recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
        recent.insert(recent.begin(), path);
        recent.resize(std::min<size_t>(recent.size(), kRecentShown));
        SaveSettings();
    }
    StartLesson(lesson);
}

void TutorWindow::StartLesson(const Lesson& lesson) {
    // The old session goes first: sessions install their layout's device context in turn and
    // put back the one before them when they go.
    m_view.SetSession(nullptr);
    m_session.reset();
    auto session = std::make_unique<Session>();
    std::string error;
    if (!session->Create(lesson.text, m_settings.session, &error)) {
        ShowChooser();
        ShowMessage("This lesson cannot be used", error);
        return;
    }
    m_lesson = lesson;
    m_session = std::move(session);
    m_bKept = false;
    m_strHint.clear();
    Options titleOptions;
    titleOptions.session = m_settings.session;
    titleOptions.profile = m_profile.name;
    m_strTitle = LessonTitle(lesson, titleOptions) + (m_strFocus.empty() ? "" : "  " + m_strFocus);
    set_title(WindowTitle(lesson.name));
    m_titleLabel.set_text(m_strTitle);
    m_stack.set_visible_child("typing");
    m_view.SetFontSize(m_settings.fontSize);
    m_view.SetSession(m_session.get());
    // The drawn lesson is also given to the accessibility layer.
    Glib::Value<Glib::ustring> description;
    description.init(Glib::Value<Glib::ustring>::value_type());
    description.set("Lesson text: " + SingleByteToUtf8(lesson.text));
    m_view.update_property(Gtk::Accessible::Property::DESCRIPTION, description);
    m_session->Press(Key{}, NowMs());
    RefreshStatus();
    m_keyboardView.queue_draw();
    m_view.grab_focus();
}

bool TutorWindow::LessonInProgress() const {
    return m_session && m_session->IsStarted() && !m_session->IsFinished() && !m_bKept;
}

void TutorWindow::OnKey(const Key& key) {
    if (!m_session || m_session->IsFinished() || !m_view.Fits()) {
        return;
    }
    const char litBefore = m_session->Typed()->GetCaretChar();
    const bool pausedBefore = m_session->IsPaused();
    const std::string hintBefore = m_strHint;
    m_nLastKeyMs = NowMs();
    const KeyEffect effect = m_session->Press(key, m_nLastKeyMs);
    m_view.ShowKey(effect);
    // The keyboard is drawn when its lit key changes, the figures at most every kTickMs unless
    // the key paused, resumed or brought a hint.
    if (m_session->Typed()->GetCaretChar() != litBefore) {
        m_keyboardView.queue_draw();
    }
    if (m_keyShownHook) {
        m_keyShownHook();
    }
    if (m_session->IsFinished()) {
        KeepLesson();
        FinishBook();
        ShowSummary();
        return;
    }
    m_strHint = effect.message;
    if (m_strHint != hintBefore || m_session->IsPaused() != pausedBefore ||
        m_nLastKeyMs - m_nStatusShownMs >= kTickMs) {
        RefreshStatus();
    }
}

void TutorWindow::OnCommit(const std::string& utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        const int b = CodePointToSingleByte(DecodeUtf8(utf8, i));
        if (b == '\n') {
            OnKey(Key{KeyKind::kEnter, 0});
        } else {
            // A character without a single-byte form is typed as none: it counts as a wrong key.
            OnKey(Key{KeyKind::kChar, static_cast<char>(b < 0 ? 0 : b)});
        }
    }
}

bool TutorWindow::OnKeyPressed(guint keyval, guint /*keycode*/, Gdk::ModifierType state) {
    if ((state & (Gdk::ModifierType::CONTROL_MASK | Gdk::ModifierType::ALT_MASK)) !=
        Gdk::ModifierType{}) {
        return false;  // the shortcuts'
    }
    switch (keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            OnKey(Key{KeyKind::kEnter, 0});
            return true;
        case GDK_KEY_BackSpace:
            OnKey(Key{KeyKind::kBackspace, 0});
            return true;
        case GDK_KEY_Escape:
            OnKey(Key{KeyKind::kEscape, 0});
            return true;
        case GDK_KEY_Tab:
            OnKey(Key{KeyKind::kChar, '\t'});
            return true;
        default:
            return false;
    }
}

bool TutorWindow::OnTick() {
    if (m_session && !m_session->IsFinished()) {
        const long long pauseMs = m_settings.pauseAfterSeconds * 1000LL;
        const long long now = NowMs();
        if (m_session->PauseIfIdle(now, pauseMs)) {
            m_view.Repaint();
            RefreshStatus();
        } else if (now - m_nLastKeyMs >= kIdleMs) {
            RefreshStatus();
        }
    }
    return true;
}

void TutorWindow::OnActiveChanged() {
    // A window left behind pauses the lesson.
    if (!is_active() && m_session && m_session->IsStarted() && !m_session->IsPaused() &&
        !m_session->IsFinished()) {
        m_session->Pause();
        m_view.Repaint();
        RefreshStatus();
    }
}

void TutorWindow::RefreshStatus() {
    if (!m_session) {
        return;
    }
    m_nStatusShownMs = NowMs();
    m_statusLine.SetText(FormatStatus(m_session->Figures(), m_session->IsPaused()));
    if (!m_view.Fits()) {
        m_hintLabel.set_text("The window is too small for the lesson: make it larger");
    } else {
        m_hintLabel.set_text(!m_strHint.empty()      ? m_strHint
                             : m_session->IsPaused() ? kPausedHelp
                                                     : kHelp);
    }
}

void TutorWindow::BuildTyping() {
    m_typing.set_margin(12);
    m_titleLabel.set_xalign(0);
    m_titleLabel.add_css_class("title-4");
    m_statusLine.add_css_class("monospace");
    m_hintLabel.set_xalign(0);
    m_hintLabel.add_css_class("dim-label");
    m_view.update_property(Gtk::Accessible::Property::LABEL, Glib::Value<Glib::ustring>([] {
                               Glib::Value<Glib::ustring> v;
                               v.init(Glib::Value<Glib::ustring>::value_type());
                               v.set("Lesson");
                               return v;
                           }()));
    m_keyboardView.set_content_height(kKeyboardHeight);
    m_keyboardView.set_draw_func(sigc::mem_fun(*this, &TutorWindow::DrawKeyboard));
    m_keyboardView.set_visible(m_settings.keyboardShown);
    m_typing.append(m_titleLabel);
    m_typing.append(m_statusLine);
    m_typing.append(m_view);
    m_typing.append(m_keyboardView);
    m_typing.append(m_hintLabel);

    m_im = gtk_im_multicontext_new();
    gtk_im_context_set_client_widget(m_im, GTK_WIDGET(m_view.gobj()));
    g_signal_connect(m_im, "commit",
                     G_CALLBACK(+[](GtkIMContext*, const char* text, gpointer window) {
                         static_cast<TutorWindow*>(window)->OnCommit(text ? text : "");
                     }),
                     this);
    g_signal_connect(m_im, "preedit-changed", G_CALLBACK(+[](GtkIMContext* im, gpointer data) {
                         auto* window = static_cast<TutorWindow*>(data);
                         char* preedit = nullptr;
                         gtk_im_context_get_preedit_string(im, &preedit, nullptr, nullptr);
                         window->m_bComposing = preedit && *preedit;
                         g_free(preedit);
                         window->m_keyboardView.queue_draw();
                     }),
                     this);
    // While a lesson is shown, every key of the window is the lesson's (shortcuts with Ctrl or
    // Alt aside): the window takes them before any of its widgets. Other screens get their keys.
    m_keys = Gtk::EventControllerKey::create();
    m_keys->set_propagation_phase(Gtk::PropagationPhase::NONE);
    m_stack.property_visible_child().signal_changed().connect([this] {
        const bool typing = m_stack.get_visible_child_name() == "typing";
        m_keys->set_propagation_phase(typing ? Gtk::PropagationPhase::CAPTURE
                                             : Gtk::PropagationPhase::NONE);
    });
    gtk_event_controller_key_set_im_context(m_keys->gobj(), m_im);
    m_keys->signal_key_pressed().connect(sigc::mem_fun(*this, &TutorWindow::OnKeyPressed), false);
    add_controller(m_keys);
    auto focus = Gtk::EventControllerFocus::create();
    focus->signal_enter().connect([this] { gtk_im_context_focus_in(m_im); });
    focus->signal_leave().connect([this] { gtk_im_context_focus_out(m_im); });
    add_controller(focus);
    auto click = Gtk::GestureClick::create();
    click->signal_pressed().connect([this](int, double, double) { m_view.grab_focus(); });
    m_view.add_controller(click);
    m_view.signal_map().connect([this] { m_view.grab_focus(); });
    m_stack.add(m_typing, "typing");
}

void TutorWindow::DrawKeyboard(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height) {
    const KeyboardPicture picture(m_keyboard);
    const double unit = std::min(width / m_keyboard.Width(), height / KeyboardPicture::Height(1));
    const double x = (width - picture.Width(unit)) / 2;
    const double y = (height - KeyboardPicture::Height(unit)) / 2;
    std::vector<KeyPress> presses;
    if (m_session && !m_session->IsFinished()) {
        const char next = m_session->Typed()->GetCaretChar();
        if (next != 0) {
            presses = m_keyboard.PressesFor(SingleByteToUtf8(std::string(1, next)));
        }
        // A composed character: its dead key first, then its base key once the dead key was
        // pressed.
        if (presses.size() == 2) {
            presses = {presses[m_bComposing ? 1 : 0]};
        }
    }
    picture.Draw(cr->cobj(), x, y, unit, presses, KeyboardLook{m_look});
}

void TutorWindow::KeepLesson() {
    if (m_bKept || !m_session || !m_bHistoryUsable) {
        return;
    }
    m_bKept = true;
    History& history = *m_history;
    history.Lessons().AddNewTrack(static_cast<unsigned char>(m_lesson.id),
                                  static_cast<unsigned char>(m_settings.session.method),
                                  m_lesson.tag);
    history.RememberLessonName(m_lesson.tag, m_lesson.name);
    m_session->Record(history.Lessons(), history.Words());
    // Taken before the save, which may merge other programs' lessons in after this one.
    m_keptRecord = *history.Lessons().GetLastTrack();
    m_keptKeys = m_session->KeyLogEntry(m_keptRecord);
    const LoggedLesson& keys = m_keptKeys;
    std::string message;
    if (history.Save(&message) && history.LogKeys(keys, &message)) {
        m_summarySaved.set_text("Saved in " + history.Directory() + ".");
        return;
    }
    m_summarySaved.set_text(message);
    Ask("The history could not be saved", message, {{"_Leave It", kNo}, {"_Try Again", kYes}},
        [this, keys](int answer) {
            if (answer == kYes) {
                std::string again;
                if (m_history->Save(&again) && m_history->LogKeys(keys, &again)) {
                    m_summarySaved.set_text("Saved in " + m_history->Directory() + ".");
                } else {
                    ShowMessage("The history could not be saved", again);
                }
            }
        });
}

void TutorWindow::LeaveLesson(std::function<void()> then) {
    if (!LessonInProgress()) {
        then();
        return;
    }
    m_session->Pause();
    m_view.Repaint();
    RefreshStatus();
    Ask("Leave the lesson?", "Keep what you typed in your history?",
        {{"_Cancel", kCancel}, {"_Discard", kNo}, {"_Keep", kYes}}, [this, then](int answer) {
            if (answer == kCancel || answer < 0) {
                m_view.grab_focus();
                return;
            }
            if (answer == kYes) {
                KeepLesson();
            }
            m_session.reset();
            then();
        });
}

bool TutorWindow::OnCloseRequest() {
    if (m_bClosing || !LessonInProgress()) {
        return false;
    }
    LeaveLesson([this] {
        m_bClosing = true;
        close();
    });
    return true;
}

// ---- Practice and books -----------------------------------------------------------------------

void TutorWindow::BuildPracticeAndBooks() {
    // Under the chooser's heading: Practice and "Open a book...", then the books begun.
    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 12);
    m_practiceButton.set_tooltip_text("A lesson of your weakest keys and words");
    buttons->append(m_practiceButton);
    buttons->append(m_openBookButton);
    m_booksHeading.set_text("Books");
    m_booksHeading.set_xalign(0);
    m_booksHeading.add_css_class("title-4");
    m_bookList.add_css_class("boxed-list");
    m_bookList.set_selection_mode(Gtk::SelectionMode::NONE);
    m_bookList.signal_row_activated().connect([this](Gtk::ListBoxRow* row) {
        StartBook(m_bookPaths[static_cast<size_t>(row->get_index())]);
    });
    m_chooser.insert_child_after(*buttons, *m_chooser.get_first_child());
    m_chooser.insert_child_after(m_booksHeading, *buttons);
    m_chooser.insert_child_after(m_bookList, m_booksHeading);
    // A long focus line, or why the first bundled lesson is offered, wraps under the title.
    m_titleLabel.set_wrap(true);
    m_practiceButton.signal_clicked().connect([this] { StartPractice(); });
    m_summaryPracticeButton.signal_clicked().connect([this] { StartPractice(); });
    m_openBookButton.signal_clicked().connect([this] { OpenBookFile(); });
}

void TutorWindow::FillBooks() {
    while (Gtk::Widget* child = m_bookList.get_first_child()) {
        m_bookList.remove(*child);
    }
    m_bookPaths.clear();
    const std::vector<BookProgress> books =
        m_history ? LoadBookProgress(m_history->Directory()) : std::vector<BookProgress>();
    // The book typed last first.
    for (auto book = books.rbegin(); book != books.rend(); ++book) {
        m_bookPaths.push_back(book->path);
        m_bookList.append(*MakeRow(book->title, SummarizeBook(*book)));
    }
    m_booksHeading.set_visible(!books.empty());
    m_bookList.set_visible(!books.empty());
}

void TutorWindow::StartPractice() {
    if (!m_bHistoryUsable) {
        return;
    }
    const Practice practice =
        MakePractice(*m_history, LoadWordList(m_profile), PracticeSeed(Options()), "");
    if (practice.lesson.text.empty()) {
        ShowChooser();
        ShowMessage("There is nothing to practise", practice.message);
        return;
    }
    m_book.reset();
    m_strFocus = practice.fromHistory ? SingleByteToUtf8(practice.focus) : practice.message;
    StartLesson(practice.lesson);
}

void TutorWindow::OpenBookFile() {
    m_fileChooser = Gtk::FileChooserNative::create(
        "Open a Book", *this, Gtk::FileChooser::Action::OPEN, "_Open", "_Cancel");
    auto filter = Gtk::FileFilter::create();
    filter->set_name("Text files");
    filter->add_mime_type("text/plain");
    m_fileChooser->add_filter(filter);
    m_fileChooser->signal_response().connect([this](int response) {
        const auto file = m_fileChooser->get_file();
        if (response == static_cast<int>(Gtk::ResponseType::ACCEPT) && file) {
            StartBook(file->get_path());
        }
        m_fileChooser.reset();
    });
    m_fileChooser->show();
}

void TutorWindow::StartBook(const std::string& path) {
    Lesson lesson;
    BookPart part;
    std::string error;
    if (!m_bHistoryUsable || !OpenBookPart(path, m_history->Directory(), &lesson, &part, &error)) {
        ShowChooser();
        ShowMessage("This book cannot be used", error);
        return;
    }
    m_strFocus.clear();
    m_book = part;
    StartLesson(lesson);
    if (!part.notice.empty()) {
        Ask(part.title, part.notice, {{"_OK", kYes}}, [this](int) { m_view.grab_focus(); });
    }
}

void TutorWindow::FinishBook() {
    if (!m_book || !m_bKept || !m_session->IsFinished()) {
        return;
    }
    // Shown on the end screen, as is a place that could not be saved.
    std::string line;
    FinishBookPart(*m_history, *m_book, m_session->Figures(), &line);
    m_summarySaved.set_text(m_summarySaved.get_text() + "\n" + line);
}

// ---- End of a lesson and progress -----------------------------------------------------------

void TutorWindow::BuildSummary() {
    m_summary.set_margin(24);
    m_summaryTitle.set_xalign(0);
    m_summaryTitle.add_css_class("title-2");
    for (Gtk::Label* label : {&m_summaryFigures, &m_summarySaved}) {
        label->set_xalign(0);
    }
    m_summaryFigures.add_css_class("monospace");
    m_summarySections.set_column_spacing(36);
    m_summarySections.set_row_spacing(12);
    m_summarySaved.add_css_class("dim-label");
    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 12);
    buttons->append(m_repeatButton);
    buttons->append(m_nextButton);
    buttons->append(m_summaryProgressButton);
    buttons->append(m_summaryPracticeButton);
    m_repeatButton.signal_clicked().connect([this] {
        m_book.reset();  // typed again for practice, not as the book's next part
        StartLesson(m_lesson);
    });
    m_nextButton.signal_clicked().connect([this] {
        if (m_book) {
            StartBook(m_book->path);
            return;
        }
        // The bundled lesson after this one; the first after a file of one's own.
        const std::vector<BundledLesson> bundled = ListBundledLessons();
        if (bundled.empty()) {
            ShowChooser();
            return;
        }
        const size_t next = static_cast<size_t>(m_lesson.id) % bundled.size();
        ChooseAndStart(bundled[next].name);
    });
    m_summaryProgressButton.signal_clicked().connect([this] { ShowProgress(); });
    m_summary.append(m_summaryTitle);
    m_summary.append(m_summaryFigures);
    m_summary.append(m_summarySections);
    m_summary.append(m_summarySaved);
    m_summary.append(*buttons);
    m_stack.add(m_summary, "summary");
}

void TutorWindow::ShowSummary() {
    m_summaryTitle.set_text(m_lesson.name + " \u2014 lesson complete");
    CWordTrackFile words;
    m_session->Typed()->AddWordTracks(&words);
    KeyLog keyLog;
    std::string unread;
    if (m_bKept && !m_history->LoadKeys(&keyLog, &unread)) {
        keyLog.lessons.clear();  // the pairs are this lesson's alone
    }
    const FinishedLesson finished{m_session->Figures(), m_bKept ? &m_keptRecord : nullptr, &words,
                                  &m_keptKeys};
    const LessonSummary summary = SummarizeLesson(finished, m_history->Lessons(), keyLog, kWeakest);
    std::string figures;
    for (const std::string& line : summary.figures) {
        figures += (figures.empty() ? "" : "\n") + line;
    }
    m_summaryFigures.set_text(figures);

    while (Gtk::Widget* child = m_summarySections.get_first_child()) {
        m_summarySections.remove(*child);
    }
    constexpr int kSectionsARow = 3;
    int place = 0;
    for (const SummarySection& section : summary.sections) {
        auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
        auto* heading = Gtk::make_managed<Gtk::Label>(section.heading);
        heading->add_css_class("heading");
        heading->set_xalign(0);
        std::string rows;
        for (const std::string& row : section.rows) {
            rows += (rows.empty() ? "" : "\n") + row;
        }
        auto* text = Gtk::make_managed<Gtk::Label>(rows);
        text->add_css_class("monospace");
        text->set_xalign(0);
        box->append(*heading);
        box->append(*text);
        box->set_valign(Gtk::Align::START);
        m_summarySections.attach(*box, place % kSectionsARow, place / kSectionsARow);
        ++place;
    }
    m_nextButton.set_label(m_book ? "_Next part" : "_Next lesson");
    m_stack.set_visible_child("summary");
    m_nextButton.grab_focus();
}

void TutorWindow::BuildProgress() {
    m_progress.set_margin(12);
    m_progressView.set_vexpand(true);
    m_progressView.set_hexpand(true);
    m_progressView.set_content_height(420);
    m_progressView.set_draw_func(
        [this](const Cairo::RefPtr<Cairo::Context>& cr, int width, int height) {
            if (!m_progressPicture) {
                return;
            }
            // The picture of `typetutor report`, drawn at its own size and fitted to the view.
            const double scale = std::min(static_cast<double>(width) / ProgressPicture::kWidth,
                                          static_cast<double>(height) / ProgressPicture::kHeight);
            cr->translate((width - ProgressPicture::kWidth * scale) / 2, 0);
            cr->scale(scale, scale);
            cairo_set_source_surface(cr->cobj(), m_progressPicture->GetSurface(), 0, 0);
            cr->paint();
        });
    m_statsLabel.set_xalign(0);
    m_statsLabel.set_yalign(0);
    m_statsLabel.add_css_class("monospace");
    m_statsScroll.set_child(m_statsLabel);
    m_statsScroll.set_min_content_height(180);
    m_progress.append(m_progressView);
    m_progress.append(m_statsScroll);
    m_stack.add(m_progress, "progress");
}

void TutorWindow::ShowProgress() {
    m_session.reset();
    m_view.SetSession(nullptr);
    m_progressPicture.reset();
    std::string table = "No history could be read.";
    if (m_bHistoryUsable) {
        // Without the keystroke log, no letter pairs and no consistency.
        KeyLog keyLog;
        std::string unread;
        const KeyLog* keys = m_history->LoadKeys(&keyLog, &unread) ? &keyLog : nullptr;
        ProgressPicture picture(m_history->Lessons(), m_history->LessonNames(), m_keyboard, keys);
        if (!picture.IsEmpty()) {
            m_progressPicture = std::make_unique<CairoDC>(ProgressPicture::kWidth,
                                                          ProgressPicture::kHeight, picture::kDesk);
            m_progressPicture->SetCodePage(CurrentCodePage().Characters());
            picture.Draw(*m_progressPicture);
        }
        table = FormatStatsText(ComputeStats(m_history->Lessons(), m_history->Words(),
                                             m_history->LessonNames(), kWeakest, keys));
    }
    m_statsLabel.set_text(table);
    m_progressView.queue_draw();
    set_title(WindowTitle("Progress"));
    m_stack.set_visible_child("progress");
}

// ---- Settings ---------------------------------------------------------------------------------

void TutorWindow::BuildSettings() {
    m_settingsBox.set_margin(12);
    auto* methodRow = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    auto* methodLabel = Gtk::make_managed<Gtk::Label>("_Typos judged", true);
    methodLabel->set_mnemonic_widget(m_methodDrop);
    methodRow->append(*methodLabel);
    methodRow->append(m_methodDrop);
    m_settingsBox.append(*methodRow);
    for (Gtk::CheckButton* check :
         {&m_maskedCheck, &m_justifyCheck, &m_highlightCheck, &m_markCheck, &m_keyboardCheck}) {
        m_settingsBox.append(*check);
    }
    auto* appearanceRow = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
    auto* appearanceLabel = Gtk::make_managed<Gtk::Label>("_Appearance", true);
    appearanceLabel->set_mnemonic_widget(m_appearanceDrop);
    appearanceRow->append(*appearanceLabel);
    appearanceRow->append(m_appearanceDrop);
    m_settingsBox.append(*appearanceRow);
    auto addSpin = [this](Gtk::SpinButton& spin, const char* text, int value, int low, int high) {
        auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
        auto* label = Gtk::make_managed<Gtk::Label>(text, true);
        label->set_mnemonic_widget(spin);
        spin.set_adjustment(Gtk::Adjustment::create(value, low, high, 1, 5));
        spin.set_numeric(true);
        row->append(*label);
        row->append(spin);
        m_settingsBox.append(*row);
    };
    addSpin(m_fontSpin, "_Font size", m_settings.fontSize, DesktopSettings::kMinFontSize,
            DesktopSettings::kMaxFontSize);
    addSpin(m_pauseSpin, "_Pause after seconds without a key", m_settings.pauseAfterSeconds, 1,
            3600);
    auto* note = Gtk::make_managed<Gtk::Label>(
        "Judging, masking and justifying apply from the next lesson.");
    note->add_css_class("dim-label");
    note->set_wrap(true);
    note->set_max_width_chars(40);
    m_settingsBox.append(*note);
    m_settingsPopover.set_child(m_settingsBox);

    const SessionOptions& o = m_settings.session;
    for (size_t i = 0; i < std::size(kMethods); ++i) {
        if (kMethods[i] == o.method) {
            m_methodDrop.set_selected(static_cast<guint>(i));
        }
    }
    m_maskedCheck.set_active(o.masked);
    m_justifyCheck.set_active(o.justify);
    m_highlightCheck.set_active(o.highlight);
    m_markCheck.set_active(o.markTypos);
    m_keyboardCheck.set_active(m_settings.keyboardShown);
    for (size_t i = 0; i < std::size(kAppearances); ++i) {
        if (kAppearances[i] == m_settings.appearance) {
            m_appearanceDrop.set_selected(static_cast<guint>(i));
        }
    }

    auto changed = [this] {
        SessionOptions& s = m_settings.session;
        s.method = kMethods[std::min<guint>(m_methodDrop.get_selected(), std::size(kMethods) - 1)];
        s.masked = m_maskedCheck.get_active();
        s.justify = m_justifyCheck.get_active();
        s.highlight = m_highlightCheck.get_active();
        s.markTypos = m_markCheck.get_active();
        m_settings.keyboardShown = m_keyboardCheck.get_active();
        m_settings.pauseAfterSeconds = m_pauseSpin.get_value_as_int();
        m_keyboardView.set_visible(m_settings.keyboardShown);
        SaveSettings();
        // A lesson not yet begun starts again with the new settings.
        if (m_session && !m_session->IsStarted()) {
            StartLesson(m_lesson);
        }
    };
    m_methodDrop.property_selected().signal_changed().connect(changed);
    for (Gtk::CheckButton* check :
         {&m_maskedCheck, &m_justifyCheck, &m_highlightCheck, &m_markCheck, &m_keyboardCheck}) {
        check->signal_toggled().connect(changed);
    }
    m_pauseSpin.signal_value_changed().connect(changed);
    m_fontSpin.signal_value_changed().connect(
        [this] { ApplyFontSize(m_fontSpin.get_value_as_int()); });
    m_appearanceDrop.property_selected().signal_changed().connect([this] {
        m_settings.appearance = kAppearances[std::min<guint>(m_appearanceDrop.get_selected(),
                                                             std::size(kAppearances) - 1)];
        SaveSettings();
        ApplyTheme();
    });
}

void TutorWindow::ApplyFontSize(int size) {
    size = std::clamp(size, DesktopSettings::kMinFontSize, DesktopSettings::kMaxFontSize);
    if (size == m_settings.fontSize) {
        return;
    }
    m_settings.fontSize = size;
    m_fontSpin.set_value(size);
    m_view.SetFontSize(size);
    SaveSettings();
}

void TutorWindow::SaveSettings() {
    std::string message;
    if (!m_settings.Save(&message)) {
        m_hintLabel.set_text("The settings could not be saved: " + message);
    }
}

bool TutorWindow::IsDark() {
    // The theme's text colour tells: light text stands on a dark background.
    const Gdk::RGBA ink = get_style_context()->get_color();
    return 0.299 * ink.get_red() + 0.587 * ink.get_green() + 0.114 * ink.get_blue() > 0.5;
}

void TutorWindow::OnGtkThemeChanged() {
    if (m_bSettingTheme) {
        return;
    }
    auto settings = Gtk::Settings::get_default();
    m_strDesktopTheme = settings->property_gtk_theme_name().get_value();
    m_bDesktopPrefersDark = settings->property_gtk_application_prefer_dark_theme().get_value();
    ApplyTheme();
}

void TutorWindow::ApplyTheme() {
    // A theme the user set in GTK_THEME rules the widgets, and the drawing follows it.
    const std::string userTheme = Glib::getenv("GTK_THEME");
    if (!userTheme.empty()) {
        m_look.dark = IsDark();
        m_look.highContrast = IsHighContrastTheme(userTheme);
    } else {
        const std::optional<bool> dark = ChooseDark(m_settings.appearance, m_desktop.Scheme());
        const bool themeIsHighContrast = IsHighContrastTheme(m_strDesktopTheme.raw());
        m_look.highContrast = m_desktop.HighContrast() || themeIsHighContrast;
        const bool preferDark = dark.value_or(m_bDesktopPrefersDark);
        // GTK's own high-contrast theme, unless the desktop's theme is one.
        Glib::ustring theme = m_strDesktopTheme;
        if (m_look.highContrast && !themeIsHighContrast) {
            theme = preferDark ? "Default-hc-dark" : "Default-hc";
        }
        auto settings = Gtk::Settings::get_default();
        m_bSettingTheme = true;
        if (settings->property_gtk_application_prefer_dark_theme().get_value() != preferDark) {
            settings->property_gtk_application_prefer_dark_theme() = preferDark;
        }
        if (settings->property_gtk_theme_name().get_value() != theme) {
            settings->property_gtk_theme_name() = theme;
        }
        m_bSettingTheme = false;
        m_look.dark = dark.value_or(IsDark());
    }
    m_view.SetLook(m_look);
    m_keyboardView.queue_draw();
}

// ---- Dialogs ----------------------------------------------------------------------------------

void TutorWindow::ShowMessage(const std::string& primary, const std::string& secondary) {
    Ask(primary, secondary, {{"_OK", kYes}}, [](int) {});
}

void TutorWindow::Ask(const std::string& primary, const std::string& secondary,
                      const std::vector<std::pair<std::string, int>>& buttons,
                      std::function<void(int)> answer) {
    auto dialog = std::make_unique<Gtk::MessageDialog>(
        *this, primary, false, Gtk::MessageType::QUESTION, Gtk::ButtonsType::NONE, true);
    dialog->set_secondary_text(secondary);
    for (const auto& [label, id] : buttons) {
        dialog->add_button(label, id);
    }
    dialog->set_default_response(buttons.back().second);
    dialog->set_hide_on_close(true);
    dialog->signal_response().connect([this, answer](int response) {
        // The dialog goes once the answer is dealt with, which may open the next one.
        auto done = std::move(m_dialog);
        done->hide();
        answer(response);
        Glib::signal_idle().connect_once([d = std::shared_ptr<Gtk::Window>(std::move(done))] {});
    });
    m_dialog = std::move(dialog);
    m_dialog->show();
}

void TutorWindow::ShowShortcuts() {
    m_shortcutsBuilder = Gtk::Builder::create_from_string(kShortcutsUi);
    auto* window = m_shortcutsBuilder->get_widget<Gtk::ShortcutsWindow>("shortcuts");
    if (window) {
        window->set_transient_for(*this);
        window->set_hide_on_close(true);
        window->present();
    }
}
