// Writes the fuzz targets' starting inputs: a few lessons, and record files made by the library
// itself. Usage: seed_writer CORPUS_DIR (one folder per target inside).
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "Article/LessonTrackFile.h"
#include "Article/WordTrackFile.h"
#include "FuzzSupport.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"

using namespace std::string_literals;

namespace {

using Bytes = std::vector<unsigned char>;

std::string g_strRoot;

// One seed: the bytes of the pieces one after the other.
void Write(const std::string& target, const std::string& name,
           std::initializer_list<std::string> pieces) {
    std::filesystem::create_directories(g_strRoot + "/" + target);
    Bytes bytes;
    for (const std::string& piece : pieces) {
        bytes.insert(bytes.end(), piece.begin(), piece.end());
    }
    FuzzWriteFile(g_strRoot + "/" + target + "/" + name, bytes);
}

// The layout target's 16 settings bytes: flags, paper (left 10, top 20, width, height), font
// height, spacing code, current token and two scroll steps; no clip band.
std::string ArtSettings(char flags, char width, char height, char font = 0, char spacing = 4,
                        char current = 0, char scroll1 = 0, char scroll2 = 0) {
    return {flags, 10,   0, 20,      0,       width,   0,       height,
            0,     font, 0, spacing, current, scroll1, scroll2, 0};
}

void WriteArtSeeds() {
    const std::string lesson =
        "The quick brown fox jumps over the lazy dog.\n"
        "(Pack my box) with five dozen \"liquor\" jugs!\n\n"
        "e.g. don't stop; well-known, 42% & more...\n";
    Write("art_layout", "justified", {ArtSettings(0x21, 100, 64, 0, 4, 3, 2, -1), lesson});
    Write("art_layout", "masked-highlighted", {ArtSettings(0x36, 80, 48, -12, 8, 5), lesson});
    Write("art_layout", "two-texts",
          {ArtSettings(0x20, 96, 40), "first text here\n", std::string("\0second\ttext", 12)});
    Write("art_layout", "long-words",
          {ArtSettings(0x20, 80, 40), std::string(62, 'w') + "\n" + std::string(63, 'v') + " " +
                                          std::string(61, 'u') + " \n"});
    Write("art_layout", "high-bytes",
          {ArtSettings(0x20, 120, 120), "\x80\x81\xfe\xff caf\xe9 \xa0\xa0 \r\n\t\t  \x7f end"});
    Write("art_layout", "extreme-paper", {ArtSettings(0xE0, 1, 1, 127, 0xF4), lesson});
}

// The session target's input: flags, paper width in cells, the lesson, a zero, then the steps
// (0x08 backspace, 0xF1 m method, 0xF2 pause, 0xF3 resume, 0xF4 continue, 0xF6 n wait, 0xF7
// layout, 0xF8 f drawing flags, 0xF9 hand-over, 0xFA k raw key, other bytes keys).
void WriteSession(const std::string& name, char flags, char cells, const std::string& lesson,
                  const std::string& steps) {
    Write("typing_session", name, {std::string{flags, cells}, lesson, std::string(1, '\0'), steps});
}

void WriteSessionSeeds() {
    const std::string lesson = "The quick brown fox.\nJumps over, the \"lazy\" dog!";
    WriteSession("by-letter-typos", 0x01, 40, lesson,
                 "Teh quik\x08\x08"
                 "ck  brownn fox.x\nJ\x08Jumps\n\xF9");
    WriteSession("by-match-method-changes", 0x03, 40, lesson,
                 "Th quick\xF1\x01 bro\xF1\x02wn fox\xF1\x04.\n\xF1\x00Jum\x08\x08ps\xF9"s);
    WriteSession("free-typing", 0x00, 10, lesson, " ab cd\nef\x08\x08\x08gh ij kl mn op qr\xF7");
    WriteSession("pauses-before-layout", 0x11, 40, lesson,
                 "Th\x08\xF9\xF7The\xF2\xF6\xFF\xF3 qui\xF6\x50"
                 "ck\xF2\xF3\xF4 b\xF8\x02r");
    WriteSession("long-words", 0x01, 20, std::string(63, 'w') + " " + std::string(62, 'v') + "\n",
                 std::string(64, 'w') + " " + std::string(66, 'v') + "\n\n");
    WriteSession("control-and-high-bytes", 0x03, 16, "a\tb\rc \x01\x7f\xe9t\xe9 \xff\xfe\n",
                 "a\xFA\x08\xFA\xF7\xFA\x00\tb\rc \x01\x7f\xe9t\xe9 \xFA\xFF\xFA\xFE\n"s);
}

// A record file seed: the fault plan byte, then the image the library saved.
template <class RecordFile>
std::string Saved(RecordFile& f) {
    const std::string path = FuzzScratchDir() + "/seed.trk";
    f.Save(path.c_str());
    const Bytes image = FuzzReadFile(path);
    return std::string(image.begin(), image.end());
}

void WriteLessonSeeds() {
    ScopedFakeClock clock(2024, 3, 5, 9, 30);
    CLessonTrackFile f;
    Write("lesson_track_file", "empty", {"\x00"s, Saved(f)});
    f.AddNewTrack(1, 2, 3);
    CLessonTrack* t = f.GetLastTrack();
    t->m_nSeconds = 61;
    t->m_nKeys = 300;
    t->m_nErrors = 12;
    t->m_dSpeed = 295.1;
    t->m_nWords = 60;
    t->m_nWordErrors = 7;
    for (int c = 'a'; c <= 'z'; ++c) {
        t->m_aCharTrack[c].m_nKeys = c;
        t->m_aCharTrack[c].m_nTime = 200 * (c - 'a' + 1);
        t->m_aCharTrack[c].m_nErrors = c % 3;
    }
    Write("lesson_track_file", "one-add", {"\x41", Saved(f)});
    clock.Advance(3600 * 1000);
    f.AddNewTrack(1, 2, 3);
    f.GetLastTrack()->m_nKeys = 100;
    std::string two = Saved(f);
    Write("lesson_track_file", "two-fail-sync", {"\x12", two});
    Write("lesson_track_file", "two-fail-third-write", {"\x03", two});
    // The second record stamped in the year 2000 fails its check.
    two[4 + sizeof(CLessonTrack)] = static_cast<char>(2000 & 0xFF);
    two[5 + sizeof(CLessonTrack)] = static_cast<char>(2000 >> 8);
    Write("lesson_track_file", "bad-year", {"\x00"s, two});
}

void WriteWordSeeds() {
    CWordTrackFile f;
    Write("word_track_file", "empty", {"\x00"s, Saved(f)});
    int k = 0;
    for (const std::string& w : {"a"s, "quick"s, "(brown)"s, "fox's"s, std::string(127, 'z')}) {
        WordTrack* r = CreateWordTrack(w.c_str());
        r->m_nCount = 1;
        r->m_nTime = 350 * ++k;
        r->m_wErrors = r->m_bMistyped = static_cast<BYTE>(k % 2);
        f.Add(r);
    }
    std::string five = Saved(f);
    Write("word_track_file", "five-add", {"\x40", five});
    Write("word_track_file", "five-fail-write", {"\x04", five});
    Write("word_track_file", "trailing", {"\x00"s, five, "\xAB\xAB\xAB"});
    // The first record without a zero at the end of its word.
    five.replace(4 + 25, 5, "nnnnn");
    Write("word_track_file", "no-null-end", {"\x00"s, five});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_writer CORPUS_DIR\n");
        return 2;
    }
    g_strRoot = argv[1];
    ScopedReportCapture quiet;
    WriteArtSeeds();
    WriteSessionSeeds();
    WriteLessonSeeds();
    WriteWordSeeds();
    return 0;
}
