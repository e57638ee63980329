// Writes the fuzz targets' starting inputs: a few lessons and typed pairs, and record files
// made by the library itself. Usage: seed_writer CORPUS_DIR (one folder per target inside).
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Article/LessonTrackFile.h"
#include "Article/WordTrackFile.h"
#include "diagnostics/ReportCapture.h"
#include "platform/Clock.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string g_strRoot;

void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
    const std::string dir = g_strRoot + "/" + target;
    mkdir(dir.c_str(), 0755);
    std::ofstream out(dir + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes Cat(const Bytes& a, const std::string& b) {
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

void PutI16(Bytes& b, int v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

// The layout target's 16-byte header: flags, paper (left, top, width, height), font height and
// width, spacing code, current token, two scroll steps, clip top and clip height.
Bytes ArtHeader(unsigned flags, int width, int height, int fontHeight = 0, int spacing = 4,
                int current = 0, int scroll1 = 0, int scroll2 = 0) {
    Bytes b;
    b.push_back(static_cast<unsigned char>(flags));
    PutI16(b, 10);
    PutI16(b, 20);
    PutI16(b, width);
    PutI16(b, height);
    b.push_back(static_cast<unsigned char>(fontHeight));
    b.push_back(0);
    b.push_back(static_cast<unsigned char>(spacing));
    b.push_back(static_cast<unsigned char>(current));
    b.push_back(static_cast<unsigned char>(scroll1));
    b.push_back(static_cast<unsigned char>(scroll2));
    PutI16(b, 0);
    b.resize(16, 0);
    return b;
}

void WriteArtSeeds() {
    const std::string lesson =
        "The quick brown fox jumps over the lazy dog.\n"
        "(Pack my box) with five dozen \"liquor\" jugs!\n\n"
        "e.g. don't stop; well-known, 42% & more...\n";
    Write("art_layout", "lesson", Cat(ArtHeader(0x20, 320, 200), lesson));
    Write("art_layout", "justified", Cat(ArtHeader(0x21, 200, 64, 0, 4, 3, 2, -1), lesson));
    Write("art_layout", "masked-highlighted", Cat(ArtHeader(0x36, 160, 48, -12, 8, 5), lesson));
    Write(
        "art_layout", "two-texts",
        Cat(Cat(ArtHeader(0x20, 96, 40), "first text here\n"), std::string("\0second\ttext", 12)));
    Write("art_layout", "long-word",
          Cat(ArtHeader(0x20, 80, 40), std::string(62, 'w') + "\n" + std::string(63, 'v') + " " +
                                           std::string(61, 'u') + " \n"));
    Write("art_layout", "high-bytes",
          Cat(ArtHeader(0x20, 120, 120), "\x80\x81\xfe\xff caf\xe9 \xa0\xa0 \r\n\t\t  \x7f end"));
    Write("art_layout", "extreme-paper", Cat(ArtHeader(0xE0, 1, 1, 127, 0xF4), lesson));
}

Bytes Pair(unsigned flags, const std::string& ref, const std::string& typed) {
    Bytes b;
    b.push_back(static_cast<unsigned char>(flags));
    b.push_back(static_cast<unsigned char>(ref.size()));
    b.insert(b.end(), ref.begin(), ref.end());
    b.insert(b.end(), typed.begin(), typed.end());
    return b;
}

void WriteMatchingSeeds() {
    Write("compare_matching", "exact", Pair(0x01, "hello", "hello"));
    Write("compare_matching", "dropped-letter", Pair(0x01, "hello", "helo"));
    Write("compare_matching", "punctuation", Pair(0x03, "(don't)", "dont)"));
    Write("compare_matching", "by-letter", Pair(0x11, "letter", "lettre"));
    Write("compare_matching", "longest",
          Pair(0x01, std::string(63, 'a'), std::string(30, 'a') + "b" + std::string(40, 'a')));
    Write("compare_matching", "codes", Pair(0x01, "a-b", std::string("a\x03\x04-b\xff", 6)));
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes WithPlan(unsigned plan, const Bytes& image) {
    Bytes b{static_cast<unsigned char>(plan)};
    b.insert(b.end(), image.begin(), image.end());
    return b;
}

// The session target's input: flags, paper width in cells, the lesson, a zero, then the steps
// (0x08 backspace, 0xF1 m method, 0xF2 pause, 0xF3 resume, 0xF6 n wait, 0xF7 layout,
// 0xF8 f drawing flags, 0xF9 hand-over, 0xFA k raw key, other bytes keys).
Bytes Session(unsigned flags, int cells, const std::string& lesson, const std::string& steps) {
    Bytes b{static_cast<unsigned char>(flags), static_cast<unsigned char>(cells)};
    b = Cat(b, lesson);
    b.push_back(0);
    return Cat(b, steps);
}

void WriteSessionSeeds() {
    using namespace std::string_literals;
    const std::string lesson = "The quick brown fox.\nJumps over, the \"lazy\" dog!";
    Write("typing_session", "by-letter-typos",
          Session(0x01, 40, lesson,
                  "Teh quik\x08\x08"
                  "ck  brownn fox.x\nJ\x08Jumps\n\xF9"));
    Write("typing_session", "by-match-method-changes",
          Session(0x03, 40, lesson,
                  "Th quick\xF1\x01 bro\xF1\x02wn fox\xF1\x04.\n\xF1\x00Jum\x08\x08ps\xF9"s));
    Write("typing_session", "free-typing",
          Session(0x00, 10, lesson, " ab cd\nef\x08\x08\x08gh ij kl mn op qr st uv wx yz\xF7"));
    Write("typing_session", "pauses-and-resumes",
          Session(0x01, 40, lesson,
                  "The\xF2\xF6\xFF\xF3 qui\xF6\x50"
                  "ck\xF2\xF2\xF3\xF3\xF4 br"));
    Write("typing_session", "keys-before-layout",
          Session(0x11, 40, lesson, "Th\x08\xF9\xF7The q\xF8\x02ui\xF8\x01"));
    Write("typing_session", "long-word",
          Session(0x01, 20, std::string(63, 'w') + " " + std::string(62, 'v') + "\n",
                  std::string(64, 'w') + " " + std::string(66, 'v') + "\n\n"));
    Write("typing_session", "control-and-high-bytes",
          Session(0x03, 16, "a\tb\rc \x01\x7f\xe9t\xe9 \xff\xfe\n",
                  "a\xFA\x08\xFA\xF7\xFA\x00\tb\rc \x01\x7f\xe9t\xe9 \xFA\xFF\xFA\xFE\n"s));
}

void WriteLessonSeeds(const std::string& scratch) {
    ScopedFakeClock clock(2024, 3, 5, 9, 30);
    CLessonTrackFile f;
    const std::string path = scratch + "/lessons";
    f.Save(path.c_str());
    Write("lesson_track_file", "empty", WithPlan(0x00, ReadAll(path)));

    f.AddNewTrack(1, 2, 3);
    CLessonTrack* t = f.GetLastTrack();
    t->m_nSeconds = 61;
    t->m_nKeys = 300;
    t->m_nErrors = 12;
    t->m_dSpeed = 295.1;
    t->m_dTopSpeed = 410.0;
    t->m_nWords = 60;
    t->m_nWordErrors = 7;
    for (int c = 'a'; c <= 'z'; ++c) {
        t->m_aCharTrack[c].m_nKeys = c;
        t->m_aCharTrack[c].m_nTime = 200 * (c - 'a' + 1);
        t->m_aCharTrack[c].m_nErrors = c % 3;
    }
    t->m_aCharTrack[static_cast<int>(' ')].m_nKeys = 50;
    f.Save(path.c_str());
    Write("lesson_track_file", "one", WithPlan(0x41, ReadAll(path)));

    clock.Advance(3600 * 1000);
    f.AddNewTrack(1, 2, 3);
    f.GetLastTrack()->m_nKeys = 100;
    f.Save(path.c_str());
    const Bytes two = ReadAll(path);
    Write("lesson_track_file", "two-same-day", WithPlan(0x12, two));
    Write("lesson_track_file", "two-fail-third-write", WithPlan(0x03, two));

    // The second record stamped in the year 2000 fails its check.
    Bytes bad = two;
    const std::size_t second = 4 + sizeof(CLessonTrack);
    bad[second] = 2000 & 0xFF;
    bad[second + 1] = 2000 >> 8;
    Write("lesson_track_file", "bad-year", WithPlan(0x00, bad));
    Bytes shorter(two.begin(), two.end() - 1);
    Write("lesson_track_file", "one-byte-short", WithPlan(0x00, shorter));
}

void WriteWordSeeds(const std::string& scratch) {
    CWordTrackFile f;
    const std::string path = scratch + "/words";
    f.Save(path.c_str());
    Write("word_track_file", "empty", WithPlan(0x00, ReadAll(path)));
    const char* words[] = {"a", "quick", "(brown)", "fox's"};
    int k = 0;
    for (const char* w : words) {
        WordTrack* r = CreateWordTrack(w);
        r->m_nCount = 1;
        r->m_nTime = 350 * ++k;
        r->m_wAttemptTime = static_cast<WORD>(r->m_nTime);
        r->m_wErrors = r->m_bMistyped = static_cast<BYTE>(k % 2);
        f.Add(r);
    }
    WordTrack* longest = CreateWordTrack(std::string(127, 'z').c_str());
    f.Add(longest);
    f.Save(path.c_str());
    const Bytes five = ReadAll(path);
    Write("word_track_file", "five", WithPlan(0x40, five));
    Write("word_track_file", "five-fail-write", WithPlan(0x04, five));
    Write("word_track_file", "five-fail-sync", WithPlan(0x10, five));

    // The first record without a zero in its word.
    Bytes noZero = five;
    std::memset(&noZero[4 + 25], 'n', 5);
    Write("word_track_file", "no-null-end", WithPlan(0x00, noZero));
    // The first record declares a size past the end of the file.
    Bytes tooBig = five;
    tooBig[4] = 0xFF;
    tooBig[5] = 0x00;
    Write("word_track_file", "size-past-end", WithPlan(0x00, tooBig));
    // Bytes behind the last record.
    Bytes trailing = five;
    trailing.insert(trailing.end(), 5, 0xAB);
    Write("word_track_file", "trailing", WithPlan(0x00, trailing));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_writer CORPUS_DIR\n");
        return 2;
    }
    g_strRoot = argv[1];
    mkdir(g_strRoot.c_str(), 0755);
    char scratch[] = "/tmp/tt-seeds-XXXXXX";
    if (!mkdtemp(scratch)) {
        return 1;
    }
    ScopedReportCapture quiet;
    WriteArtSeeds();
    WriteMatchingSeeds();
    WriteSessionSeeds();
    WriteLessonSeeds(scratch);
    WriteWordSeeds(scratch);
    for (const char* name : {"lessons", "words"}) {
        std::remove((std::string(scratch) + "/" + name).c_str());
    }
    std::remove(scratch);
    return 0;
}
