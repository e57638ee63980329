#include "Book.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "Article/Token.h"
#include "Encoding.h"
#include "History.h"
#include "Options.h"
#include "platform/File.h"

namespace fs = std::filesystem;

namespace {

// Project Gutenberg's plain texts keep their licence outside the lines that begin with these.
constexpr const char* kGutenbergStart = "*** START OF";
constexpr const char* kGutenbergEnd = "*** END OF";
constexpr const char* kGutenbergTitle = "Title:";

// A long paragraph is not cut at a sentence in the first third of a page: no piece is tiny.
constexpr size_t kShortestPiece = Book::kPageChars / 3;
constexpr size_t kLongestHeading = 80;
constexpr int kMostHeadingLines = 2;
// The longest word the library takes whole, with the line feed that may end it.
constexpr int kLongestWord = kMaxTokenLength - 1;

constexpr const char* kProgressHeader = "# typetutor books 1";
constexpr const char* kNewSuffix = ".new";
constexpr int kProgressFields = 12;

bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// A file's bytes, mapped into memory read-only for as long as the object lives: a book is read
// once, front to back, and need not be copied.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        std::error_code ec;
        const int fd = fs::is_regular_file(path, ec) ? ::open(path.c_str(), O_RDONLY) : -1;
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            Close(fd);
            return;
        }
        m_nSize = static_cast<size_t>(st.st_size);
        void* p = m_nSize ? ::mmap(nullptr, m_nSize, PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
        m_bOk = m_nSize == 0 || p != MAP_FAILED;
        m_pData = m_nSize && p != MAP_FAILED ? static_cast<const char*>(p) : nullptr;
        if (m_pData) {
            ::madvise(p, m_nSize, MADV_SEQUENTIAL);
        }
        Close(fd);
    }
    ~MappedFile() {
        if (m_pData) {
            ::munmap(const_cast<char*>(m_pData), m_nSize);
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool Ok() const { return m_bOk; }
    std::string_view Text() const { return {m_pData ? m_pData : "", m_pData ? m_nSize : 0}; }

private:
    static void Close(int fd) {
        if (fd >= 0) {
            ::close(fd);
        }
    }

    const char* m_pData = nullptr;
    size_t m_nSize = 0;
    bool m_bOk = false;
};

// Where the line that starts with marker begins (the last such line when last); npos if none.
size_t FindLine(std::string_view text, const char* marker, bool last) {
    for (size_t at = last ? text.rfind(marker) : text.find(marker); at != std::string::npos;
         at = last ? (at ? text.rfind(marker, at - 1) : std::string::npos)
                   : text.find(marker, at + 1)) {
        if (at == 0 || text[at - 1] == '\n') {
            return at;
        }
    }
    return std::string::npos;
}

size_t NextLine(std::string_view text, size_t at) {
    const size_t end = text.find('\n', at);
    return end == std::string::npos ? text.size() : end + 1;
}

std::string Lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

bool IsRoman(const std::string& w) {
    return !w.empty() && w.find_first_not_of("IVXLCDM") == std::string::npos;
}

bool IsNumeral(const std::string& word) {
    static const char* const kWords[] = {"one",   "two",    "three", "four",   "five",   "six",
                                         "seven", "eight",  "nine",  "ten",    "eleven", "twelve",
                                         "first", "second", "third", "fourth", "fifth",  "sixth",
                                         "the",   "last",   "i",     "ii",     "iii",    "iv"};
    if (!word.empty() && word.find_first_not_of("0123456789") == std::string::npos) {
        return true;
    }
    const std::string w = Lower(word);
    return IsRoman(word) || std::find_if(std::begin(kWords), std::end(kWords),
                                         [&](const char* k) { return w == k; }) != std::end(kWords);
}

// "CHAPTER I.", "Chapter 12: The Ball", "BOOK THE FIRST", "XIV. THE RED-HEADED LEAGUE", "I.":
// a short paragraph of a line or two that a keyword and a numeral, or a Roman numeral alone
// or before a title in capitals, begin.
bool IsHeading(std::string_view text, int lines) {
    if (lines > kMostHeadingLines || text.size() > kLongestHeading) {
        return false;
    }
    std::istringstream words{std::string(text)};
    std::string first;
    std::string second;
    words >> first >> second;
    const bool dotted = !first.empty() && (first.back() == '.' || first.back() == ':');
    const std::string key = dotted ? first.substr(0, first.size() - 1) : first;
    static const char* const kKeywords[] = {"chapter", "book",  "part",  "volume", "act",
                                            "scene",   "stave", "canto", "section"};
    const std::string lower = Lower(key);
    if (std::find_if(std::begin(kKeywords), std::end(kKeywords),
                     [&](const char* k) { return lower == k; }) != std::end(kKeywords)) {
        while (!second.empty() && std::ispunct(static_cast<unsigned char>(second.back()))) {
            second.pop_back();
        }
        return IsNumeral(second);
    }
    const bool capitals = std::none_of(text.begin(), text.end(), [](char c) {
        return std::islower(static_cast<unsigned char>(c));
    });
    return IsRoman(key) && (dotted || second.empty()) && capitals;
}

// After a sentence's end: ". ", "?\" ", "!) ".
bool EndsSentence(const std::string& text, size_t space) {
    constexpr std::string_view kClosing = "\"')]\x92\x94\xBB";
    constexpr std::string_view kEnds = ".!?\x85";
    size_t k = space;
    while (k > 0 && kClosing.find(text[k - 1]) != std::string_view::npos) {
        --k;
    }
    return k > 0 && kEnds.find(text[k - 1]) != std::string_view::npos;
}

std::string Hex(std::uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "%016" PRIx64, v);
    return text;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        out += c == '\t' ? "\\t" : c == '\n' ? "\\n" : c == '\\' ? "\\\\" : std::string(1, c);
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            ++i;
            out += s[i] == 't' ? '\t' : s[i] == 'n' ? '\n' : s[i];
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string FormatRecord(const BookProgress& b) {
    std::ostringstream line;
    line << b.id << '\t' << b.nextPart << '\t' << b.partCount << '\t' << Hex(b.nextHash) << '\t'
         << Hex(b.lastHash) << '\t' << b.charsTyped << '\t' << b.charsLeft << '\t' << b.keys << '\t'
         << b.errors << '\t' << b.seconds << '\t' << Escape(b.title) << '\t' << Escape(b.path);
    return line.str();
}

bool ParseRecord(const std::string& line, BookProgress* b) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) {
        fields.push_back(field);
    }
    if (fields.size() != kProgressFields || fields[0].size() != 16) {
        return false;
    }
    bool ok = true;
    auto number = [&](size_t i, int base) {
        char* end = nullptr;
        const unsigned long long v = std::strtoull(fields[i].c_str(), &end, base);
        ok = ok && !fields[i].empty() && *end == '\0';
        return v;
    };
    b->id = fields[0];
    b->nextPart = static_cast<int>(number(1, 10));
    b->partCount = static_cast<int>(number(2, 10));
    b->nextHash = number(3, 16);
    b->lastHash = number(4, 16);
    b->charsTyped = static_cast<long long>(number(5, 10));
    b->charsLeft = static_cast<long long>(number(6, 10));
    b->keys = static_cast<long long>(number(7, 10));
    b->errors = static_cast<long long>(number(8, 10));
    b->seconds = static_cast<long long>(number(9, 10));
    b->title = Unescape(fields[10]);
    b->path = Unescape(fields[11]);
    return ok && b->nextPart >= 0 && b->nextPart <= b->partCount;
}

