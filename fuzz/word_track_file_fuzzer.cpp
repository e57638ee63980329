// The Word Track File on arbitrary images (see RecordFileChecks.h), and new records for words of
// any bytes.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Article/WordTrackFile.h"
#include "RecordFileChecks.h"

namespace {

// Every record a load keeps has a size in bounds and a word that ends within it.
void CheckRecord(const WordTrack* record) {
    FUZZ_CHECK(record->m_wSize >= kMinWordTrackSize && record->m_wSize <= kMaxWordTrackSize);
    const std::size_t offset = offsetof(WordTrack, m_szWord);
    FUZZ_CHECK(std::memchr(reinterpret_cast<const char*>(record) + offset, 0,
                           record->m_wSize - offset) != nullptr);
}

void UseRecords(CWordTrackFile& f, bool, const std::vector<unsigned char>&) {
    FUZZ_CHECK(f.GetWordTrack(-1) == nullptr && f.GetWordTrack(f.GetWordCount()) == nullptr);
    for (int k = 0; k < f.GetWordCount(); ++k) {
        if (const WordTrack* record = f.GetWordTrack(k)) {
            CheckRecord(record);
        }
    }
}

// The image up to its first zero byte as a new word: refused when no reader could load it.
int AddRecord(CWordTrackFile& f, const std::vector<unsigned char>& image) {
    const std::string word(image.begin(), std::find(image.begin(), image.end(), 0));
    WordTrack* record = CreateWordTrack(word.c_str());
    if (word.empty() || word.size() > kMaxWordTrackSize - kMinWordTrackSize + 1) {
        FUZZ_CHECK(record == nullptr);
        return 0;
    }
    CheckRecord(record);
    FUZZ_CHECK(f.Add(record) == 1);
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunRecordFile<CWordTrackFile>(
        data, size, [](const CWordTrackFile& f) { return f.GetWordCount(); }, UseRecords,
        AddRecord);
    return 0;
}
