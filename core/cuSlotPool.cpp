#include "cuSlotPool.h"

#include <new>
#include <thread>
#include <utility>

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace {
constexpr std::size_t PointerBytes = sizeof(void *);
constexpr std::size_t RoundUp(std::size_t n, std::size_t unit) { return (n + unit - 1) / unit * unit; }
}  // namespace

// The head of a block; its slots follow from FirstSlot on.
struct TSlotPool::TBlock {
  TBlock *Previous = nullptr, *Next = nullptr;  // among the open blocks
  char *Released = nullptr;                     // released slots' objects, each holding the next
  char *Fresh = nullptr;                        // the first slot never handed out since the block was reset
  char *SlotsEnd = nullptr;                     // the end of the last whole slot
  std::size_t Used = 0;

  static constexpr std::size_t FirstSlot() { return RoundUp(sizeof(TBlock), alignof(std::max_align_t)); }
  char *Slots() { return reinterpret_cast<char *>(this) + FirstSlot(); }
  bool HasRoom() const { return Released || Fresh != SlotsEnd; }
};

class TSlotPool::TGuard {
public:
  explicit TGuard(std::atomic_flag &lock) : FLock(lock) {
    while (FLock.test_and_set(std::memory_order_acquire))
      std::this_thread::yield();
  }
  ~TGuard() { FLock.clear(std::memory_order_release); }
  TGuard(const TGuard &) = delete;
  TGuard &operator=(const TGuard &) = delete;

private:
  std::atomic_flag &FLock;
};

TSlotPool::TSlotPool(std::size_t objectSize)
    : FObjectSize(RoundUp(objectSize < PointerBytes ? PointerBytes : objectSize, PointerBytes)),
      FStride(PointerBytes + FObjectSize), FSlotsPerBlock((BlockBytes - TBlock::FirstSlot()) / FStride) {
  if (FSlotsPerBlock == 0)
    throw std::bad_alloc();
}

TSlotPool::~TSlotPool() {
  if (FSpare) {
    ASAN_UNPOISON_MEMORY_REGION(FSpare, BlockBytes);
    ::operator delete(FSpare);
  }
}

std::size_t TSlotPool::SlotsInUse() const {
  TGuard guard(FLock);
  return FInUse;
}

std::size_t TSlotPool::BlocksHeld() const {
  TGuard guard(FLock);
  return FBlocks;
}

TSlotPool::TBlock *TSlotPool::NewBlock() {
  TBlock *block = new (::operator new(BlockBytes)) TBlock;
  ++FBlocks;
  ResetBlock(block);
  return block;
}

void TSlotPool::ResetBlock(TBlock *block) {
  block->Released = nullptr;
  block->Fresh = block->Slots();
  block->SlotsEnd = block->Slots() + FSlotsPerBlock * FStride;
  block->Used = 0;
  ASAN_POISON_MEMORY_REGION(block->Slots(), BlockBytes - TBlock::FirstSlot());
}

void TSlotPool::Open(TBlock *block) {
  block->Previous = nullptr;
  block->Next = FOpen;
  if (FOpen)
    FOpen->Previous = block;
  FOpen = block;
}

void TSlotPool::Close(TBlock *block) {
  if (block->Previous)
    block->Previous->Next = block->Next;
  else
    FOpen = block->Next;
  if (block->Next)
    block->Next->Previous = block->Previous;
  block->Previous = block->Next = nullptr;
}

void TSlotPool::Retire(TBlock *block) {
  if (!FSpare) {
    // Reset, so that the next objects are carved in order from its start.
    ResetBlock(block);
    FSpare = block;
    return;
  }
  --FBlocks;
  ASAN_UNPOISON_MEMORY_REGION(block, BlockBytes);
  block->~TBlock();
  ::operator delete(block);
}

void *TSlotPool::Allocate() {
  TGuard guard(FLock);
  TBlock *block = FOpen;
  if (!block) {
    block = FSpare ? std::exchange(FSpare, nullptr) : NewBlock();
    Open(block);
  }
  char *object;
  if (block->Released) {
    object = block->Released;
    ASAN_UNPOISON_MEMORY_REGION(object, FObjectSize);
    block->Released = *reinterpret_cast<char **>(object);
  } else {
    char *slot = block->Fresh;
    block->Fresh += FStride;
    ASAN_UNPOISON_MEMORY_REGION(slot, FStride);
    *reinterpret_cast<TBlock **>(slot) = block;
    object = slot + PointerBytes;
  }
  ++block->Used;
  ++FInUse;
  if (!block->HasRoom())
    Close(block);
  return object;
}

void TSlotPool::Release(void *slot) {
  if (!slot)
    return;
  TGuard guard(FLock);
  char *object = static_cast<char *>(slot);
  TBlock *block = *reinterpret_cast<TBlock **>(object - PointerBytes);
  const bool wasFull = !block->HasRoom();
  *reinterpret_cast<char **>(object) = block->Released;
  block->Released = object;
  ASAN_POISON_MEMORY_REGION(object, FObjectSize);
  --block->Used;
  --FInUse;
  if (block->Used == 0) {
    if (!wasFull)
      Close(block);
    Retire(block);
  } else if (wasFull) {
    Open(block);
  }
}
