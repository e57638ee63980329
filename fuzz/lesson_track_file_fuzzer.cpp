// The Lesson Track File on arbitrary images (see RecordFileChecks.h), with sums over the records
// and sorts of their character tables.
#include <vector>

#include "Article/LessonTrackFile.h"
#include "RecordFileChecks.h"

namespace {

// Sums and sorts must take whatever a loaded (or half-loaded) file holds; a file that loads is
// exactly its count of records.
void UseRecords(CLessonTrackFile& f, bool opened, const std::vector<unsigned char>& image) {
    const int n = f.GetLessonCount();
    FUZZ_CHECK(!opened || image.size() == 4 + sizeof(CLessonTrack) * static_cast<std::size_t>(n));
    FUZZ_CHECK(f.GetLessonTrack(-1) == nullptr && f.GetLessonTrack(n) == nullptr);
    CLessonTrack sum;
    if (const CLessonTrack* last = f.GetLastTrack()) {
        f.GetTrackSum(&sum, last->m_byLessonId1, last->m_byLessonId2, 1 << 30);
        f.GetTrackSum(&sum, last->m_wYear, last->m_wMonth, last->m_wDay);
    }
    f.GetTrackSum(&sum, 0, 0, 0);
    for (int k = 0; k < n && k < 4; ++k) {
        const CLessonTrack* track = f.GetLessonTrack(k);
        if (!track) {
            continue;
        }
        // Sorting moves the slots about and loses or doubles none.
        std::vector<int> held(256);
        for (int c = 0; c < kCharTrackSlots; ++c) {
            ++held[static_cast<unsigned char>(track->m_aCharTrack[c].m_chChar)];
        }
        for (int criterion = 0; criterion <= 2; ++criterion) {
            std::vector<CCharTrack> slots(track->m_aCharTrack,
                                          track->m_aCharTrack + kCharTrackSlots);
            SortCharTrack(slots.data(), kCharTrackSlots, static_cast<SortCriteria>(criterion));
            std::vector<int> seen(256);
            for (int c = 0; c < kCharTrackSlots; ++c) {
                ++seen[static_cast<unsigned char>(slots[c].m_chChar)];
            }
            FUZZ_CHECK(seen == held);
        }
        for (int bAll = 0; bAll <= 1; ++bAll) {
            const int count = track->GetCharTrackCount(bAll);
            FUZZ_CHECK(count >= 0 && count <= kCharTrackSlots);
            std::vector<CCharTrack> slots(static_cast<size_t>(count));
            track->RetrieveCharTrack(slots.data(), count, bAll);
            SortCharTrack(slots.data(), count, bAll ? scByAccuracy : scBySpeed);
            for (const CCharTrack& slot : slots) {
                FUZZ_CHECK(slot.m_nKeys > 0);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunRecordFile<CLessonTrackFile>(
        data, size, [](const CLessonTrackFile& f) { return f.GetLessonCount(); }, UseRecords,
        [](CLessonTrackFile& f, const std::vector<unsigned char>&) {
            FUZZ_CHECK(f.AddNewTrack(1, 2, 3) == 1 && f.IsModified() == 1);
            return 1;
        });
    return 0;
}