std::string ProgressPath(const std::string& dataDir) {
    return dataDir + "/" + kBookProgressFile;
}

// The file's lines after its header.
std::vector<std::string> ReadProgressLines(const std::string& dataDir) {
    std::vector<std::string> lines;
    std::ifstream in(ProgressPath(dataDir));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line != kProgressHeader) {
            lines.push_back(line);
        }
    }
    return lines;
}

// Writes the file anew as path + ".new", synced, and renames it over the old one.
bool WriteProgressLines(const std::string& dataDir, const std::vector<std::string>& lines,
                        std::string* error) {
    const std::string path = ProgressPath(dataDir);
    const std::string fresh = path + kNewSuffix;
    std::string content = std::string(kProgressHeader) + "\n";
    for (const std::string& line : lines) {
        content += line + "\n";
    }
    CFile file;
    bool written = false;
    if (file.Open(fresh.c_str(), CFile::modeCreate | CFile::modeWrite)) {
        try {
            file.Write(content.data(), static_cast<unsigned>(content.size()));
            written = file.Close();
        } catch (const CFileException&) {
            file.Close();
        }
    }
    if (!written || !MoveFileReplace(fresh.c_str(), path.c_str())) {
        DeleteFile(fresh.c_str());
        *error = "could not save your place in the book to " + path;
        return false;
    }
    return true;
}

