// The one handle owner: every handle is closed exactly once, whatever
// moves happen in between.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/handles.h"

namespace {

using platform::win32::UniqueHandle;

// The "handle" is a counter that its close call increments.
struct CountingTraits {
  using Handle = int*;
  static Handle invalid() { return nullptr; }
  static void close(Handle counter) { ++*counter; }
};
using Counted = UniqueHandle<CountingTraits>;

TEST(UniqueHandle, ClosesOnceWhenDestroyedOrResetAndNotAfterRelease) {
  int closes = 0;
  {
    Counted owner(&closes);
    EXPECT_TRUE(owner);
  }
  EXPECT_EQ(closes, 1);

  int replaced = 0, kept = 0;
  Counted owner(&replaced);
  owner.reset(&kept);
  EXPECT_EQ(replaced, 1);
  EXPECT_EQ(kept, 0);
  owner.reset();
  EXPECT_FALSE(owner);
  EXPECT_EQ(kept, 1);

  int released = 0;
  {
    Counted giving(&released);
    EXPECT_EQ(giving.release(), &released);
    EXPECT_FALSE(giving);
  }
  EXPECT_EQ(released, 0);
}

TEST(UniqueHandle, MoveConstructionHandsOverWithoutClosing) {
  int closes = 0;
  Counted source(&closes);
  Counted target(std::move(source));
  EXPECT_FALSE(source);
  EXPECT_EQ(target.get(), &closes);
  EXPECT_EQ(closes, 0);
  target.reset();
  EXPECT_EQ(closes, 1);
}

TEST(UniqueHandle, MoveAssignmentClosesWhatTheTargetHeld) {
  int targetCloses = 0, sourceCloses = 0;
  {
    Counted target(&targetCloses);
    Counted source(&sourceCloses);
    target = std::move(source);
    EXPECT_EQ(targetCloses, 1);
    EXPECT_EQ(sourceCloses, 0);
    EXPECT_EQ(target.get(), &sourceCloses);
    EXPECT_FALSE(source);

    Counted& alias = target;
    target = std::move(alias);  // self-move keeps the handle open
    EXPECT_EQ(sourceCloses, 0);
    EXPECT_EQ(target.get(), &sourceCloses);
  }
  EXPECT_EQ(targetCloses, 1);
  EXPECT_EQ(sourceCloses, 1);
}

// A failed FindFirstFileW returns INVALID_HANDLE_VALUE, not null: the owner
// must take that as "no handle" and never pass it to FindClose.
TEST(UniqueHandle, FailedFindIsNoHandle) {
  WIN32_FIND_DATAW entry;
  platform::win32::UniqueFind find(FindFirstFileW(L"C:\\no-such-folder-anywhere\\*.*", &entry));
  EXPECT_FALSE(find);
  EXPECT_FALSE(platform::win32::UniqueRegistryKey());
}

}  // namespace
