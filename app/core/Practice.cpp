#include "Practice.h"

#include <unicase.h>
#include <unictype.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "History.h"
#include "Profile.h"

namespace {

// Key weakness: the newest kRecentLessons lessons, a lesson's weight halving every
// kHalfLifeLessons lessons back; rates and times pulled toward the learner's own by as much as
// kPriorKeystrokes keystrokes would.
constexpr int kRecentLessons = 50;
constexpr double kHalfLifeLessons = 7.0;
constexpr double kPriorKeystrokes = 20.0;
// Learned: this many weighted keystrokes at no more than this share of errors, no slower than
// the median key.
constexpr double kLearnedKeystrokes = 30.0;
constexpr double kLearnedErrorRate = 0.05;
// Weak by errors beyond this many times the learner's overall rate; slow beyond this many
// times the median key.
constexpr double kWeakErrorFactor = 1.25;
constexpr double kSlowFactor = 1.15;
constexpr size_t kFocusErrorKeys = 3;
constexpr size_t kFocusSlowKeys = 2;

// The lesson: its words, a third weak words, half words with the focus keys, the rest common.
constexpr size_t kLessonWords = 60;
constexpr size_t kWeakWordSlots = kLessonWords / 3;
constexpr size_t kKeyWordSlots = kLessonWords / 2;
constexpr size_t kWordsPerLine = 10;
// A focus key draws from the common words that hold it when there are at least this many.
constexpr size_t kMinCommonPool = 8;

constexpr const char* kCommonLists[] = {
    "/usr/share/dict/scowl/english-words.10", "/usr/share/dict/scowl/english-words.20",
    "/usr/share/dict/scowl/american-words.10", "/usr/share/dict/scowl/american-words.20"};
constexpr const char* kEnglish = "English";
constexpr size_t kMinWordLength = 2;
constexpr size_t kMaxWordLength = 10;
constexpr const char* kPracticeName = "practice";

// The lower-case letter of each byte of a page: itself for a lower-case letter, its lower case
// for a capital; 0 for a byte that is no letter, or whose lower case the page lacks.
class LowerLetters {
public:
    explicit LowerLetters(const CodePage& page) {
        for (size_t byte = 0; byte < m_lower.size(); ++byte) {
            const char32_t cp = page.ToUnicode(static_cast<unsigned char>(byte));
            const char32_t lower = cp == kNoCharacter ? cp : uc_tolower(cp);
            const int b =
                cp != kNoCharacter && uc_is_property_lowercase(lower) ? page.ToByte(lower) : -1;
            m_lower[byte] = b < 0 ? 0 : static_cast<char>(b);
        }
    }
    char operator()(char c) const { return m_lower[static_cast<unsigned char>(c)]; }
    // 2 to 10 lower-case letters.
    bool IsPracticeWord(const std::string& w) const {
        return w.size() >= kMinWordLength && w.size() <= kMaxWordLength &&
               std::all_of(w.begin(), w.end(), [this](char c) { return (*this)(c) == c; });
    }

private:
    std::array<char, 256> m_lower{};
};

// A UTF-8 word in the page's bytes; empty when the page lacks one of its characters. Most words
// are composed already and go character by character; one with a combining mark goes through
// the lessons' conversion, which composes it.
std::string InPage(const std::string& utf8, const CodePage& page) {
    std::string bytes;
    for (size_t i = 0; i < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, i);
        if (cp != kNotUtf8 && uc_is_general_category(cp, UC_CATEGORY_M)) {
            return ConvertToCodePage(utf8, page).bytes;
        }
        const int b = cp == kNotUtf8 ? -1 : page.ToByte(cp);
        if (b < 0) {
            return "";
        }
        bytes += static_cast<char>(b);
    }
    return bytes;
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A draw below n that every standard library makes alike, unlike the distributions.
size_t Draw(std::mt19937& rng, size_t n) {
    return n > 0 ? static_cast<size_t>(rng() % n) : 0;
}

// The practice words of a UTF-8 file, a word a line, in the page's bytes.
std::vector<std::string> ReadPracticeWords(const std::string& path, const CodePage& page) {
    const LowerLetters lower(page);
    std::vector<std::string> words;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        // The characters counted before any is looked up: most lines of a large list are too
        // long.
        const auto characters = std::count_if(line.begin(), line.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        });
        if (characters < static_cast<long>(kMinWordLength) ||
            characters > static_cast<long>(kMaxWordLength)) {
            continue;
        }
        std::string w = InPage(line, page);
        if (lower.IsPracticeWord(w)) {
            words.push_back(std::move(w));
        }
    }
    return words;
}

