// The desktop tutor's window: a lesson chooser, the typing screen with its figures and the
// on-screen keyboard, the end of a lesson, and the learner's progress. Keys go to the session
// of the core; the library draws the lesson (LessonView).
#pragma once

#include <gtkmm.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Book.h"
#include "DesktopPreference.h"
#include "History.h"
#include "Keyboard.h"
#include "Lesson.h"
#include "LessonView.h"
#include "Look.h"
#include "Profile.h"
#include "Session.h"
#include "Settings.h"
#include "StatusLine.h"

struct DesktopOptions {
    std::string dataDir;  // the data folder, which holds every profile
    std::string profile = Profile::kDefaultName;
    std::string layout;  // the profile's keyboard layout for this run; empty for its own
    std::string lesson;  // a bundled lesson's name or a text file; empty for the chooser
    bool book = false;   // lesson names a book, typed a part at a time
};

// Opens the profile name of the data folder through the core, as the terminal program does:
// makes its code page the current one, and takes options.layout when name is the profile the
// command line named. False with a message.
bool OpenDesktopProfile(const DesktopOptions& options, const std::string& name, Profile* profile,
                        std::string* error);

class TutorWindow : public Gtk::ApplicationWindow {
public:
    explicit TutorWindow(const DesktopOptions& options);
    ~TutorWindow() override;

    // The application's keyboard shortcuts.
    static void SetAccels(const Glib::RefPtr<Gtk::Application>& app);

    // For the latency benchmark: the lesson view, and a hook run once a key has been drawn.
    LessonView& View() { return m_view; }
    void SetKeyShownHook(std::function<void()> hook) { m_keyShownHook = std::move(hook); }

private:
    // Start-up: the profile (its code page and keyboard), then its history, then the lesson
    // named or the chooser. False, said in a dialog, when the profile cannot be opened.
    bool SwitchProfile(const std::string& name);
    void OpenHistory();
    void OfferNewHistory(const std::string& message);

    // Screens.
    void BuildChooser();
    void FillChooser();
    Gtk::Widget& BuildProfileChooser();
    void FillProfileChooser();
    // "what — TypeTutor", naming the profile unless it is the default one.
    std::string WindowTitle(const std::string& what) const;
    void BuildTyping();
    void BuildSummary();
    void BuildProgress();
    void BuildSettings();
    void ShowChooser();
    void ShowSummary();
    void ShowProgress();

    // A lesson.
    void ChooseAndStart(const std::string& nameOrPath);
    void StartLesson(const Lesson& lesson);
    void OpenTextFile();
    void OnKey(const Key& key);
    void OnCommit(const std::string& utf8);
    bool OnKeyPressed(guint keyval, guint keycode, Gdk::ModifierType state);
    bool OnTick();
    void OnActiveChanged();
    // The figures, and the hint of the last key or else the help.
    void RefreshStatus();
    void DrawKeyboard(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);
    // Fills and saves the lesson record; says so when the history cannot be saved.
    void KeepLesson();
    // With a lesson begun and not finished, asks whether to keep it, then goes on with then
    // (unless the learner stays); otherwise goes on straight away.
    void LeaveLesson(std::function<void()> then);
    bool LessonInProgress() const;

    // Practice from the history, and books typed a part at a time.
    void BuildPracticeAndBooks();
    void FillBooks();
    void StartPractice();
    void OpenBookFile();
    void StartBook(const std::string& path);
    // After a book's part was typed to its end and kept: records it and says what comes next.
    void FinishBook();

    // Settings.
    void ApplyFontSize(int size);
    void SaveSettings();
    // Decides the look from the learner's choice, the desktop's preference and the GTK theme,
    // and sets GTK's dark preference and high-contrast theme so that the widgets follow.
    void ApplyTheme();
    // Whether the GTK theme in use is dark.
    bool IsDark();
    // GTK's theme settings changed: the desktop's (xsettings), unless this window set them.
    void OnGtkThemeChanged();

    // Dialogs: a message, and a question with buttons (answer: the button's response id).
    void ShowMessage(const std::string& primary, const std::string& secondary);
    void Ask(const std::string& primary, const std::string& secondary,
             const std::vector<std::pair<std::string, int>>& buttons,
             std::function<void(int)> answer);
    void ShowShortcuts();
    bool OnCloseRequest();

    DesktopOptions m_options;
    DesktopSettings m_settings;
    Profile m_profile;
    std::unique_ptr<History> m_history;
    bool m_bHistoryUsable = false;
    Keyboard m_keyboard = Keyboard::UsQwerty();
    std::string m_strKeyboardNote;  // for the log, when the profile's layout could not be read
    bool m_bComposing = false;      // a dead key was pressed: the input method composes

