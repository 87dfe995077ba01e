// Memory for very many small objects of one size: the knots and parameters of large trees.
//
// Slots are carved from blocks of 64 KB. Each block keeps its own list of released slots and the count of
// its slots in use, and goes back to the general allocator as soon as its last slot is released (one empty
// block is kept, so that a count hovering at a block boundary does not allocate a block each time). So a
// tree of a million knots costs no general-allocator bookkeeping per object, a tree built after a freed one
// lies in the same few blocks in the order it is built, and freeing a large tree returns its memory.
//
// A slot is a pointer to its block followed by the object; a released slot holds the next released one.
// One lock guards a pool, so objects may be made and freed on any thread. In the address-sanitizer build
// released and never used slots are poisoned, so that a stale pointer into the pool is reported.
#pragma once

#include <atomic>
#include <cstddef>

// True in the address-sanitizer build. The sanitizer must see every object on its own to report leaks and
// stale pointers, so classes that would allocate from a pool use the general allocator there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool AddressSanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool AddressSanitizerBuild = true;
#else
inline constexpr bool AddressSanitizerBuild = false;
#endif
#else
inline constexpr bool AddressSanitizerBuild = false;
#endif

class TSlotPool {
public:
  static constexpr std::size_t BlockBytes = 64 * 1024;

  // Slots for objects of `objectSize` bytes (rounded up to whole pointers), aligned like pointers.
  explicit TSlotPool(std::size_t objectSize);
  // Call only when no slot is in use any more; frees the kept empty block.
  ~TSlotPool();
  TSlotPool(const TSlotPool &) = delete;
  TSlotPool &operator=(const TSlotPool &) = delete;

  // A slot of the pool's object size; raises std::bad_alloc when no block can be had.
  void *Allocate();
  // `slot` came from this pool's Allocate and is no longer used.
  void Release(void *slot);

  // Slots handed out and not yet released.
  std::size_t SlotsInUse() const;
  // Blocks the pool holds, the kept empty one included.
  std::size_t BlocksHeld() const;
  // How many slots one block holds.
  std::size_t SlotsPerBlock() const { return FSlotsPerBlock; }

private:
  struct TBlock;
  class TGuard;

  TBlock *NewBlock();
  void ResetBlock(TBlock *block);
  void Retire(TBlock *block);
  void Open(TBlock *block);
  void Close(TBlock *block);

  const std::size_t FObjectSize;
  const std::size_t FStride;
  const std::size_t FSlotsPerBlock;
  mutable std::atomic_flag FLock;
  TBlock *FOpen = nullptr;   // blocks with room, the one to use first at the head
  TBlock *FSpare = nullptr;  // the kept empty block, in none of the lists
  std::size_t FInUse = 0;
  std::size_t FBlocks = 0;
};
