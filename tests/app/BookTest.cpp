// Books: how a text is cut into parts, the place kept from one start to the next (through the
// replay command, as the learner's program keeps it), a changed book, and the inputs refused.
#include "Book.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "Commands.h"
#include "Encoding.h"
#include "History.h"
#include "platform/File.h"
#include "support/TestFiles.h"

namespace {

// A paragraph of about 900 characters, told apart by its number: a part holds one.
std::string Paragraph(int n) {
    std::string text = "Paragraph " + std::to_string(n) + " begins here.";
    for (int i = 0; text.size() < 900; ++i) {
        text += (i % 9 == 8 ? "\n" : " ") + std::string("word") + std::to_string(i % 7) +
                (i % 5 == 4 ? "." : "");
    }
    return text + ".";
}

// 300 paragraphs, a chapter heading before every tenth.
std::string GeneratedBook() {
    std::string book;
    for (int n = 1; n <= 300; ++n) {
        book += (n % 10 == 1 ? "CHAPTER " + std::to_string(n / 10 + 1) + ".\n\n" : "") +
                Paragraph(n) + "\n\n";
    }
    return book;
}

class BookTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& content) {
        WriteText(dir.File(name), content);
        return dir.File(name);
    }
    // The part the book opens at, from 1; 0 when it is refused.
    int NextPart(const std::string& path, BookPart* part = nullptr) {
        Lesson lesson;
        BookPart opened;
        std::string error;
        const bool ok = OpenBookPart(path, Data(), &lesson, &opened, &error);
        if (part) {
            *part = opened;
        }
        return ok ? opened.part + 1 : 0;
    }
    // Replays the whole of the part the book opens at, without a mistake; the program's output.
    std::string TypeNextPart(const std::string& path) {
        Lesson lesson;
        BookPart part;
        std::string error;
        EXPECT_TRUE(OpenBookPart(path, Data(), &lesson, &part, &error)) << error;
        std::string keys;
        int ms = 1000;
        for (char c : lesson.text) {
            ms += 150;
            keys += std::to_string(ms) + " " +
                    (c == ' '    ? "SPACE"
                     : c == '\n' ? "ENTER"
                                 : SingleByteToUtf8({c})) +
                    "\n";
        }
        Options options;
        options.book = true;
        options.lesson = path;
        options.dataDir = Data();
        options.replayFile = Write("keys.txt", keys);
        options.clockStart = "2025-03-04 09:00:00";
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunReplay(options, out, err), 0) << err.str();
        return out.str();
    }
    std::string Data() const { return dir.File("data"); }

    TempDir dir;
};

TEST_F(BookTest, CutsTheTextIntoPagesAtParagraphsChaptersAndSentences) {
    Book book;
    std::string error;
    ASSERT_TRUE(book.Open(Write("book.txt", GeneratedBook()), &error)) << error;
    ASSERT_EQ(book.PartCount(), 300);
    EXPECT_EQ(book.Title(), "book");
    EXPECT_EQ(book.Heading(0), "CHAPTER 1.");
    EXPECT_EQ(book.Heading(1), "");
    EXPECT_EQ(book.Heading(10), "CHAPTER 2.");
    // Wrapped lines are joined; the heading is shown, not typed.
    EXPECT_EQ(book.PartText(10).rfind("Paragraph 11 begins here. word0 word1", 0), 0u);
    EXPECT_EQ(book.PartText(10).find('\n'), std::string::npos);
    // A line longer than a heading is typed, however it begins.
    const std::string longLine =
        "Chapter 1 is where the story begins, in a line that runs on past what a heading holds.";
    ASSERT_TRUE(book.Open(Write("long-heading.txt", longLine + "\n"), &error)) << error;
    EXPECT_EQ(book.PartText(0), longLine);
    // "Part" and a word that is no numeral begin no heading.
    ASSERT_TRUE(book.Open(Write("part.txt", "Part of it.\n"), &error)) << error;
    EXPECT_EQ(book.PartText(0), "Part of it.");
    // Without a blank line anywhere, each line is a paragraph.
    ASSERT_TRUE(book.Open(Write("lines.txt", "A paragraph.\nAnother one.\n"), &error)) << error;
    EXPECT_EQ(book.PartText(0), "A paragraph.\nAnother one.");
    // A paragraph longer than a page is cut at sentence ends.
    std::string sentences;
    for (int i = 0; i < 200; ++i) {
        sentences += "This is sentence " + std::to_string(i) + " of a very long paragraph. ";
    }
    ASSERT_TRUE(book.Open(Write("long.txt", "A short one.\n\n" + sentences), &error)) << error;
    ASSERT_GT(book.PartCount(), 5);
    for (int i = 1; i < book.PartCount(); ++i) {
        const std::string text = book.PartText(i);
        EXPECT_LE(text.size(), Book::kPageChars);
        EXPECT_EQ(text.back(), '.') << "part " << i << " ends inside a sentence";
    }
}

