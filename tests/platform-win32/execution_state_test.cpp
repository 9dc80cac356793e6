// The request to stay awake is the thread's execution state, set and
// cleared as the copy asks (Wine keeps it without acting on it).
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"

namespace {

// The state in force, read by setting it again.
EXECUTION_STATE currentState() {
  const EXECUTION_STATE state = SetThreadExecutionState(ES_CONTINUOUS);
  SetThreadExecutionState(state);
  return state;
}

// Fault: the system left free to sleep during a copy, or kept awake after it.
TEST(Win32ExecutionState, KeptAwakeUntilCleared) {
  platform::Win32Platform system;
  system.keepSystemAwake(true);
  EXPECT_EQ(currentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
  system.keepSystemAwake(false);
  EXPECT_EQ(currentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}

}  // namespace
