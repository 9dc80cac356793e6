// The access list of the game's outermost folder made elevated, where
// another user, or an unelevated program of the player, must not write.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "core/sjis.h"
#include "platform/win32/access_lists.h"
#include "platform/win32/wide_text.h"
#include "tests/platform/contract.h"

namespace {

using platform::win32::FolderAccess;

std::wstring textOf(PSECURITY_DESCRIPTOR descriptor) {
  wchar_t* text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                            &text, nullptr)) {
    return L"(none)";
  }
  std::wstring result = text;
  LocalFree(text);
  return result;
}

// Fault: the game's outermost folder made elevated left with its parent's
// rights ("Authenticated Users: Modify" below a drive root), with a list
// its parent's entries still reach (not protected), one that what it will
// hold does not inherit, or without the player's right to write the
// game's saves. Wine keeps no access list on files (it turns one into Unix
// permissions and reads back what those allow): there the list is read as
// the program hands it to the system, on Windows back from the folder.
TEST(Win32AccessLists, AGameFolderMadeElevatedHoldsAProtectedListOfItsOwn) {
  ASSERT_TRUE(platform::win32::runsElevated());  // as every program under Wine
  const std::wstring expected = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;" +
                                platform::win32::processUserSid().value() + L")(A;OICI;0x1200a9;;;BU)";
  auto environment = makeContractEnvironment();
  const std::string folder = joinPath(environment->root(), "Game");
  ASSERT_TRUE(environment->platform().createProtectedDirectory(folder));
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
    platform::win32::FolderSecurity handed(FolderAccess::GameFolder);
    ASSERT_TRUE(handed.attributes());
    EXPECT_EQ(textOf(handed.attributes()->lpSecurityDescriptor), expected);
    return;
  }
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL list = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoW(platform::win32::toWide(folder).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, &list, nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(textOf(descriptor), expected);
  LocalFree(descriptor);
}

}  // namespace
