#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/string_list.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/sjis_text.h"

namespace {

// One step of a script run against a list: add a text, clear, or look a
// text up and expect an index.
struct Step {
  enum Kind { Add, Clear, Find } kind;
  std::string text;
  int expected = -1;
};

void run(StringList& list, const std::vector<Step>& steps) {
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    SCOPED_TRACE("step " + std::to_string(i) + ": " + step.text);
    if (step.kind == Step::Add) list.add(step.text);
    if (step.kind == Step::Clear) list.clear();
    if (step.kind == Step::Find) {
      EXPECT_EQ(list.indexOf(step.text), step.expected);
    }
  }
}

TEST(StringList, AddKeepsDuplicatesInOrder) {
  platform::MemoryPlatform platform;
  StringList list(platform);
  for (const char* text : {"SYSTEM.INI", "origin.exe", "system.ini", "SYSTEM.INI"}) list.add(text);
  EXPECT_EQ(list.items(), (std::vector<std::string>{"SYSTEM.INI", "origin.exe", "system.ini", "SYSTEM.INI"}));
  EXPECT_EQ(list.count(), 4);
  EXPECT_EQ(list[2], "system.ini");
}

TEST(StringList, IndexOfFindsTheFirstMatchIgnoringAsciiCase) {
  platform::MemoryPlatform platform;
  StringList list(platform);
  run(list, {
                {Step::Find, "anything", -1},  // empty, before any index exists
                {Step::Add, "C:\\Games"},
                {Step::Add, "C:\\Games\\Title"},
                {Step::Add, "c:\\games"},
                {Step::Find, "C:\\GAMES", 0},
                {Step::Find, "c:\\games\\title", 1},
                {Step::Find, "C:\\Games\\Title\\data", -1},
                // Added after the first lookup built the index.
                {Step::Add, "C:\\Games\\Title\\data"},
                {Step::Add, "C:\\Games\\Title\\DATA"},
                {Step::Find, "c:\\games\\title\\Data", 3},
                {Step::Find, "C:\\GAMES", 0},
                {Step::Clear, ""},
                {Step::Find, "C:\\Games", -1},
                {Step::Add, "other"},
                {Step::Add, "C:\\games"},
                {Step::Find, "C:\\Games", 1},
                {Step::Find, "OTHER", 0},
            });
  EXPECT_EQ(list.count(), 2);
}

TEST(StringList, ShiftJisTrailBytesAreNotFolded) {
  platform::MemoryPlatform platform;
  StringList list(platform);
  // ア (0x83 0x41) and ヂ (0x83 0x61) differ only as "A" and "a" do in their
  // trail bytes; ソ (0x83 0x5C) carries the separator byte.
  const std::string a = "C:\\" + sjis("ソフト") + "\\" + sjis("ア");
  const std::string di = "C:\\" + sjis("ソフト") + "\\" + sjis("ヂ");
  run(list, {
                {Step::Add, a},
                {Step::Find, di, -1},
                {Step::Add, di},
                {Step::Find, di, 1},
                {Step::Find, "c:\\" + sjis("ソフト") + "\\" + sjis("ア"), 0},
            });
}

}  // namespace