TEST_F(BookTest, LeavesTheProjectGutenbergHeaderAndFooterUntyped) {
    const std::string path = Write(
        "pg11.txt",
        "The Project Gutenberg eBook of Alice\n\nTitle: Alice's Adventures in Wonderland\r\n\n"
        "*** START OF THE PROJECT GUTENBERG EBOOK ALICE ***\n\nCHAPTER I.\nDown the Rabbit-Hole\n"
        "\nAlice was beginning to get very tired.\n\n*** END OF THE PROJECT GUTENBERG EBOOK "
        "ALICE ***\n\nUpdated editions will replace the previous one.\n");
    Lesson lesson;
    BookPart part;
    std::string error;
    ASSERT_TRUE(OpenBookPart(path, Data(), &lesson, &part, &error)) << error;
    EXPECT_EQ(lesson.text, "Alice was beginning to get very tired.");
    EXPECT_EQ(lesson.name, "Alice's Adventures in Wonderland");
    EXPECT_EQ(lesson.caption, "part 1 of 1: CHAPTER I. Down the Rabbit-Hole");
}

TEST_F(BookTest, ResumesAtTheNextPartAfterOneIsTyped) {
    const std::string path = Write("book.txt", GeneratedBook());
    // A line this program cannot read (a later one's, say) is kept.
    std::filesystem::create_directories(Data());
    Write("data/books.txt", "a record of another kind\n");
    EXPECT_NE(TypeNextPart(path).find("caption: part 1 of 300: CHAPTER 1."), std::string::npos);
    EXPECT_EQ(NextPart(path), 2);
    // The same text under another name is the same book.
    EXPECT_EQ(NextPart(Write("copy.txt", GeneratedBook())), 2);

    Options options;
    options.dataDir = Data();
    std::ostringstream stats;
    std::ostringstream err;
    ASSERT_EQ(RunStats(options, stats, err), 0);
    EXPECT_NE(stats.str().find("book: part 2 of 300 next, 1 typed (9"), std::string::npos)
        << stats.str();
    const Bytes progress = ReadBytes(Data() + "/" + kBookProgressFile);
    EXPECT_NE(std::string(progress.begin(), progress.end()).find("a record of another kind\n"),
              std::string::npos);
    Book book;
    std::string error;
    ASSERT_TRUE(book.Open(path, &error)) << error;
    EXPECT_EQ(LoadBookProgress(Data()).at(0).charsLeft, book.CharsFrom(1));
    // The book's record is found again below that line.
    TypeNextPart(path);
    EXPECT_EQ(NextPart(path), 3);
}

TEST_F(BookTest, AChangedBookKeepsItsPlaceWhereItsPartsAreUnchanged) {
    const std::string path = Write("book.txt", GeneratedBook());
    TypeNextPart(path);
    TypeNextPart(path);
    // A foreword put in front: the place moves with its part.
    std::string changed = "A foreword.\n\n" + GeneratedBook();
    Write("book.txt", changed);
    BookPart part;
    EXPECT_EQ(NextPart(path, &part), 4);
    EXPECT_NE(part.notice.find("has changed"), std::string::npos);
    // The part due changed too: found after the part typed last.
    changed.replace(changed.find("Paragraph 3 "), 12, "Paragraph three ");
    Write("book.txt", changed);
    EXPECT_EQ(NextPart(path), 4);
    TypeNextPart(path);
    ASSERT_EQ(LoadBookProgress(Data()).size(), 1u) << "the record was carried over";
    EXPECT_GT(LoadBookProgress(Data())[0].charsTyped, 3 * 900);
    // Moved as well as changed: found in the record of the other path.
    EXPECT_EQ(NextPart(Write("moved.txt", "Another foreword.\n\n" + changed)), 5);

    // Neither the part due nor the one before is left: a new start, the old record kept.
    Write("book.txt", "Another text altogether.\n");
    EXPECT_EQ(NextPart(path, &part), 1);
    EXPECT_NE(part.notice.find("starts again from the first part"), std::string::npos);
    EXPECT_EQ(LoadBookProgress(Data()).size(), 1u);
}

