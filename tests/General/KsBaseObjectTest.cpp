#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "General/KsBaseObject.h"
#include "General/RefTempl.h"
#include "General/WeakRef.h"

namespace {

class Counted : public KsBaseObject {
 public:
  explicit Counted(int* destroyed = nullptr) : m_destroyed(destroyed) {}
  ~Counted() override {
    if (m_destroyed) ++*m_destroyed;
  }

 private:
  int* m_destroyed;
};

TEST(KsBaseObject, CountsFromOneAndDeletesOnceAtZero) {
  int destroyed = 0;
  auto* object = new Counted(&destroyed);
  EXPECT_EQ(1, object->GetRetainCount());
  EXPECT_EQ(2u, object->Retain());
  EXPECT_EQ(1, object->Release());
  EXPECT_EQ(0, destroyed);
  EXPECT_EQ(0, object->Release());
  EXPECT_EQ(1, destroyed);
}

TEST(KsBaseObject, ReferencesRetainOnCopyAndReleaseOnDestruction) {
  int destroyed = 0;
  {
    KsRef<Counted> first = KsRef<Counted>::Adopt(new Counted(&destroyed));
    {
      KsRef<Counted> second = first;
      EXPECT_EQ(2, first->GetRetainCount());
      KsRef<KsBaseObject> base = second;
      EXPECT_EQ(3, first->GetRetainCount());
      base = base;  // assigning the object already held changes nothing
      EXPECT_EQ(3, first->GetRetainCount());
    }
    EXPECT_EQ(1, first->GetRetainCount());
  }
  EXPECT_EQ(1, destroyed);
}

TEST(WeakRef, OneSharedWeakReferencePerObjectClearedWhenTheObjectDies) {
  const size_t registeredBefore = WeakRef::RegistrySize();
  KsRef<Counted> object = KsMakeRef<Counted>();
  WeakRef::Ref first = WeakRef::GetWeakRef(object.Get());
  WeakRef::Ref second = WeakRef::GetWeakRef(object.Get());
  EXPECT_EQ(first, second);
  EXPECT_EQ(object.Get(), first->GetTarget().Get());
  EXPECT_EQ(registeredBefore + 1, WeakRef::RegistrySize());

  object = nullptr;
  EXPECT_TRUE(first->GetTarget().IsEmpty());
  EXPECT_EQ(registeredBefore, WeakRef::RegistrySize());
  EXPECT_TRUE(WeakRef::GetTarget(nullptr).IsEmpty());
  EXPECT_TRUE(WeakRef::GetWeakRef(nullptr).IsEmpty());
}

TEST(WeakRef, ReleasingTheLastHolderLeavesTheRegistryAndANewOneIsMade) {
  const size_t registeredBefore = WeakRef::RegistrySize();
  KsRef<Counted> object = KsMakeRef<Counted>();
  const WeakRef* firstAddress;
  {
    WeakRef::Ref weak = WeakRef::GetWeakRef(object.Get());
    firstAddress = weak.Get();
  }
  EXPECT_EQ(registeredBefore, WeakRef::RegistrySize());
  WeakRef::Ref again = WeakRef::GetWeakRef(object.Get());
  EXPECT_EQ(object.Get(), again->GetTarget().Get());
  (void)firstAddress;
}

// A weak holder racing the last release either gets a live object or
// nothing; it never revives one whose deletion has begun.
TEST(WeakRef, GetTargetRacingTheLastReleaseNeverRevivesTheObject) {
  for (int round = 0; round < 200; ++round) {
    int destroyed = 0;
    auto* object = new Counted(&destroyed);
    WeakRef::Ref weak = WeakRef::GetWeakRef(object);
    std::atomic<bool> go{false};
    std::thread reader([&] {
      while (!go.load()) {
      }
      for (int i = 0; i < 100; ++i) {
        KsRef<KsBaseObject> target = weak->GetTarget();
        if (target) {
          EXPECT_GT(target->GetRetainCount(), 0);
        }
      }
    });
    go = true;
    object->Release();
    reader.join();
    EXPECT_EQ(1, destroyed);
    EXPECT_TRUE(weak->GetTarget().IsEmpty());
  }
}

TEST(KsBaseObject, CountsStayExactUnderConcurrentRetainAndRelease) {
  int destroyed = 0;
  KsRef<Counted> object = KsRef<Counted>::Adopt(new Counted(&destroyed));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        KsRef<Counted> copy = object;
        WeakRef::GetWeakRef(copy.Get())->GetTarget();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(1, object->GetRetainCount());
  object = nullptr;
  EXPECT_EQ(1, destroyed);
}

}  // namespace
