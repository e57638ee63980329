// Key-to-frame latency of the desktop tutor: a whole lesson of at least --keys keys typed into
// the real window through the X server (XTest), each key sent once the frame showing the one
// before has been painted. The latency of a key runs from the moment it is sent to the end of
// the first frame painted after the tutor drew it (the frame clock's paint phase, after the
// window's surface has rendered in it). With
// --full-redraw every key draws both articles anew instead of the words it changed.
//
// Run under an X server (bench/run uses xvfb-run, GSK_RENDERER=cairo, GDK_BACKEND=x11); prints
// "name value" lines: latency median and 99th percentile in ms, library drawing per key in us.
//   tt_desktop_latency [--keys N] [--full-redraw]
#include "TutorWindow.h"

// After gtkmm, which X11's macros would break.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/x11/gdkx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kGapMs = 25;

// A lesson of lowercase words in lines, of at least n keys counting the Enter at each line end.
std::string MakeLesson(int n) {
    static const char* kWords[] = {"the",   "quick",  "brown", "fox",    "jumps",  "over",
                                   "lazy",  "dog",    "pack",  "my",     "box",    "with",
                                   "five",  "dozen",  "jugs",  "liquor", "sphinx", "of",
                                   "black", "quartz", "judge", "vow",    "while",  "river"};
    std::string text;
    std::string line;
    for (size_t i = 0; static_cast<int>(text.size() + line.size()) < n; ++i) {
        const std::string word = kWords[i * 7 % std::size(kWords)];
        if (line.size() + word.size() + 1 > 56) {
            text += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return text + line;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

class Driver {
public:
    Driver(TutorWindow& window, std::string keys, bool fullRedraw)
        : m_window(window), m_keys(std::move(keys)) {
        m_window.View().SetFullRedraw(fullRedraw);
        m_window.SetKeyShownHook([this] {
            m_bShown = true;
            m_drawMicros.push_back(m_window.View().LastDrawMicros());
        });
        m_pDisplay = XOpenDisplay(nullptr);
    }
    ~Driver() {
        if (m_pDisplay) {
            XCloseDisplay(m_pDisplay);
        }
    }

    // Starts once the window shows its lesson.
    void Start() {
        Glib::signal_timeout().connect_once(
            [this] {
                GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(m_window.gobj()));
                XSetInputFocus(m_pDisplay, gdk_x11_surface_get_xid(surface), RevertToParent,
                               CurrentTime);
                // After the surface's own handler, which renders the frame.
                m_window.get_frame_clock()->signal_paint().connect(
                    sigc::mem_fun(*this, &Driver::AfterPaint), true);
                SendNext();
            },
            1000);
    }

    const std::vector<double>& Latencies() const { return m_latencies; }
    const std::vector<double>& DrawMicros() const { return m_drawMicros; }
    bool Ok() const { return m_pDisplay != nullptr; }

private:
    void SendNext() {
        if (m_next >= m_keys.size()) {
            m_window.get_application()->quit();
            return;
        }
        const char c = m_keys[m_next++];
        const KeySym sym = c == '\n' ? XK_Return : c == ' ' ? XK_space : static_cast<KeySym>(c);
        const KeyCode code = XKeysymToKeycode(m_pDisplay, sym);
        m_bShown = false;
        m_sent = Clock::now();
        XTestFakeKeyEvent(m_pDisplay, code, True, CurrentTime);
        XTestFakeKeyEvent(m_pDisplay, code, False, CurrentTime);
        XFlush(m_pDisplay);
    }

    void AfterPaint() {
        if (!m_bShown) {
            return;
        }
        m_bShown = false;
        m_latencies.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - m_sent).count());
        // The next key after a pause, as a learner's keys come (a fast typist's are 100 ms
        // apart): past the frame clock's frame interval, so that its throttle does not count.
        Glib::signal_timeout().connect_once([this] { SendNext(); }, kGapMs);
    }

    TutorWindow& m_window;
    std::string m_keys;
    size_t m_next = 0;
    Display* m_pDisplay = nullptr;
    bool m_bShown = false;
    Clock::time_point m_sent;
    std::vector<double> m_latencies;
    std::vector<double> m_drawMicros;
};

}  // namespace

int main(int argc, char* argv[]) {
    int keys = 1200;
    bool full = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--keys" && i + 1 < argc) {
            keys = std::max(std::atoi(argv[++i]), 10);
        } else if (arg == "--full-redraw") {
            full = true;
        }
    }
    // A scratch data directory and settings folder: the learner's are not touched.
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / ("tt-latency-" + std::to_string(getpid()));
    std::filesystem::create_directories(work / "config");
    setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    const std::string text = MakeLesson(keys);
    std::ofstream(work / "latency.txt") << text << "\n";

    DesktopOptions options;
    options.dataDir = (work / "data").string();
    options.lesson = (work / "latency.txt").string();
    auto app = Gtk::Application::create("io.github.typetutor.TypeTutor.Latency",
                                        Gio::Application::Flags::NON_UNIQUE);
    std::unique_ptr<Driver> driver;
    TutorWindow* window = nullptr;
    app->signal_activate().connect([&] {
        window = new TutorWindow(options);
        app->add_window(*window);
        window->present();
        driver = std::make_unique<Driver>(*window, text, full);
        driver->Start();
    });
    char* args[] = {argv[0]};
    app->run(1, args);
    const char* mode = full ? "full" : "incremental";
    if (!driver || !driver->Ok() || driver->Latencies().size() < static_cast<size_t>(keys) / 2) {
        std::fprintf(stderr, "tt_desktop_latency: the keys did not reach the window\n");
        return 1;
    }
    std::printf("latency-%s-keys %zu\n", mode, driver->Latencies().size());
    std::printf("latency-%s-median-ms %.3f\n", mode, Percentile(driver->Latencies(), 0.5));
    std::printf("latency-%s-p99-ms %.3f\n", mode, Percentile(driver->Latencies(), 0.99));
    std::printf("draw-%s-median-us %.1f\n", mode, Percentile(driver->DrawMicros(), 0.5));
    delete window;
    std::filesystem::remove_all(work);
    return 0;
}
