// Counts the bytes the program holds through operator new, and the most it held, while a
// PeakAllocation lives. Only C++ allocations count (the library's own); C libraries (Cairo,
// Pango, SQLite) allocate with malloc and are not seen.
#pragma once

#include <cstddef>

class PeakAllocation {
public:
    PeakAllocation();
    ~PeakAllocation();
    PeakAllocation(const PeakAllocation&) = delete;
    PeakAllocation& operator=(const PeakAllocation&) = delete;

    // The most bytes held at once since construction, over what was held at construction.
    std::size_t PeakBytes() const;
};