// Where a book's record puts the learner in book: the part that was next, found by its content
// (where it was, else anywhere), else the part after the one typed last; PartCount() for a book
// typed to its end; -1 when neither part is in the book.
int FindPlace(const Book& book, const BookProgress& r) {
    const int count = book.PartCount();
    if (r.nextHash != 0 && r.nextPart < count && book.PartHash(r.nextPart) == r.nextHash) {
        return r.nextPart;
    }
    if (r.lastHash != 0 && r.nextPart > 0 && r.nextPart <= count &&
        book.PartHash(r.nextPart - 1) == r.lastHash) {
        return r.nextPart;
    }
    if (const int at = r.nextHash != 0 ? book.FindPart(r.nextHash) : -1; at >= 0) {
        return at;
    }
    const int last = r.lastHash != 0 ? book.FindPart(r.lastHash) : -1;
    return last >= 0 ? last + 1 : -1;
}

std::string Thousands(long long n) {
    const std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && digits[i - 1] != '-' && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

std::string FormatHoursMinutes(long long seconds) {
    const long long minutes = (seconds + 59) / 60;
    return minutes >= 60
               ? std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min"
               : std::to_string(minutes) + " min";
}

}  // namespace

bool Book::Open(const std::string& path, std::string* error) {
    *this = Book();
    const MappedFile file(path);
    const std::string_view raw = file.Text();
    if (!file.Ok()) {
        *error = path + ": cannot be read";
        return false;
    }
    if (const void* zero = std::memchr(raw.data(), '\0', raw.size())) {
        *error = path + ": is not a text file (byte " +
                 std::to_string(static_cast<const char*>(zero) - raw.data()) +
                 " is zero): a book is a plain text file in UTF-8";
        return false;
    }
    size_t begin = 0;
    size_t end = raw.size();
    m_strTitle = fs::path(path).stem().string();
    if (const size_t start = FindLine(raw, kGutenbergStart, false); start != std::string::npos) {
        begin = NextLine(raw, start);
        const size_t stop = FindLine(raw, kGutenbergEnd, true);
        end = stop != std::string::npos && stop >= begin ? stop : raw.size();
        if (const size_t title = FindLine(raw, kGutenbergTitle, false); title < start) {
            const size_t from = title + std::strlen(kGutenbergTitle);
            std::string name(raw.substr(from, raw.find('\n', from) - from));
            name.erase(0, name.find_first_not_of(" \t"));
            while (!name.empty() && IsBlank(static_cast<unsigned char>(name.back()))) {
                name.pop_back();
            }
            m_strTitle = name.empty() ? m_strTitle : name;
        }
    }
    const int firstLine = 1 + static_cast<int>(std::count(raw.begin(), raw.begin() + begin, '\n'));
    Cut(raw, begin, end, firstLine);
    if (m_parts.empty()) {
        *error = path + (m_nSkipped == 0 ? ": the book holds no text to type"
                                         : ": no paragraph of the book can be typed in the "
                                           "Windows-1252 code page; the first, " +
                                               m_strSkipReason);
        return false;
    }
    m_strId = Hex(XXH3_64bits(m_text.data(), m_text.size()));
    return true;
}

