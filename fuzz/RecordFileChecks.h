// The run both record file targets share. Input: a fault plan byte, then the file image.
// Plan bits 0-3: the n-th write of the faulty save raises (0: none); bit 4 the sync fails, bit 5
// the rename, bit 7 the create; bit 6 adds new records, saves and loads them back.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "diagnostics/ReportCapture.h"
#include "platform/File.h"

// count(f) is the number of records f holds; use(f, opened, image) does what the kind of file
// offers on whatever a load left; add(f, image) adds new records and answers how many.
template <class RecordFile, class Count, class Use, class Add>
void RunRecordFile(const std::uint8_t* data, std::size_t size, Count count, Use use, Add add) {
    if (size < 1) {
        return;
    }
    ScopedReportCapture reports;
    const std::uint8_t plan = data[0];
    const std::vector<unsigned char> image(data + 1, data + size);
    const std::string dir = FuzzScratchDir();
    const std::string input = dir + "/input.trk";
    FuzzWriteFile(input, image);

    RecordFile f;
    const int opened = f.Open(input.c_str());
    use(f, opened != 0, image);
    if (!opened) {
        // Refused and reported; a half-loaded table saves nothing, and leaves no backup.
        FUZZ_CHECK(f.GetFileName().empty());
        FUZZ_CHECK(!reports.Reports().empty() || image.size() < 4);
        if (count(f) > 0) {
            const std::string out = dir + "/partial.trk";
            DeleteFile(out.c_str());
            FUZZ_CHECK(f.Save(out.c_str()) == 0);
            FUZZ_CHECK(!FileExists((out + ".old").c_str()) && f.GetFileName().empty());
        }
        return;
    }
    FUZZ_CHECK(f.GetFileName() == input && f.IsModified() == 0);

    // A save to a new name writes the records as loaded: the image, or its front when bytes
    // trail the last record, and a file that loads back to as many records. Saving again over
    // it writes the same; a save that fails puts the previous file back under its name; no
    // save leaves a backup beside it.
    const std::string saved = dir + "/saved.trk";
    const std::string backup = saved + ".old";
    DeleteFile(saved.c_str());
    FUZZ_CHECK(f.Save(saved.c_str()) == 1);
    const std::vector<unsigned char> bytes = FuzzReadFile(saved);
    FUZZ_CHECK(bytes.size() <= image.size() &&
               std::equal(bytes.begin(), bytes.end(), image.begin()));
    FUZZ_CHECK(f.GetFileName() == saved && f.IsModified() == 0 && !FileExists(backup.c_str()));
    RecordFile copy;
    FUZZ_CHECK(copy.Open(saved.c_str()) == 1 && count(copy) == count(f));
    FUZZ_CHECK(f.Save(nullptr) == 1);
    FUZZ_CHECK(FuzzReadFile(saved) == bytes && !FileExists(backup.c_str()));
    if (plan & 0xBF) {
        int ok = 0;
        {
            ScopedFileFaults faults;
            faults.FailWriteNumber(plan & 0x0F);
            faults.FailSync((plan & 0x10) != 0);
            faults.FailRename((plan & 0x20) != 0);
            faults.FailCreate((plan & 0x80) != 0);
            ok = f.Save(nullptr);
        }
        // A write past the save's last one is never met and lets it succeed.
        FUZZ_CHECK(ok == 0 || (plan & 0xB0) == 0);
        FUZZ_CHECK(FuzzReadFile(saved) == bytes && !FileExists(backup.c_str()));
        FUZZ_CHECK(f.GetFileName() == saved);
    }

    if (plan & 0x40) {
        // New records survive a save and a load.
        const int before = count(f);
        const int added = add(f, image);
        FUZZ_CHECK(f.Save(nullptr) == 1);
        RecordFile again;
        FUZZ_CHECK(again.Open(saved.c_str()) == 1 && count(again) == before + added);
    }
}