TEST_F(BookTest, RefusesWhatIsNoBookNamingTheFileAndLosesNoProgress) {
    const std::string path = Write("book.txt", GeneratedBook());
    TypeNextPart(path);
    const Bytes progress = ReadBytes(Data() + "/" + kBookProgressFile);
    const struct {
        const char* name;
        std::string content;
        std::string message;
    } cases[] = {
        {"binary.txt", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "is not a text file"},
        {"empty.txt", "", "holds no text"},
        {"blank.txt", " \n\n\t\n", "holds no text"},
        {"headings.txt", "CHAPTER I.\n\nCHAPTER II.\n", "holds no text"},
        {"russian.txt", "Привет, мир.\n\nДа.\n",
         "no paragraph of the book can be typed in the Windows-1252 code page; the first, line "
         "1: 'П' (U+041F)"},
        {"long-word.txt", std::string(80, 'a') + " and more",
         "line 1: the word \"" + std::string(80, 'a') + "\" is too long"},
        {"gutenberg-empty.txt",
         "*** START OF THE PROJECT GUTENBERG EBOOK X ***\n*** END OF THE PROJECT GUTENBERG "
         "EBOOK X ***\nA licence.\n",
         "holds no text"},
    };
    for (const auto& c : cases) {
        Lesson lesson;
        BookPart part;
        std::string error;
        EXPECT_FALSE(OpenBookPart(Write(c.name, c.content), Data(), &lesson, &part, &error));
        EXPECT_EQ(error.rfind(dir.File(c.name) + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
    EXPECT_EQ(ReadBytes(Data() + "/" + kBookProgressFile), progress);
    EXPECT_EQ(NextPart(path), 2);
}

TEST_F(BookTest, LoadsEachFieldOfAProgressRecordAndSkipsAMalformedOne) {
    const std::string rest =
        "\t00000000000000ab\t00000000000000cd\t1800\t6300\t1850\t12\t300\t"
        "A title\t/books/a.txt";
    const struct {
        std::string line;
        size_t loaded;
    } cases[] = {
        {"0123456789abcdef\t2\t9" + rest, 1},
        {"0123456789abcdef\t9\t9" + rest, 1},   // a book typed to its end
        {"0123456789abcde\t2\t9" + rest, 0},    // an id of 15 digits
        {"0123456789abcdef\t2x\t9" + rest, 0},  // a number with more after it
        {"0123456789abcdef\t\t9" + rest, 0},    // no number
    };
    std::filesystem::create_directories(Data());
    for (const auto& c : cases) {
        Write("data/books.txt", c.line + "\n");
        EXPECT_EQ(LoadBookProgress(Data()).size(), c.loaded) << c.line;
    }
    Write("data/books.txt", cases[0].line + "\n");
    const BookProgress b = LoadBookProgress(Data()).at(0);
    EXPECT_EQ(b.nextHash, 0xabu);
    EXPECT_EQ(b.lastHash, 0xcdu);
    EXPECT_EQ(b.path, "/books/a.txt");
    EXPECT_EQ(SummarizeBook(b),
              "part 3 of 9 next, 2 typed (1,800 characters), 370 cpm, 99% accurate, about 18 min "
              "left");
}

TEST_F(BookTest, LeavesOutParagraphsThatCannotBeTypedAndSaysSo) {
    BookPart part;
    // The character that cannot be typed ends its line.
    EXPECT_EQ(NextPart(Write("mixed.txt", "One.\n\nTwo,\ndva Д\n\nThree.\n"), &part), 1);
    EXPECT_EQ(part.chars, 11) << "One.\nThree.";
    EXPECT_NE(part.notice.find("A paragraph of the book cannot be typed and is left out"),
              std::string::npos);
    EXPECT_NE(part.notice.find("line 4: 'Д' (U+0414)"), std::string::npos) << part.notice;
}

TEST_F(BookTest, AFailedWriteKeepsTheProgressFileAsItWas) {
    const std::string path = Write("book.txt", GeneratedBook());
    TypeNextPart(path);
    const Bytes before = ReadBytes(Data() + "/" + kBookProgressFile);
    History history(Data());
    std::string error;
    ASSERT_TRUE(history.Open(&error)) << error;
    ScopedFileFaults faults;
    faults.FailSync();
    EXPECT_FALSE(UpdateBookProgress(
        history, "0123456789abcdef", "", [](BookProgress&) {}, &error));
    EXPECT_NE(error.find(kBookProgressFile), std::string::npos);
    EXPECT_EQ(ReadBytes(Data() + "/" + kBookProgressFile), before);
    EXPECT_FALSE(PathExists(Data() + "/" + kBookProgressFile + std::string(".new")));
}

TEST_F(BookTest, ProgramsFinishingPartsAtOnceLoseNoneOfThem) {
    constexpr int kProcesses = 6;
    constexpr int kPartsEach = 5;
    Lesson lesson;
    BookPart part;
    std::string error;
    ASSERT_TRUE(OpenBookPart(Write("book.txt", GeneratedBook()), Data(), &lesson, &part, &error));
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        if (const pid_t child = fork(); child == 0) {
            close(go[1]);
            History history(Data());
            char byte = 0;
            bool ok = history.Open(&error) && read(go[0], &byte, 1) == 0;
            SessionFigures f;
            f.keys = 1;
            for (int i = 0; ok && i < kPartsEach; ++i) {
                ok = RecordBookPart(history, part, f, nullptr, &error);
            }
            _exit(ok ? 0 : 1);
        } else {
            children.push_back(child);
        }
    }
    close(go[0]);
    close(go[1]);  // every child waiting at the read goes at once
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ASSERT_EQ(LoadBookProgress(Data()).size(), 1u);
    EXPECT_EQ(LoadBookProgress(Data())[0].keys, kProcesses * kPartsEach);
}

}  // namespace