// The words of the bundled lessons in the language, lower-cased, without the punctuation around
// them, as they fit the page.
std::vector<std::string> BundledWords(const std::string& language, const CodePage& page) {
    const LowerLetters lower(page);
    std::set<std::string> words;
    for (const BundledLesson& b : ListBundledLessons()) {
        if (b.language != language) {
            continue;
        }
        std::ifstream in(b.path, std::ios::binary);
        const SingleByteText text = ConvertToCodePage(
            std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
            page);
        std::istringstream split(text.bytes);
        std::string w;
        while (split >> w) {
            const size_t first = w.find_first_not_of(".,;:!?\"'()-");
            const size_t last = w.find_last_not_of(".,;:!?\"'()-");
            w = first == std::string::npos ? "" : w.substr(first, last - first + 1);
            std::transform(w.begin(), w.end(), w.begin(),
                           [&lower](char c) { return lower(c) ? lower(c) : c; });
            if (lower.IsPracticeWord(w)) {
                words.insert(w);
            }
        }
    }
    return {words.begin(), words.end()};
}

// Orders words so that none follows itself: each next word is the first of the shuffled rest
// that differs from the last one placed; a word left over goes where it fits.
std::vector<std::string> NoWordTwiceInARow(std::vector<std::string> bag) {
    std::vector<std::string> out;
    while (!bag.empty()) {
        auto next = std::find_if(bag.begin(), bag.end(), [&out](const std::string& w) {
            return out.empty() || w != out.back();
        });
        if (next == bag.end()) {
            break;
        }
        out.push_back(*next);
        bag.erase(next);
    }
    for (const std::string& w : bag) {
        for (size_t p = 0; p <= out.size(); ++p) {
            if ((p == 0 || out[p - 1] != w) && (p == out.size() || out[p] != w)) {
                out.insert(out.begin() + static_cast<std::ptrdiff_t>(p), w);
                break;
            }
        }
    }
    return out;
}

}  // namespace

int KeyWeakness::Accuracy() const {
    return static_cast<int>(std::lround((1.0 - errorRate) * 100));
}

const KeyWeakness* KeyRanking::Find(char key) const {
    for (const KeyWeakness& k : keys) {
        if (k.key == key) {
            return &k;
        }
    }
    return nullptr;
}

std::vector<const CLessonTrack*> AllLessons(const CLessonTrackFile& file) {
    std::vector<const CLessonTrack*> lessons;
    for (int i = 0; i < file.GetLessonCount(); ++i) {
        if (const CLessonTrack* t = file.GetLessonTrack(i)) {
            lessons.push_back(t);
        }
    }
    return lessons;
}

KeyRanking RankKeys(const std::vector<const CLessonTrack*>& lessons) {
    const LowerLetters lower(CurrentCodePage());
    std::map<char, KeyWeakness> sums;
    const size_t n = lessons.size();
    const size_t first = n > kRecentLessons ? n - kRecentLessons : 0;
    for (size_t i = first; i < n; ++i) {
        const double weight = std::pow(0.5, static_cast<double>(n - 1 - i) / kHalfLifeLessons);
        for (const CCharTrack& slot : lessons[i]->m_aCharTrack) {
            const char key = lower(slot.m_chChar);
            if (key == 0 || slot.m_nKeys <= 0) {
                continue;
            }
            KeyWeakness& k = sums[key];
            k.key = key;
            k.keys += weight * slot.m_nKeys;
            k.errors += weight * std::clamp(slot.m_nErrors, 0, slot.m_nKeys);
            k.ms += weight * std::max(slot.m_nTime, 0);
        }
    }
    KeyRanking ranking;
    double keys = 0;
    double errors = 0;
    std::vector<double> msPerKey;
    for (const auto& [key, k] : sums) {
        keys += k.keys;
        errors += k.errors;
        msPerKey.push_back(k.ms / k.keys);
    }
    ranking.overallErrorRate = keys > 0 ? errors / keys : 0;
    ranking.medianMsPerKey = Median(msPerKey);
    const double p0 = ranking.overallErrorRate;
    const double m0 = ranking.medianMsPerKey;
    for (auto& [key, k] : sums) {
        k.errorRate = (k.errors + kPriorKeystrokes * p0) / (k.keys + kPriorKeystrokes);
        k.msPerKey = (k.ms + kPriorKeystrokes * m0) / (k.keys + kPriorKeystrokes);
        k.learned = k.keys >= kLearnedKeystrokes && k.errors <= kLearnedErrorRate * k.keys &&
                    k.ms <= m0 * k.keys;
        k.score = (p0 > 0 ? k.errorRate / p0 - 1 : 0) + (m0 > 0 ? k.msPerKey / m0 - 1 : 0);
        ranking.keys.push_back(k);
    }
    std::stable_sort(ranking.keys.begin(), ranking.keys.end(),
                     [](const KeyWeakness& a, const KeyWeakness& b) { return a.score > b.score; });
    return ranking;
}

