// Message boxes show the converted text, are owned by the given window and
// report the button pressed. The owner answers the box once the box has
// disabled it (WM_ENABLE reaches only the owner), so nothing waits on time.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/support/sjis_text.h"
#include "tests/support/send_key.h"

namespace {

struct Reply {
  int button = 0;
  std::wstring caption, text;
  bool asked = false;
};

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

struct OwnedSearch {
  HWND owner;
  HWND found = nullptr;
};

BOOL CALLBACK findOwned(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<OwnedSearch*>(context);
  if (GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  search->found = window;
  return FALSE;
}

constexpr UINT kAnswerBox = WM_APP + 1;

LRESULT CALLBACK answeringOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* reply = reinterpret_cast<Reply*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // The owner is disabled before the box exists; the box's own message loop
  // delivers the posted request once it runs.
  if (message == WM_ENABLE && !wParam) PostMessageW(window, kAnswerBox, 0, 0);
  if (message == kAnswerBox && reply && !reply->asked) {
    OwnedSearch search{window};
    EnumThreadWindows(GetCurrentThreadId(), findOwned, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      reply->asked = true;
      reply->caption = windowText(search.found);
      reply->text = windowText(GetDlgItem(search.found, 0xFFFF));  // the box's text control
      PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(reply->button, BN_CLICKED), 0);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Win32MessageBox, ShowsConvertedTextOwnedAndReportsTheButton) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = answeringOwner;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"discmenu-answering-owner";
  RegisterClassW(&windowClass);

  platform::Win32Platform system;
  const struct {
    uint32_t type;
    int button;
    int expected;
  } cases[] = {
      {platform::kMbOk, IDOK, platform::kIdOk},
      {platform::kMbOkCancel, IDOK, platform::kIdOk},
      {platform::kMbOkCancel, IDCANCEL, platform::kIdCancel},
  };
  for (const auto& c : cases) {
    HWND owner = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    ASSERT_TRUE(owner);
    Reply reply;
    reply.button = c.button;
    SetWindowLongPtrW(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reply));
    const int answer = system.messageBox(reinterpret_cast<uintptr_t>(owner), sjis("インストール完了しました"),
                                         sjis("確認"), c.type);
    DestroyWindow(owner);
    EXPECT_TRUE(reply.asked);
    EXPECT_EQ(answer, c.expected) << c.type << " " << c.button;
    EXPECT_EQ(reply.caption, L"確認");
    EXPECT_EQ(reply.text, L"インストール完了しました");
  }
}

}  // namespace

namespace {

bool enterDown() { return (GetAsyncKeyState(VK_RETURN) & 0x8000) != 0; }

// What the keyboard does while the box is open, one step per tick of a
// thread timer, which the box's own loop serves.
struct Keyboard {
  DWORD askedAt = 0;  // just before the box was asked for
  int ticks = 0;
  bool repeatedWhileHeld = false;
  bool freshSent = false;
} keyboard;

void CALLBACK pressKeys(HWND, UINT, UINT_PTR, DWORD) {
  // Held since before the box: the typed-ahead press is in the queue. Wine
  // takes a key held through a change of the active window for released (X
  // never saw the sent key), and its focus event may come some ticks after
  // the activation: the key is held again, stamped as typed ahead.
  switch (++keyboard.ticks) {
    case 20:
    case 25:
      if (!enterDown()) sendKey(VK_RETURN, true, keyboard.askedAt - 100);
      break;
    case 30:
      // The keyboard repeats the held key.
      if (!enterDown()) {
        keyboard.ticks = 19;
        break;
      }
      sendKey(VK_RETURN, true);
      keyboard.repeatedWhileHeld = true;
      break;
    case 40:
      sendKey(VK_RETURN, false);
      keyboard.freshSent = true;
      sendKey(VK_RETURN, true);
      sendKey(VK_RETURN, false);
      break;
    case 600:  // fail rather than hang
      if (HWND box = GetForegroundWindow()) PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      break;
  }
}

// Fault: an Enter held down, or typed before the box appeared, answering
// it: the question to delete all files answered OK by a key the player did
// not mean for it; or a fresh Enter answering nothing.
TEST(Win32MessageBox, HeldOrTypedAheadEnterAnswersNothingAndAFreshOneDoes) {
  platform::Win32Platform system;
  sendKey(VK_RETURN, true);
  Sleep(20);
  keyboard.askedAt = GetTickCount();
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, pressKeys);
  const int answer = system.messageBox(0, sjis("ゲームフォルダ内のファイルを全て削除します"),
                                       sjis("アンインストールの確認"), platform::kMbOkCancel);
  KillTimer(nullptr, timer);
  sendKey(VK_RETURN, false);
  EXPECT_TRUE(keyboard.repeatedWhileHeld);
  EXPECT_TRUE(keyboard.freshSent);
  EXPECT_EQ(answer, platform::kIdOk);
}

}  // namespace
