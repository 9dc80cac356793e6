#include "platform/win32/access_lists.h"

#include <sddl.h>

#include "platform/win32/handles.h"

namespace platform::win32 {

namespace {

// Full control, modify, read and execute: FILE_ALL_ACCESS, and the
// generic rights the Explorer's dialog names so.
constexpr wchar_t kModify[] = L"0x1301bf";
constexpr wchar_t kReadAndExecute[] = L"0x1200a9";

// An allowing entry that folders and files below inherit.
std::wstring allow(const std::wstring& rights, const std::wstring& who) {
  return L"(A;OICI;" + rights + L";;;" + who + L")";
}

}  // namespace

bool runsElevated() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  UniqueKernelHandle token(raw);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated;
}

std::optional<std::wstring> processUserSid() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::nullopt;
  UniqueKernelHandle token(raw);
  alignas(TOKEN_USER) char buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return std::nullopt;
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) return std::nullopt;
  std::wstring sid = text;
  LocalFree(text);
  return sid;
}

std::wstring accessListText(FolderAccess access, const std::wstring& playerSid) {
  // "P": protected, so that no entry of the folders above is inherited.
  const std::wstring administrators = allow(L"FA", L"SY") + allow(L"FA", L"BA");
  switch (access) {
    case FolderAccess::GameFolder:
      return L"D:P" + administrators + allow(kModify, playerSid) + allow(kReadAndExecute, L"BU");
    case FolderAccess::ElevatedRelay: return L"D:P" + administrators + allow(kReadAndExecute, playerSid);
    case FolderAccess::PlayerOnly: return L"D:P" + allow(L"FA", playerSid);
  }
  return {};
}

FolderSecurity::FolderSecurity(FolderAccess access) {
  auto player = processUserSid();
  if (!player) return;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(accessListText(access, *player).c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return;
  }
  descriptor_.reset(descriptor);
  attributes_ = {sizeof attributes_, descriptor, FALSE};
}

}  // namespace platform::win32