std::vector<WordRow> RankWords(const CWordTrackFile& words, int nTop) {
    std::vector<WordRow> mistyped;
    std::vector<WordRow> slow;
    WeakestWords(words, words.GetWordCount(), &mistyped, &slow);
    const auto tooShort = [](const WordRow& w) { return w.word.size() < kMinWordLength; };
    std::erase_if(mistyped, tooShort);
    std::erase_if(slow, [&tooShort](const WordRow& w) { return tooShort(w) || w.mistyped > 0; });
    // Half of them mistyped ones, the rest slow ones; either side fills what the other lacks.
    const size_t top = static_cast<size_t>(std::max(nTop, 0));
    const size_t fromSlow = std::min(slow.size(), top - std::min(mistyped.size(), top / 2));
    mistyped.resize(std::min(mistyped.size(), top - fromSlow));
    mistyped.insert(mistyped.end(), slow.begin(),
                    slow.begin() + static_cast<std::ptrdiff_t>(fromSlow));
    return mistyped;
}

WordList LoadWordList(const std::string& path, const std::string& language, const CodePage& page) {
    WordList list;
    if (!path.empty()) {
        list.words = ReadPracticeWords(path, page);
    }
    if (list.words.empty()) {
        list.words = BundledWords(language, page);
        list.common = list.words;
        list.source = "the words of the bundled " + language + " lessons";
        return list;
    }
    list.source = path;
    std::sort(list.words.begin(), list.words.end());
    list.words.erase(std::unique(list.words.begin(), list.words.end()), list.words.end());
    // The common words among them: SCOWL's for English, or the bundled lessons'.
    std::vector<std::string> candidates;
    if (language == kEnglish) {
        for (const char* common : kCommonLists) {
            const std::vector<std::string> words = ReadPracticeWords(common, page);
            candidates.insert(candidates.end(), words.begin(), words.end());
        }
    }
    if (candidates.empty()) {
        candidates = BundledWords(language, page);
    }
    std::set<std::string> common;
    for (const std::string& w : candidates) {
        if (std::binary_search(list.words.begin(), list.words.end(), w)) {
            common.insert(w);
        }
    }
    list.common.assign(common.begin(), common.end());
    return list;
}

WordList LoadWordList(const Profile& profile) {
    return LoadWordList(WordListFile(profile), ProfileLanguage(profile), *profile.page);
}

