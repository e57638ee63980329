// Checks that the two record files share: a loaded file saves to the same bytes, saves over an
// existing file keep no backup, and a save that fails half-way puts the previous file back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "platform/File.h"

// How a fuzz input asks the record file targets to make the world fail.
struct FaultPlan {
    int nFailWrite = 0;  // the n-th write of the faulty save raises (0: none)
    bool bFailSync = false;
    bool bFailRename = false;
    bool bFailCreate = false;
    bool bAddRecord = false;  // append a new record, save and load it back

    static FaultPlan FromByte(std::uint8_t b) {
        FaultPlan plan;
        plan.nFailWrite = b & 0x0F;
        plan.bFailSync = (b & 0x10) != 0;
        plan.bFailRename = (b & 0x20) != 0;
        plan.bAddRecord = (b & 0x40) != 0;
        plan.bFailCreate = (b & 0x80) != 0;
        return plan;
    }
    bool AnyFault() const { return nFailWrite != 0 || bFailSync || bFailRename || bFailCreate; }
};

// f holds what was loaded; image is the file those records make. Saves under a new name, again
// over it, then once with the plan's faults in force.
template <class RecordFile>
void CheckSaves(RecordFile& f, const std::string& name, const std::vector<unsigned char>& image,
                const FaultPlan& plan) {
    const std::string backup = name + ".old";
    FuzzRemoveFile(name);
    FuzzRemoveFile(backup);

    // A new file: the same bytes, no backup, the name taken, nothing left modified.
    FUZZ_CHECK(f.Save(name.c_str()) == 1);
    FUZZ_CHECK(FuzzReadFile(name) == image);
    FUZZ_CHECK(!FileExists(backup.c_str()));
    FUZZ_CHECK(f.GetFileName() == name);
    FUZZ_CHECK(f.IsModified() == 0);

    // Over the file just written, under the name kept.
    FUZZ_CHECK(f.Save(nullptr) == 1);
    FUZZ_CHECK(FuzzReadFile(name) == image);
    FUZZ_CHECK(!FileExists(backup.c_str()));

    if (!plan.AnyFault()) {
        return;
    }
    // A save that fails: the previous file is back under its name, with no backup beside it.
    // A fault that the save never meets (a write past its last one) lets it succeed.
    int saved = 0;
    {
        ScopedFileFaults faults;
        faults.FailWriteNumber(plan.nFailWrite);
        faults.FailSync(plan.bFailSync);
        faults.FailRename(plan.bFailRename);
        faults.FailCreate(plan.bFailCreate);
        saved = f.Save(nullptr);
    }
    if (plan.bFailSync || plan.bFailRename || plan.bFailCreate) {
        FUZZ_CHECK(saved == 0);
    }
    FUZZ_CHECK(FuzzReadFile(name) == image);
    FUZZ_CHECK(!FileExists(backup.c_str()));
    FUZZ_CHECK(f.GetFileName() == name);
}
