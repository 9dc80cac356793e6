// What accessibility tools read of the toolkit's own progress bar, asked
// as a screen reader asks (AccessibleObjectFromWindow, win events).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/screen_reader.h"
#include "tests/toolkit-win32/win32_support.h"

using namespace toolkit;

namespace {

std::vector<HWND> valueChanges;
void CALLBACK onValueChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT && child == CHILDID_SELF) valueChanges.push_back(window);
}

// Fault: the bar read as a bare client area (no role, no name, no value),
// its value not following the bar, its name not the label's before it, or
// a tool not told when the bar moves (or told at each tick that changes
// nothing).
TEST(AccessibilityTest, BarsTellTheirRoleNameAndValueAndAnnounceEachMove) {
  platform::MemoryPlatform platform;
  Application app{platform};
  Form& progress = app.createForm<Form>(iformLayout);
  progress.show();
  drainMessages();
  HWND total = childOf(progress, "totalwrite");
  HWND file = childOf(progress, "nowwrite");
  const ScreenReaderView read = readAsAScreenReader(total);
  EXPECT_EQ(read.role, ROLE_SYSTEM_PROGRESSBAR);
  EXPECT_EQ(read.name, L"全体の状況");
  EXPECT_EQ(read.value, L"0%");
  EXPECT_TRUE(read.state & STATE_SYSTEM_READONLY);
  EXPECT_FALSE(read.state & STATE_SYSTEM_INVISIBLE);
  progress.control<Label>("nowcopy").setCaption("SCENARIO.DAT");
  EXPECT_EQ(readAsAScreenReader(file).name, L"SCENARIO.DAT");

  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, onValueChange,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  auto& bar = progress.control<ProgressBar>("totalwrite");
  for (int position : {33, 33, 66, 100, 5}) {
    valueChanges.clear();
    const bool moves = bar.position() != position;
    bar.setPosition(position);
    drainMessages();
    EXPECT_EQ(readAsAScreenReader(total).value, std::to_wstring(position) + L"%");
    EXPECT_EQ(valueChanges, moves ? std::vector<HWND>{total} : std::vector<HWND>{}) << position;
  }
  UnhookWinEvent(hook);
}

}  // namespace