PracticeLesson BuildPractice(const KeyRanking& ranking, const std::vector<WordRow>& weakWords,
                             const WordList& list, unsigned seed, const std::string& focusKeys) {
    PracticeLesson lesson;
    std::mt19937 rng(seed);
    const LowerLetters lower(CurrentCodePage());

    // The focus keys and the line that names them.
    std::string focus;
    std::vector<std::string> named;
    auto name = [&ranking](char key) {
        const KeyWeakness* k = ranking.Find(key);
        return std::string(1, key) + (k ? " " + std::to_string(k->Accuracy()) + "%" : "");
    };
    if (!focusKeys.empty()) {
        for (char c : focusKeys) {
            const char key = lower(c);
            if (key && focus.find(key) == std::string::npos) {
                focus += key;
                named.push_back(name(key));
            }
        }
    } else {
        std::vector<const KeyWeakness*> byErrors;
        std::vector<const KeyWeakness*> bySpeed;
        for (const KeyWeakness& k : ranking.keys) {
            if (k.learned) {
                continue;
            }
            if (k.errors > 0 && k.errorRate > kWeakErrorFactor * ranking.overallErrorRate) {
                byErrors.push_back(&k);
            } else if (k.msPerKey > kSlowFactor * ranking.medianMsPerKey) {
                bySpeed.push_back(&k);
            }
        }
        std::stable_sort(byErrors.begin(), byErrors.end(),
                         [](auto* a, auto* b) { return a->errorRate > b->errorRate; });
        std::stable_sort(bySpeed.begin(), bySpeed.end(),
                         [](auto* a, auto* b) { return a->msPerKey > b->msPerKey; });
        byErrors.resize(std::min(byErrors.size(), kFocusErrorKeys));
        bySpeed.resize(std::min(bySpeed.size(), kFocusSlowKeys));
        for (const KeyWeakness* k : byErrors) {
            focus += k->key;
            named.push_back(name(k->key));
        }
        std::string slow;
        for (const KeyWeakness* k : bySpeed) {
            focus += k->key;
            slow += (slow.empty() ? "slow: " : ", ") + std::string(1, k->key);
        }
        if (!slow.empty()) {
            named.push_back(slow);
        }
    }
    std::string line;
    for (const std::string& n : named) {
        line += (line.empty() ? "" : ", ") + n;
    }
    lesson.focus = "focus: " + (line.empty() ? std::string("no weak keys") : line);

    // A third weak words, each three times while they fit, else twice.
    std::vector<std::string> bag;
    std::string wordsNamed;
    const size_t perWord = weakWords.size() * 3 <= kWeakWordSlots ? 3 : 2;
    for (const WordRow& w : weakWords) {
        if (bag.size() + perWord > kWeakWordSlots) {
            break;
        }
        bag.insert(bag.end(), perWord, w.word);
        wordsNamed += (wordsNamed.empty() ? "; words: " : ", ") + w.word;
    }
    lesson.focus += wordsNamed;

    // Half words that hold the focus keys, taking the keys in turn; common words where enough
    // of them hold the key.
    const std::vector<std::string>& common = list.common.empty() ? list.words : list.common;
    std::vector<std::vector<std::string>> pools;
    for (char key : focus) {
        auto holds = [key](const std::string& w) { return w.find(key) != std::string::npos; };
        std::vector<std::string> pool;
        std::copy_if(common.begin(), common.end(), std::back_inserter(pool), holds);
        if (pool.size() < kMinCommonPool) {
            pool.clear();
            std::copy_if(list.words.begin(), list.words.end(), std::back_inserter(pool), holds);
        }
        if (!pool.empty()) {
            pools.push_back(std::move(pool));
        }
    }
    std::set<std::string> taken;
    for (size_t i = 0; !pools.empty() && i < kKeyWordSlots; ++i) {
        const std::vector<std::string>& pool = pools[i % pools.size()];
        // A word not taken yet, if a few draws find one.
        std::string word = pool[Draw(rng, pool.size())];
        for (int tries = 0; tries < 4 && taken.count(word); ++tries) {
            word = pool[Draw(rng, pool.size())];
        }
        taken.insert(word);
        bag.push_back(word);
    }
    // The rest common words.
    while (!common.empty() && bag.size() < kLessonWords) {
        bag.push_back(common[Draw(rng, common.size())]);
    }

    for (size_t i = bag.size(); i > 1; --i) {
        std::swap(bag[i - 1], bag[Draw(rng, i)]);
    }
    lesson.words = NoWordTwiceInARow(std::move(bag));
    for (size_t i = 0; i < lesson.words.size(); ++i) {
        lesson.text += (i == 0 ? "" : i % kWordsPerLine == 0 ? "\n" : " ") + lesson.words[i];
    }
    return lesson;
}

Practice MakePractice(History& history, const WordList& list, unsigned seed,
                      const std::string& focusKeys) {
    Practice practice;
    const SingleByteText keys = ConvertToCodePage(focusKeys, CurrentCodePage());
    if (!focusKeys.empty() && !keys.ok) {
        practice.message = "--focus: " + keys.error.substr(keys.error.find(": ") + 2);
        return practice;
    }
    if (history.Lessons().GetLessonCount() == 0) {
        const std::vector<BundledLesson> bundled = ListBundledLessons();
        std::string error;
        if (bundled.empty() || !ChooseLesson(bundled.front().name, &practice.lesson, &error)) {
            practice.message =
                "Your history holds no lesson yet, and no bundled lesson was found "
                "in " +
                LessonDirectory() + ".";
            return practice;
        }
        practice.message =
            "Your history holds no lesson yet, so there is nothing to practise "
            "from: begin with the first bundled lesson, " +
            bundled.front().name + ".";
        return practice;
    }
    const PracticeLesson built =
        BuildPractice(RankKeys(AllLessons(history.Lessons())), RankWords(history.Words(), 7), list,
                      seed, keys.bytes);
    if (built.text.empty()) {
        practice.message =
            "No word list of this profile's language was found (Debian's w* "
            "packages give them: wngerman, wpolish, ...), no bundled lesson is in "
            "it, and the history holds no weak word to practise.";
        return practice;
    }
    practice.fromHistory = true;
    practice.focus = built.focus;
    practice.lesson.name = kPracticeName;
    practice.lesson.text = built.text;
    practice.lesson.tag = LessonTag(kPracticeName);
    return practice;
}
