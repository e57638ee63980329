// The Word Track File on arbitrary images: loading, saving back, saving with faults, and the
// records the session makes for words of any bytes.
//
// Input: one byte of fault plan, then the file image.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Article/WordTrackFile.h"
#include "FuzzSupport.h"
#include "RecordFileChecks.h"

namespace {

CountingReportSink g_reports;

// The head of a record before its word, and the least a record can declare itself to be.
constexpr std::size_t kWordOffset = offsetof(WordTrack, m_szWord);

// Where the records of a loaded image end: the count, then each record's own size.
std::size_t LoadedLength(const CWordTrackFile& f) {
    std::size_t n = 4;
    for (int k = 0; k < f.GetWordCount(); ++k) {
        n += f.GetWordTrack(k)->m_wSize;
    }
    return n;
}

void CheckRecord(const WordTrack* record) {
    FUZZ_CHECK(record != nullptr);
    FUZZ_CHECK(record->m_wSize >= kMinWordTrackSize && record->m_wSize <= kMaxWordTrackSize);
    const char* word = reinterpret_cast<const char*>(record) + kWordOffset;
    FUZZ_CHECK(std::memchr(word, 0, record->m_wSize - kWordOffset) != nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const FaultPlan plan = FaultPlan::FromByte(data[0]);
    const std::uint8_t* image = data + 1;
    const std::size_t nImage = size - 1;

    const std::string dir = FuzzScratchDir();
    const std::string input = dir + "/words.trk";
    FuzzWriteFile(input, image, nImage);

    CWordTrackFile f;
    const int opened = f.Open(input.c_str());

    // The length must lie between 28 and 156 bytes a record.
    std::int32_t nStored = -1;
    if (nImage >= 4) {
        std::memcpy(&nStored, image, 4);
    }
    const std::int64_t nBody = static_cast<std::int64_t>(nImage) - 4;
    const bool bLengthFits =
        nImage >= 4 && nStored >= 0 && nBody >= 28LL * nStored && nBody <= 156LL * nStored;
    if (!bLengthFits) {
        FUZZ_CHECK(opened == 0);
        FUZZ_CHECK(f.GetWordCount() == 0);
    }
    if (!opened) {
        FUZZ_CHECK(f.GetFileName().empty());
        // A failed load keeps the records read before the failure, then null entries.
        bool bNull = false;
        for (int k = 0; k < f.GetWordCount(); ++k) {
            const WordTrack* record = f.GetWordTrack(k);
            if (record) {
                FUZZ_CHECK(!bNull);
                CheckRecord(record);
            } else {
                bNull = true;
            }
        }
        FUZZ_CHECK(f.GetWordCount() == 0 || bNull);
        if (f.GetWordCount() > 0) {
            const std::string out = dir + "/partial.trk";
            FuzzRemoveFile(out);
            FUZZ_CHECK(f.Save(out.c_str()) == 0);
            FUZZ_CHECK(!FileExists((out + ".old").c_str()));
        }
        return 0;
    }

    FUZZ_CHECK(f.GetWordCount() == nStored);
    FUZZ_CHECK(f.GetFileName() == input);
    FUZZ_CHECK(f.GetWordTrack(-1) == nullptr && f.GetWordTrack(nStored) == nullptr);
    for (int k = 0; k < nStored; ++k) {
        CheckRecord(f.GetWordTrack(k));
    }
    // Bytes behind the last record are not part of it: a save writes the records as loaded.
    const std::size_t nLoaded = LoadedLength(f);
    FUZZ_CHECK(nLoaded <= nImage);
    const std::vector<unsigned char> bytes(image, image + nLoaded);
    CheckSaves(f, dir + "/saved.trk", bytes, plan);

    if (plan.bAddRecord) {
        // The first record's word, and the whole image cut to a word, as new records.
        const std::string word =
            nStored > 0
                ? std::string(reinterpret_cast<const char*>(f.GetWordTrack(0)) + kWordOffset)
                : std::string("x");
        const std::string any(reinterpret_cast<const char*>(image), nImage);
        int added = 0;
        for (const std::string& w : {word, any.substr(0, any.find('\0'))}) {
            WordTrack* record = CreateWordTrack(w.c_str());
            if (w.empty() || w.size() > kMaxWordTrackSize - kMinWordTrackSize + 1) {
                FUZZ_CHECK(record == nullptr);
                continue;
            }
            CheckRecord(record);
            FUZZ_CHECK(f.Add(record) == 1);
            ++added;
        }
        FUZZ_CHECK(f.Save(nullptr) == 1);
        CWordTrackFile again;
        FUZZ_CHECK(again.Open(f.GetFileName().c_str()) == 1);
        FUZZ_CHECK(again.GetWordCount() == nStored + added);
        for (int k = 0; k < again.GetWordCount(); ++k) {
            const WordTrack* a = again.GetWordTrack(k);
            const WordTrack* b = f.GetWordTrack(k);
            FUZZ_CHECK(a->m_wSize == b->m_wSize && std::memcmp(a, b, a->m_wSize) == 0);
        }
    }
    return 0;
}
