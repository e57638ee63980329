// Books: a long text typed a part of about a page at a time, and the learner's place in every
// book, kept in a small file in the data directory. A book is known by its content, not by its
// path; a book changed on disk is found again by the content of its parts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Lesson.h"
#include "Session.h"

class History;
struct Options;

// A book's text cut into parts. The whole text is held in the library's single-byte form, each
// paragraph on a line of its own with its inner line breaks and runs of blanks made single
// spaces; a part is a run of whole paragraphs (or sentences of one longer than a page).
class Book {
public:
    // About a page: a part holds at most this many characters.
    static constexpr size_t kPageChars = 1500;

    // Reads the file and cuts it into parts, replacing what the object held. A Project
    // Gutenberg text loses its licence header and footer and takes its title from the header;
    // any other book is titled by its file name. Lines are joined into paragraphs at blank
    // lines (a text without one has a paragraph a line). Paragraphs that do not fit the
    // single-byte code page (or hold a word too long to type) are left out and counted.
    // Chapter headings are not typed: each begins a part and is shown above it. False with a
    // message naming the file for a file that cannot be read, a binary file, an empty book and
    // a book with no paragraph to type.
    bool Open(const std::string& path, std::string* error);

    const std::string& Title() const { return m_strTitle; }
    // The content's hash as 16 hex digits: the same text gives the same id wherever it lies.
    const std::string& Id() const { return m_strId; }
    int PartCount() const { return static_cast<int>(m_parts.size()); }
    // The part's lesson text (single-byte, a paragraph a line).
    std::string PartText(int part) const;
    // The chapter heading the part begins (UTF-8); empty when it begins none.
    std::string Heading(int part) const;
    std::uint64_t PartHash(int part) const;
    // The first part whose hash is hash; -1 when none is.
    int FindPart(std::uint64_t hash) const;
    long long PartChars(int part) const;
    // Characters of the parts from part to the end.
    long long CharsFrom(int part) const;
    // Paragraphs left out, and why the first of them was ("line N: ...").
    int SkippedParagraphs() const { return m_nSkipped; }
    const std::string& SkipReason() const { return m_strSkipReason; }

private:
    struct Part {
        size_t begin = 0;  // in m_text
        size_t end = 0;
        int heading = -1;  // in m_headings
    };

    void Cut(std::string_view raw, size_t begin, size_t end, int firstLine);
    // Appends a paragraph's line (without its leading blanks) to m_text, runs of blanks made
    // single spaces; false (after Skip) for a character without a single-byte form or a word
    // too long to type.
    bool AppendLine(std::string_view line, int number);
    void EndParagraph(size_t separator, size_t start, int lines);
    void AddPiece(size_t begin, size_t end);
    size_t SentenceCut(size_t from, size_t limit) const;
    void Skip(int line, const std::string& reason);

    std::string m_strTitle;
    std::string m_strId;
    std::string m_text;
    std::vector<Part> m_parts;
    std::vector<std::string> m_headings;
    std::string m_strPendingHeading;
    int m_nSkipped = 0;
    std::string m_strSkipReason;
    mutable std::vector<std::uint64_t> m_hashes;  // every part's, made on first search
};

// One book's progress, as the progress file keeps it.
struct BookProgress {
    std::string id;  // Book::Id()
    std::string title;
    std::string path;  // where the book was last opened
    int nextPart = 0;  // from 0; partCount once the book is done
    int partCount = 0;
    std::uint64_t nextHash = 0;  // of the part at nextPart; 0 once the book is done
    std::uint64_t lastHash = 0;  // of the part before it
    long long charsTyped = 0;    // characters of the parts typed
    long long charsLeft = 0;     // characters of the parts from nextPart on
    long long keys = 0;
    long long errors = 0;
    long long seconds = 0;  // active typing time
};

// Characters per minute and percent of keystrokes right over the book; 0 before a timed part.
int BookSpeed(const BookProgress& book);
int BookAccuracy(const BookProgress& book);
// Seconds to type the rest at the learner's speed in this book; -1 before a timed part.
long long BookSecondsLeft(const BookProgress& book);
// One line: "part 4 of 300 next, 3 typed (4,350 characters), 240 cpm, 96% accurate, about
// 11 h 20 min left"; once done, "the whole book typed, 300 parts (...), ...".
std::string SummarizeBook(const BookProgress& book);

// The file's name in the data directory.
inline constexpr const char* kBookProgressFile = "books.txt";
// Every book's progress, the one typed last at the end; none when the file is missing. Lines that
// do not read as a record are kept in the file but not returned.
std::vector<BookProgress> LoadBookProgress(const std::string& dataDir);
// The one place the progress file is written, under the exclusive lock of history's data
// directory: reads the file, lets change update the record of book id (taken over from the
// record replacedId when id has none and replacedId is given; a new one otherwise), and writes
// the file anew beside the old one, then puts it in its place, so that a crash leaves either
// file whole and a reader without the lock sees one or the other. False with a message when
// the lock cannot be had or the file cannot be written (the old file stays as it was).
bool UpdateBookProgress(History& history, const std::string& id, const std::string& replacedId,
                        const std::function<void(BookProgress&)>& change, std::string* error);

// A book's part opened for typing, and what its record becomes once it is typed.
struct BookPart {
    std::string path;
    std::string id;
    std::string replacedId;  // the record of an earlier text of the book, carried over
    std::string title;
    int part = 0;  // from 0
    int partCount = 0;
    std::string heading;
    long long chars = 0;       // this part's characters
    long long charsAfter = 0;  // of the parts after it
    std::uint64_t hash = 0;
    std::uint64_t nextHash = 0;  // of the part after it; 0 for the last
    // What the learner should be told before typing: paragraphs left out, a changed book, a
    // book typed to its end and begun again. Empty when nothing.
    std::string notice;
};

// Opens the book and finds the learner's place from the progress file in dataDir: by the
// book's content; for a book not known by its content (a changed one), by the content of the
// part that was next or the part before it; else the first part (an earlier record is kept).
// *lesson becomes the part's lesson, named by the book's title. False with Book::Open's message.
bool OpenBookPart(const std::string& path, const std::string& dataDir, Lesson* lesson,
                  BookPart* part, std::string* error);
// Once the part is typed to its end: adds the figures to the book's record in history's data
// directory and moves it to the next part. *record (may be null) gets the record as written.
bool RecordBookPart(History& history, const BookPart& part, const SessionFigures& f,
                    BookProgress* record, std::string* error);

// The lesson the command line names: with options.book the book's next part (*book set), else
// ChooseLesson's. False with a message.
bool ChooseNamedLesson(const Options& options, Lesson* lesson, std::optional<BookPart>* book,
                       std::string* error);
// After a book's part was typed to its end: records it and says in *message what comes next
// ("Book: part 4 of 300 next, ..."), or why the place could not be saved (false).
bool FinishBookPart(History& history, const BookPart& book, const SessionFigures& f,
                    std::string* message);