// One pass over the lines: each paragraph goes into m_text in single-byte form, or is left
// out; headings wait for the part they begin; parts are cut as paragraphs end.
void Book::Cut(std::string_view raw, size_t begin, size_t end, int firstLine) {
    m_text.reserve(end - begin);
    // A text without a blank line does not wrap its paragraphs: each line is one.
    const std::string_view body = raw.substr(begin, end - begin);
    const bool linePerParagraph = body.find("\n\n") == std::string_view::npos &&
                                  body.find("\n\r\n") == std::string_view::npos;
    int line = firstLine;
    size_t separator = 0;  // where the paragraph's text begins, with the line feed before it
    size_t start = 0;      // where its first character is
    int lines = 0;         // its lines so far; 0 between paragraphs
    bool skipping = false;
    for (size_t at = begin; at < end; ++line) {
        const size_t stop = std::min(raw.find('\n', at), end);
        size_t i = at;
        while (i < stop && IsBlank(static_cast<unsigned char>(raw[i]))) {
            ++i;
        }
        if (i == stop) {
            if (lines > 0 && !skipping) {
                EndParagraph(separator, start, lines);
            }
            lines = 0;
            skipping = false;
        } else if (!skipping) {
            if (lines++ == 0) {
                separator = m_text.size();
                m_text += m_text.empty() ? "" : "\n";
                start = m_text.size();
            } else {
                m_text += ' ';
            }
            if (!AppendLine(raw.substr(i, stop - i), line)) {
                m_text.resize(separator);
                skipping = true;
            } else if (linePerParagraph) {
                EndParagraph(separator, start, lines);
                lines = 0;
            }
        }
        at = stop + 1;
    }
    if (lines > 0 && !skipping) {
        EndParagraph(separator, start, lines);
    }
}

bool Book::AppendLine(std::string_view line, int number) {
    size_t word = m_text.size();  // where the word being read begins
    for (size_t i = 0; i < line.size();) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (IsBlank(c)) {
            if (m_text.back() != ' ') {
                m_text += ' ';
            }
            word = m_text.size();
            ++i;
            continue;
        }
        int b = c;
        if (c > ' ' && c < 0x7F) {
            ++i;
        } else {
            const char32_t cp = DecodeUtf8(line, i);
            b = CodePointToSingleByte(cp);
            if (b < 0) {
                Skip(number, DescribeCodePoint(cp) + " has no single-byte form");
                return false;
            }
        }
        m_text += static_cast<char>(b);
        if (m_text.size() - word > static_cast<size_t>(kLongestWord)) {
            const size_t wordEnd = std::min(line.find_first_of(" \t\r", i), line.size());
            Skip(number, "the word \"" + SingleByteToUtf8(m_text.substr(word)) +
                             std::string(line.substr(i, wordEnd - i)) + "\" is too long");
            return false;
        }
    }
    if (m_text.back() == ' ') {
        m_text.pop_back();
    }
    return true;
}

void Book::Skip(int line, const std::string& reason) {
    if (m_nSkipped++ == 0) {
        m_strSkipReason = "line " + std::to_string(line) + ": " + reason;
    }
}

void Book::EndParagraph(size_t separator, size_t start, int lines) {
    if (IsHeading(std::string_view(m_text).substr(start), lines)) {
        m_strPendingHeading +=
            (m_strPendingHeading.empty() ? "" : " - ") + SingleByteToUtf8(m_text.substr(start));
        m_text.resize(separator);
        return;
    }
    size_t from = start;
    while (m_text.size() - from > kPageChars) {
        const size_t cut = SentenceCut(from, from + kPageChars);
        AddPiece(from, cut);
        from = cut + 1;
    }
    AddPiece(from, m_text.size());
}

// The space after the last sentence that ends within [from, limit], else the last space.
size_t Book::SentenceCut(size_t from, size_t limit) const {
    for (size_t i = limit; i > from + kShortestPiece; --i) {
        if (m_text[i] == ' ' && EndsSentence(m_text, i)) {
            return i;
        }
    }
    return m_text.rfind(' ', limit);
}

void Book::AddPiece(size_t begin, size_t end) {
    if (m_parts.empty() || !m_strPendingHeading.empty() ||
        end - m_parts.back().begin > kPageChars) {
        Part part{begin, end, -1};
        if (!m_strPendingHeading.empty()) {
            part.heading = static_cast<int>(m_headings.size());
            m_headings.push_back(std::move(m_strPendingHeading));
            m_strPendingHeading.clear();
        }
        m_parts.push_back(part);
    } else {
        m_parts.back().end = end;
    }
}

