#include "cuSlotPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <thread>
#include <vector>

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif

namespace {

constexpr std::size_t ObjectSize = 40;

// Fills the object with a pattern of `tag`, so that two live objects sharing bytes show up.
void Stamp(void *object, std::uint32_t tag) {
  std::uint32_t words[ObjectSize / sizeof(std::uint32_t)];
  for (std::size_t i = 0; i < std::size(words); ++i)
    words[i] = tag * 2654435761u + std::uint32_t(i);
  std::memcpy(object, words, sizeof words);
}

bool HasStamp(const void *object, std::uint32_t tag) {
  std::uint32_t words[ObjectSize / sizeof(std::uint32_t)];
  std::memcpy(words, object, sizeof words);
  for (std::size_t i = 0; i < std::size(words); ++i)
    if (words[i] != tag * 2654435761u + std::uint32_t(i))
      return false;
  return true;
}

// Whether the sanitizer marks the byte as off limits; false without the sanitizer.
bool Poisoned(const void *address) {
#if defined(__SANITIZE_ADDRESS__)
  return __asan_address_is_poisoned(address);
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return __asan_address_is_poisoned(address);
#else
  return (void)address, false;
#endif
#else
  return (void)address, false;
#endif
}

struct TLive {
  void *Object;
  std::uint32_t Tag;
};

}  // namespace

TEST(SlotPool, SlotsAreDistinctAlignedAndHoldWholeObjects) {
  TSlotPool pool(ObjectSize);
  const std::size_t count = 3 * pool.SlotsPerBlock() + 7;
  std::vector<void *> objects;
  for (std::size_t i = 0; i < count; ++i) {
    void *p = pool.Allocate();
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(void *), 0u);
    Stamp(p, std::uint32_t(i));
    objects.push_back(p);
  }
  EXPECT_EQ(std::set<void *>(objects.begin(), objects.end()).size(), count);
  for (std::size_t i = 0; i < count; ++i)
    EXPECT_TRUE(HasStamp(objects[i], std::uint32_t(i))) << i;
  EXPECT_EQ(pool.SlotsInUse(), count);
  EXPECT_EQ(pool.BlocksHeld(), 4u);
  for (void *p : objects)
    pool.Release(p);
  EXPECT_EQ(pool.SlotsInUse(), 0u);
  EXPECT_EQ(pool.BlocksHeld(), 1u);
}

TEST(SlotPool, ReleasedInAnyOrderEmptyBlocksGoBackAndLiveObjectsStayIntact) {
  TSlotPool pool(ObjectSize);
  std::mt19937 draw(7);
  std::vector<TLive> live;
  std::uint32_t nextTag = 0;
  // Cycles of growing and shrinking, each releasing in random order, with every live object checked.
  for (int cycle = 0; cycle < 40; ++cycle) {
    const std::size_t target = draw() % (4 * pool.SlotsPerBlock());
    while (live.size() < target) {
      void *p = pool.Allocate();
      if (AddressSanitizerBuild)
        EXPECT_FALSE(Poisoned(p));
      Stamp(p, nextTag);
      live.push_back({p, nextTag++});
    }
    std::shuffle(live.begin(), live.end(), draw);
    const std::size_t keep = draw() % (live.size() + 1);
    while (live.size() > keep) {
      ASSERT_TRUE(HasStamp(live.back().Object, live.back().Tag));
      pool.Release(live.back().Object);
      if (AddressSanitizerBuild)
        EXPECT_TRUE(Poisoned(live.back().Object));
      live.pop_back();
    }
    for (const TLive &l : live)
      ASSERT_TRUE(HasStamp(l.Object, l.Tag)) << "cycle " << cycle;
    EXPECT_EQ(pool.SlotsInUse(), live.size());
    // Every held block but the kept empty one has a live slot.
    EXPECT_LE(pool.BlocksHeld(), live.size() + 1);
  }
  for (const TLive &l : live)
    pool.Release(l.Object);
  EXPECT_EQ(pool.SlotsInUse(), 0u);
  EXPECT_EQ(pool.BlocksHeld(), 1u);
}

TEST(SlotPool, AFreedBatchIsReusedInTheOrderItIsCarved) {
  // After a batch is released, a new batch comes from the kept block in address order, as a fresh pool's.
  TSlotPool pool(ObjectSize);
  const std::size_t count = pool.SlotsPerBlock() / 2;
  std::vector<void *> first;
  for (std::size_t i = 0; i < count; ++i)
    first.push_back(pool.Allocate());
  std::reverse(first.begin(), first.end());
  for (void *p : first)
    pool.Release(p);
  std::vector<void *> second;
  for (std::size_t i = 0; i < count; ++i)
    second.push_back(pool.Allocate());
  EXPECT_TRUE(std::is_sorted(second.begin(), second.end(), std::less<void *>()));
  for (void *p : second)
    pool.Release(p);
}

TEST(SlotPool, ThreadsShareOnePool) {
  TSlotPool pool(ObjectSize);
  std::vector<std::thread> threads;
  std::vector<int> faults(4, 0);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&pool, &faults, t] {
      std::mt19937 draw{unsigned(t)};
      std::vector<TLive> live;
      for (std::uint32_t i = 0; i < 20000; ++i) {
        if (live.empty() || draw() % 3) {
          void *p = pool.Allocate();
          const std::uint32_t tag = std::uint32_t(t) << 24 | i;
          Stamp(p, tag);
          live.push_back({p, tag});
        } else {
          const std::size_t k = draw() % live.size();
          faults[size_t(t)] += !HasStamp(live[k].Object, live[k].Tag);
          pool.Release(live[k].Object);
          live[k] = live.back();
          live.pop_back();
        }
      }
      for (const TLive &l : live) {
        faults[size_t(t)] += !HasStamp(l.Object, l.Tag);
        pool.Release(l.Object);
      }
    });
  for (std::thread &t : threads)
    t.join();
  EXPECT_EQ(faults, std::vector<int>(4, 0));
  EXPECT_EQ(pool.SlotsInUse(), 0u);
  EXPECT_EQ(pool.BlocksHeld(), 1u);
}
