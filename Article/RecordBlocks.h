// Memory for the typing log's records. A record made on its own has a block of its own; the
// many records of a load lie back to back in a few large blocks instead, which spares a load an
// allocation per record. Every record is preceded by a small head that finds its block, so each
// record can still be released on its own; a large block is released with its last record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The head before each record: its distance from its large block's start; 0 for a record on
// its own.
using RecordHead = std::uint32_t;
// Room for a record of nSize bytes on its own, aligned for any type of up to 8 bytes, zeroed
// when bZero; null when memory runs out.
void* AllocateRecord(std::size_t nSize, bool bZero);
// Releases a record that AllocateRecord or a RecordArena made; null is ignored. Records of one
// large block may be released from different threads.
void ReleaseRecord(void* pRecord);

// Hands out the records of a load from large blocks. Its records may be released only after
// the arena is gone; a block from which it handed out nothing goes with it.
class RecordArena {
public:
    // nExpected: the bytes the records will take (RoomFor each), so that the last block is no
    // larger than needed.
    explicit RecordArena(std::size_t nExpected) : m_nExpected(nExpected) {}
    ~RecordArena();
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;

    // Room for a record of nSize bytes at an address that is a multiple of nAlign (4 or 8),
    // not zeroed; null when memory runs out.
    void* Allocate(std::size_t nSize, std::size_t nAlign) {
        std::size_t nAt = (m_nUsed + sizeof(RecordHead) + nAlign - 1) & ~(nAlign - 1);
        if (!m_pBlock || nAt + nSize > m_nBlockSize) {
            if (!NewBlock(RoomFor(nSize, nAlign))) {
                return nullptr;
            }
            nAt = (m_nUsed + sizeof(RecordHead) + nAlign - 1) & ~(nAlign - 1);
        }
        unsigned char* pRecord = m_pBlock + nAt;
        const RecordHead nOffset = static_cast<RecordHead>(nAt);
        std::memcpy(pRecord - sizeof(RecordHead), &nOffset, sizeof nOffset);
        m_nUsed = nAt + nSize;
        ++m_nRecords;
        return pRecord;
    }
    // Takes back the room that the last Allocate handed out for a record at pRecord.
    void TakeBack(void* pRecord);
    // The most a record of nSize bytes takes in a block, its head and alignment included.
    static constexpr std::size_t RoomFor(std::size_t nSize, std::size_t nAlign) {
        return sizeof(RecordHead) + nAlign - 1 + nSize;
    }

private:
    // Hands the current block over to its records and makes a new one with room for at least
    // nRoom bytes; false when memory runs out.
    bool NewBlock(std::size_t nRoom);
    void CloseBlock();

    std::size_t m_nExpected;  // bytes still expected when the current block was made
    unsigned char* m_pBlock = nullptr;
    std::size_t m_nBlockSize = 0;
    std::size_t m_nUsed = 0;     // bytes of the block taken, its own head included
    std::size_t m_nRecords = 0;  // records handed out from the block
};