std::string Book::PartText(int part) const {
    const Part& p = m_parts[static_cast<size_t>(part)];
    return m_text.substr(p.begin, p.end - p.begin);
}

std::string Book::Heading(int part) const {
    const int h = m_parts[static_cast<size_t>(part)].heading;
    return h < 0 ? std::string() : m_headings[static_cast<size_t>(h)];
}

std::uint64_t Book::PartHash(int part) const {
    const Part& p = m_parts[static_cast<size_t>(part)];
    return XXH3_64bits(m_text.data() + p.begin, p.end - p.begin);
}

int Book::FindPart(std::uint64_t hash) const {
    if (m_hashes.empty()) {
        for (int i = 0; i < PartCount(); ++i) {
            m_hashes.push_back(PartHash(i));
        }
    }
    const auto at = std::find(m_hashes.begin(), m_hashes.end(), hash);
    return at == m_hashes.end() ? -1 : static_cast<int>(at - m_hashes.begin());
}

long long Book::PartChars(int part) const {
    const Part& p = m_parts[static_cast<size_t>(part)];
    return static_cast<long long>(p.end - p.begin);
}

long long Book::CharsFrom(int part) const {
    long long chars = 0;
    for (int i = part; i < PartCount(); ++i) {
        chars += PartChars(i);
    }
    return chars;
}

int BookSpeed(const BookProgress& b) {
    return b.seconds > 0 ? static_cast<int>(b.keys * 60 / b.seconds) : 0;
}

int BookAccuracy(const BookProgress& b) {
    return b.keys > 0 ? static_cast<int>((b.keys - b.errors) * 100 / b.keys) : 0;
}

long long BookSecondsLeft(const BookProgress& b) {
    return b.seconds > 0 && b.charsTyped > 0 ? b.charsLeft * b.seconds / b.charsTyped : -1;
}

std::string SummarizeBook(const BookProgress& b) {
    std::string line = b.nextPart >= b.partCount
                           ? "the whole book typed, " + std::to_string(b.partCount) +
                                 (b.partCount == 1 ? " part" : " parts")
                           : "part " + std::to_string(b.nextPart + 1) + " of " +
                                 std::to_string(b.partCount) + " next, " +
                                 std::to_string(b.nextPart) + " typed";
    line += " (" + Thousands(b.charsTyped) + " characters)";
    if (b.seconds > 0) {
        line += ", " + std::to_string(BookSpeed(b)) + " cpm, " + std::to_string(BookAccuracy(b)) +
                "% accurate";
    }
    if (const long long left = BookSecondsLeft(b); left > 0) {
        line += ", about " + FormatHoursMinutes(left) + " left";
    }
    return line;
}

std::vector<BookProgress> LoadBookProgress(const std::string& dataDir) {
    std::vector<BookProgress> books;
    for (const std::string& line : ReadProgressLines(dataDir)) {
        if (BookProgress b; ParseRecord(line, &b)) {
            books.push_back(std::move(b));
        }
    }
    return books;
}

bool UpdateBookProgress(History& history, const std::string& id, const std::string& replacedId,
                        const std::function<void(BookProgress&)>& change, std::string* error) {
    const std::string& dataDir = history.Directory();
    return history.Lock().Run(
        HistoryLock::Mode::kExclusive,
        [&](std::string* message) {
            std::vector<std::string> lines = ReadProgressLines(dataDir);
            BookProgress record;
            record.id = id;
            size_t at = lines.size();
            for (const std::string& key : {id, replacedId}) {
                for (size_t i = 0; at == lines.size() && !key.empty() && i < lines.size(); ++i) {
                    if (BookProgress b; ParseRecord(lines[i], &b) && b.id == key) {
                        record = b;
                        record.id = id;
                        at = i;
                    }
                }
            }
            change(record);
            // The book typed last comes last.
            if (at < lines.size()) {
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
            }
            lines.push_back(FormatRecord(record));
            return WriteProgressLines(dataDir, lines, message);
        },
        error);
}

