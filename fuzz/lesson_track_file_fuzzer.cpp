// The Lesson Track File on arbitrary images: loading, saving back, saving with faults, sums
// over the records, and the weakest-first sort of a record's character table.
//
// Input: one byte of fault plan, then the file image.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Article/LessonTrackFile.h"
#include "FuzzSupport.h"
#include "RecordFileChecks.h"

namespace {

CountingReportSink g_reports;

constexpr std::int64_t kRecordSize = sizeof(CLessonTrack);

// The sorting keys, as the records' table defines them: the difference in 32 bits, then a
// double division.
double Difference(const CCharTrack& t) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(t.m_nKeys) -
                                     static_cast<std::uint32_t>(t.m_nErrors));
}
double SpeedKey(const CCharTrack& t) {
    return t.m_nTime > 0 ? Difference(t) / t.m_nTime : 10000000.0;
}
double AccuracyKey(const CCharTrack& t) {
    return t.m_nKeys > 0 ? Difference(t) / t.m_nKeys : 100.0;
}

// Sorting a whole table of slots puts the weakest first and loses or doubles none; an unknown
// criterion leaves the table as it was.
void CheckSort(const CLessonTrack& track) {
    for (int criterion = 0; criterion <= 2; ++criterion) {
        std::vector<CCharTrack> slots(track.m_aCharTrack, track.m_aCharTrack + kCharTrackSlots);
        SortCharTrack(slots.data(), kCharTrackSlots, static_cast<SortCriteria>(criterion));
        if (criterion == 2) {
            FUZZ_CHECK(std::memcmp(slots.data(), track.m_aCharTrack, sizeof track.m_aCharTrack) ==
                       0);
            continue;
        }
        double (*key)(const CCharTrack&) = criterion == scBySpeed ? SpeedKey : AccuracyKey;
        for (int k = 1; k < kCharTrackSlots; ++k) {
            FUZZ_CHECK(key(slots[k - 1]) <= key(slots[k]));
        }
        std::vector<int> seen(256, 0);
        std::vector<int> held(256, 0);
        for (int k = 0; k < kCharTrackSlots; ++k) {
            ++seen[static_cast<unsigned char>(slots[k].m_chChar)];
            ++held[static_cast<unsigned char>(track.m_aCharTrack[k].m_chChar)];
        }
        FUZZ_CHECK(seen == held);
    }
}

// Sums and sorts must take whatever a loaded (or half-loaded) file holds.
void UseRecords(CLessonTrackFile& f) {
    const int n = f.GetLessonCount();
    FUZZ_CHECK(f.GetLessonTrack(-1) == nullptr);
    FUZZ_CHECK(f.GetLessonTrack(n) == nullptr);
    if (const CLessonTrack* last = f.GetLastTrack()) {
        CLessonTrack sum;
        f.GetTrackSum(&sum, last->m_byLessonId1, last->m_byLessonId2, 1 << 30);
        CLessonTrack byDate;
        f.GetTrackSum(&byDate, last->m_wYear, last->m_wMonth, last->m_wDay);
    }
    CLessonTrack sum;
    f.GetTrackSum(&sum, 0, 0, 0);
    f.GetTrackSum(&sum, 2024, 1, 1);
    for (int k = 0; k < n && k < 4; ++k) {
        const CLessonTrack* track = f.GetLessonTrack(k);
        if (!track) {
            continue;
        }
        CheckSort(*track);
        for (int bAll = 0; bAll <= 1; ++bAll) {
            const int count = track->GetCharTrackCount(bAll);
            FUZZ_CHECK(count >= 0 && count <= kCharTrackSlots);
            std::vector<CCharTrack> slots(static_cast<size_t>(count));
            track->RetrieveCharTrack(slots.data(), count, bAll);
            for (const CCharTrack& slot : slots) {
                FUZZ_CHECK(slot.m_nKeys > 0);
            }
            SortCharTrack(slots.data(), count, bAll ? scByAccuracy : scBySpeed);
            // Sorting moves records about and loses none.
            int keys = 0;
            for (const CCharTrack& slot : slots) {
                keys += slot.m_nKeys > 0 ? 1 : 0;
            }
            FUZZ_CHECK(keys == count);
        }
    }
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
    const std::string input = dir + "/lessons.trk";
    FuzzWriteFile(input, image, nImage);

    CLessonTrackFile f;
    const long long reportsBefore = g_reports.Count();
    const int opened = f.Open(input.c_str());

    // A file opens when its length is exactly that of its count of records and every record
    // passes its check; whatever is refused leaves the name alone.
    std::int32_t nStored = -1;
    if (nImage >= 4) {
        std::memcpy(&nStored, image, 4);
    }
    const bool bLengthFits =
        nImage >= 4 && nStored >= 0 &&
        static_cast<std::int64_t>(nImage) - 4 == kRecordSize * static_cast<std::int64_t>(nStored);
    if (!bLengthFits) {
        FUZZ_CHECK(opened == 0);
        FUZZ_CHECK(f.GetLessonCount() == 0);
    }
    if (!opened) {
        FUZZ_CHECK(f.GetFileName().empty());
        FUZZ_CHECK(g_reports.Count() > reportsBefore || nImage < 4);
        UseRecords(f);
        // A half-loaded table saves nothing whole: the save fails and leaves no backup.
        if (f.GetLessonCount() > 0) {
            const std::string out = dir + "/partial.trk";
            FuzzRemoveFile(out);
            FUZZ_CHECK(f.Save(out.c_str()) == 0);
            FUZZ_CHECK(!FileExists((out + ".old").c_str()));
            FUZZ_CHECK(f.GetFileName().empty());
        }
        return 0;
    }

    FUZZ_CHECK(f.GetLessonCount() == nStored);
    FUZZ_CHECK(f.GetFileName() == input);
    FUZZ_CHECK(f.IsModified() == 0);
    for (int k = 0; k < nStored; ++k) {
        const CLessonTrack* track = f.GetLessonTrack(k);
        FUZZ_CHECK(track != nullptr);
        FUZZ_CHECK(std::memcmp(track, image + 4 + kRecordSize * k, kRecordSize) == 0);
    }
    UseRecords(f);

    const std::vector<unsigned char> bytes(image, image + nImage);
    CheckSaves(f, dir + "/saved.trk", bytes, plan);

    if (plan.bAddRecord) {
        // A new lesson joins as the newest record and survives a save and a load.
        FUZZ_CHECK(f.AddNewTrack(data[0], static_cast<unsigned char>(nImage), 7) == 1);
        FUZZ_CHECK(f.IsModified() == 1);
        FUZZ_CHECK(f.GetLessonCount() == nStored + 1);
        FUZZ_CHECK(f.Save(nullptr) == 1);
        CLessonTrackFile again;
        FUZZ_CHECK(again.Open(f.GetFileName().c_str()) == 1);
        FUZZ_CHECK(again.GetLessonCount() == nStored + 1);
        FUZZ_CHECK(std::memcmp(again.GetLessonTrack(nStored), f.GetLastTrack(), kRecordSize) == 0);
    }
    return 0;
}
