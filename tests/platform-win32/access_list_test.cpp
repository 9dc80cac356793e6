// The access lists of the folders made where another user, or an
// unelevated program of the player, must not write: the game's outermost
// folder made elevated, and the uninstaller's relay folder.
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

// The lists as Windows reads them, for the player `player`.
std::wstring expectedList(FolderAccess access, const std::wstring& player) {
  const std::wstring administrators = L"(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  switch (access) {
    case FolderAccess::GameFolder:
      return L"D:P" + administrators + L"(A;OICI;0x1301bf;;;" + player + L")(A;OICI;0x1200a9;;;BU)";
    case FolderAccess::ElevatedRelay: return L"D:P" + administrators + L"(A;OICI;0x1200a9;;;" + player + L")";
    case FolderAccess::PlayerOnly: return L"D:P(A;OICI;FA;;;" + player + L")";
  }
  return {};
}

// Fault: a folder made elevated left with its parent's rights
// ("Authenticated Users: Modify" below a drive root, anyone's in the temp
// folder), a list that its parent's entries still reach (not protected),
// one that what the folder will hold does not inherit, or the player left
// without the right to write the game's saves: each list as the program
// hands it to the system.
TEST(Win32AccessLists, FoldersMadeElevatedHoldAProtectedListOfTheirOwn) {
  const std::wstring player = platform::win32::processUserSid().value();
  for (FolderAccess access : {FolderAccess::GameFolder, FolderAccess::ElevatedRelay, FolderAccess::PlayerOnly}) {
    SCOPED_TRACE(static_cast<int>(access));
    platform::win32::FolderSecurity security(access);
    ASSERT_TRUE(security.attributes());
    EXPECT_EQ(textOf(security.attributes()->lpSecurityDescriptor), expectedList(access, player));
  }
}

// The same list read back from a game folder made elevated. Wine keeps no
// access list on files (it turns one into Unix permissions and reads back
// what those allow): skipped there.
TEST(Win32AccessLists, AGameFolderMadeElevatedReadsBackItsList) {
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
    GTEST_SKIP() << "Wine keeps no access list to read back";
  }
  if (!platform::win32::runsElevated()) GTEST_SKIP() << "not elevated: the folder inherits";
  auto environment = makeContractEnvironment();
  const std::string folder = joinPath(environment->root(), "Game");
  ASSERT_TRUE(environment->platform().createProtectedDirectory(folder));
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL list = nullptr;
  ASSERT_EQ(GetNamedSecurityInfoW(platform::win32::toWide(folder).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, &list, nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(textOf(descriptor), expectedList(FolderAccess::GameFolder, platform::win32::processUserSid().value()));
  LocalFree(descriptor);
}

}  // namespace