bool OpenBookPart(const std::string& path, const std::string& dataDir, Lesson* lesson,
                  BookPart* part, std::string* error) {
    Book book;
    if (!book.Open(path, error)) {
        return false;
    }
    *part = BookPart{};
    if (book.SkippedParagraphs() > 0) {
        const int n = book.SkippedParagraphs();
        part->notice =
            (n == 1 ? std::string("A paragraph of the book cannot be typed and is")
                    : std::to_string(n) + " paragraphs of the book cannot be typed and are") +
            (n == 1 ? " left out: " : " left out; the first, ") + book.SkipReason() + ".\n";
    }
    std::error_code ec;
    const std::string where = fs::absolute(path, ec).lexically_normal().string();
    const std::vector<BookProgress> records = LoadBookProgress(dataDir);
    int place = -1;
    const auto known = std::find_if(records.begin(), records.end(),
                                    [&](const BookProgress& r) { return r.id == book.Id(); });
    if (known != records.end()) {
        place = FindPlace(book, *known);
    } else {
        // A changed book: the record whose place is in it, those of the same path first.
        const auto samePath = [&](const BookProgress& r) { return r.path == where; };
        for (const bool pathFirst : {true, false}) {
            for (const BookProgress& r : records) {
                if (place < 0 && samePath(r) == pathFirst && (place = FindPlace(book, r)) >= 0) {
                    part->replacedId = r.id;
                    part->notice += path +
                                    " has changed since you last typed it; your place was "
                                    "found again.\n";
                }
            }
        }
        if (place < 0 && std::any_of(records.begin(), records.end(), samePath)) {
            part->notice += path +
                            " has changed since you last typed it and your place is no "
                            "longer in it: it starts again from the first part (the "
                            "record of the earlier text is kept).\n";
        }
    }
    if (place >= book.PartCount()) {
        part->notice += "You have typed the whole book: it starts again from the first part.\n";
    }
    place = place < 0 || place >= book.PartCount() ? 0 : place;

    part->path = where;
    part->id = book.Id();
    part->title = book.Title();
    part->part = place;
    part->partCount = book.PartCount();
    part->heading = book.Heading(place);
    part->chars = book.PartChars(place);
    part->charsAfter = book.CharsFrom(place + 1);
    part->hash = book.PartHash(place);
    part->nextHash = place + 1 < book.PartCount() ? book.PartHash(place + 1) : 0;
    lesson->name = book.Title();
    lesson->text = book.PartText(place);
    lesson->id = 0;
    lesson->tag = LessonTag(lesson->name);
    lesson->caption = "part " + std::to_string(place + 1) + " of " +
                      std::to_string(book.PartCount()) +
                      (part->heading.empty() ? "" : ": " + part->heading);
    return true;
}

bool RecordBookPart(History& history, const BookPart& part, const SessionFigures& f,
                    BookProgress* record, std::string* error) {
    return UpdateBookProgress(
        history, part.id, part.replacedId,
        [&](BookProgress& r) {
            r.title = part.title;
            r.path = part.path;
            r.nextPart = part.part + 1;
            r.partCount = part.partCount;
            r.nextHash = part.nextHash;
            r.lastHash = part.hash;
            r.charsTyped += part.chars;
            r.charsLeft = part.charsAfter;
            r.keys += f.keys;
            r.errors += f.errors;
            r.seconds += f.activeSeconds;
            if (record) {
                *record = r;
            }
        },
        error);
}

bool ChooseNamedLesson(const Options& options, Lesson* lesson, std::optional<BookPart>* book,
                       std::string* error) {
    if (!options.book) {
        return ChooseLesson(options.lesson, lesson, error);
    }
    book->emplace();
    return OpenBookPart(options.lesson, options.dataDir, lesson, &**book, error);
}

bool FinishBookPart(History& history, const BookPart& book, const SessionFigures& f,
                    std::string* message) {
    BookProgress record;
    if (!RecordBookPart(history, book, f, &record, message)) {
        return false;
    }
    *message = "Book: " + SummarizeBook(record) + ".";
    return true;
}