    Lesson m_lesson;
    std::unique_ptr<Session> m_session;
    std::string m_strTitle;
    std::string m_strHint;  // about the last key, until the next one
    bool m_bKept = false;
    // The kept lesson's record and keys as they were before the save, for the summary.
    CLessonTrack m_keptRecord;
    LoggedLesson m_keptKeys;
    bool m_bClosing = false;

    Gtk::HeaderBar m_header;
    Gtk::Button m_lessonsButton{"Lessons"};
    Gtk::Button m_progressButton{"Progress"};
    Gtk::MenuButton m_settingsButton;
    Gtk::Popover m_settingsPopover;
    Gtk::Stack m_stack;

    // Chooser.
    Gtk::ScrolledWindow m_chooserScroll;
    Gtk::Box m_chooser{Gtk::Orientation::VERTICAL, 12};
    Gtk::ListBox m_bundledList;
    Gtk::ListBox m_recentList;
    Gtk::Label m_recentHeading;
    Gtk::Button m_openButton{"Open a text file\u2026"};
    std::vector<std::string> m_bundledNames;
    std::vector<std::string> m_recentSources;
    Gtk::DropDown m_profileDrop;
    std::vector<std::string> m_profileNames;
    bool m_bFillingProfiles = false;

    // Typing.
    Gtk::Box m_typing{Gtk::Orientation::VERTICAL, 6};
    Gtk::Label m_titleLabel;
    StatusLine m_statusLine;
    LessonView m_view;
    Gtk::DrawingArea m_keyboardView;
    Gtk::Label m_hintLabel;
    // gtkmm 4.8 does not wrap input-method contexts: GTK's own, which gives dead keys and
    // compose sequences.
    GtkIMContext* m_im = nullptr;
    Glib::RefPtr<Gtk::EventControllerKey> m_keys;

    // Summary.
    Gtk::Box m_summary{Gtk::Orientation::VERTICAL, 12};
    Gtk::Label m_summaryTitle;
    Gtk::Label m_summaryFigures;
    Gtk::Grid m_summarySections;  // three sections a row
    Gtk::Label m_summarySaved;
    Gtk::Button m_repeatButton{"_Repeat", true};
    Gtk::Button m_nextButton{"_Next lesson", true};
    Gtk::Button m_summaryProgressButton{"_Progress", true};

    // Progress.
    Gtk::Box m_progress{Gtk::Orientation::VERTICAL, 6};
    Gtk::DrawingArea m_progressView;
    Gtk::ScrolledWindow m_statsScroll;
    Gtk::Label m_statsLabel;
    std::unique_ptr<CairoDC> m_progressPicture;

    // Settings.
    Gtk::Box m_settingsBox{Gtk::Orientation::VERTICAL, 6};
    Gtk::DropDown m_methodDrop{
        std::vector<Glib::ustring>{"By letter", "By word", "By match", "Free typing"}};
    Gtk::CheckButton m_maskedCheck{"_Masked (typed text as asterisks)", true};
    Gtk::CheckButton m_justifyCheck{"_Justify lines", true};
    Gtk::CheckButton m_highlightCheck{"_Highlight the word to type", true};
    Gtk::CheckButton m_markCheck{"Mark _typos in red", true};
    Gtk::CheckButton m_keyboardCheck{"Show the _keyboard", true};
    Gtk::SpinButton m_fontSpin;
    Gtk::SpinButton m_pauseSpin;
    Gtk::DropDown m_appearanceDrop{
        std::vector<Glib::ustring>{"Follow the desktop", "Light", "Dark"}};

    // Looks.
    Look m_look;
    DesktopPreference m_desktop{[this] { ApplyTheme(); }};
    // GTK's theme and dark preference as the desktop set them, before this window changed them.
    Glib::ustring m_strDesktopTheme;
    bool m_bDesktopPrefersDark = false;
    bool m_bSettingTheme = false;

    std::unique_ptr<Gtk::Window> m_dialog;
    Glib::RefPtr<Gtk::FileChooserNative> m_fileChooser;
    Glib::RefPtr<Gtk::Builder> m_shortcutsBuilder;
    std::function<void()> m_keyShownHook;

    // Practice and books.
    std::string m_strFocus;          // what the practice lesson practises, for its title
    std::optional<BookPart> m_book;  // the book whose part is typed
    Gtk::Button m_practiceButton{"_Practice", true};
    Gtk::Button m_summaryPracticeButton{"Pr_actice", true};
    Gtk::Button m_openBookButton{"Open a _book\u2026", true};
    Gtk::Label m_booksHeading;
    Gtk::ListBox m_bookList;
    std::vector<std::string> m_bookPaths;
    sigc::connection m_tick;
    sigc::connection m_start;
    long long m_nLastKeyMs = 0;      // when the last key came
    long long m_nStatusShownMs = 0;  // when the figures were last shown
};
