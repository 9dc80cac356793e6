// Message boxes show the converted text, are owned by the given window and
// report the button pressed. The owner answers the box once the box has
// disabled it (WM_ENABLE reaches only the owner), so nothing waits on time.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/support/sjis_text.h"

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
