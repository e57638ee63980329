#include "Article/RecordBlocks.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/Memory.h"

namespace {

// A large block begins with the count of its records still alive.
struct BlockHead {
    std::atomic<std::size_t> nLive;
};
constexpr std::size_t kBlockHeadSize = 8;
static_assert(sizeof(BlockHead) <= kBlockHeadSize);

// Large blocks are at most this big: a million words take a few of them.
constexpr std::size_t kMaxBlockSize = std::size_t{16} << 20;

// A record on its own lies this far into its allocation, behind its head: malloc's alignment
// is at least 8, and so is the record's.
constexpr std::size_t kOwnOffset = 8;

RecordHead HeadOf(const void* pRecord) {
    RecordHead nHead;
    std::memcpy(&nHead, static_cast<const unsigned char*>(pRecord) - sizeof nHead, sizeof nHead);
    return nHead;
}

}  // namespace

void* AllocateRecord(std::size_t nSize, bool bZero) {
    void* pMemory = bZero ? std::calloc(1, kOwnOffset + nSize) : std::malloc(kOwnOffset + nSize);
    if (!pMemory) {
        return nullptr;
    }
    unsigned char* pRecord = static_cast<unsigned char*>(pMemory) + kOwnOffset;
    const RecordHead nOwn = 0;
    std::memcpy(pRecord - sizeof nOwn, &nOwn, sizeof nOwn);
    return pRecord;
}

void ReleaseRecord(void* pRecord) {
    if (!pRecord) {
        return;
    }
    const RecordHead nOffset = HeadOf(pRecord);
    if (nOffset == 0) {
        std::free(static_cast<unsigned char*>(pRecord) - kOwnOffset);
        return;
    }
    auto* pHead = reinterpret_cast<BlockHead*>(static_cast<unsigned char*>(pRecord) - nOffset);
    if (pHead->nLive.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        pHead->~BlockHead();
        FreeLargeBlock(pHead);
    }
}

RecordArena::~RecordArena() {
    CloseBlock();
}

void RecordArena::CloseBlock() {
    if (!m_pBlock) {
        return;
    }
    if (m_nRecords == 0) {
        FreeLargeBlock(m_pBlock);
    } else {
        new (m_pBlock) BlockHead{m_nRecords};
    }
    m_pBlock = nullptr;
    m_nRecords = 0;
}

bool RecordArena::NewBlock(std::size_t nRoom) {
    if (m_pBlock) {
        m_nExpected -= std::min(m_nExpected, m_nUsed);
    }
    CloseBlock();
    const std::size_t nSize =
        kBlockHeadSize + std::max(nRoom, std::min(m_nExpected, kMaxBlockSize));
    m_pBlock = static_cast<unsigned char*>(AllocateLargeBlock(nSize));
    if (!m_pBlock) {
        return false;
    }
    m_nBlockSize = nSize;
    m_nUsed = kBlockHeadSize;
    return true;
}

void RecordArena::TakeBack(void* pRecord) {
    m_nUsed = static_cast<std::size_t>(static_cast<unsigned char*>(pRecord) - m_pBlock) -
              sizeof(RecordHead);
    --m_nRecords;
}
