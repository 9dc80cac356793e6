#pragma once
// Everything the installer shares between its forms: the configuration
// record, the four string lists, the copy state and the forms themselves.
// `main` owns one; tests create a fresh one per case.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/string_list.h"
#include "config/installer_config.h"
#include "platform/platform.h"

class Tmform;
class Tinstform;
class Tdirform;
class Tiform;
class Tuninsform;

inline constexpr size_t ChunkSize = 1048576;

// The state of a running copy; sizes and counters are 64-bit so that files
// of 2 GiB and plans of 4 GiB and more are measured and shown correctly.
struct CopyState {
  uint64_t TotalBytes = 0;
  int FileCount = 0;
  int CurrentIndex = 0;
  uint64_t FileSize = 0;
  uint64_t FileBytesDone = 0;
  uint64_t TotalBytesDone = 0;
  std::unique_ptr<platform::Stream> SourceFile;
  std::unique_ptr<platform::Stream> DestFile;
};

struct AppContext {
  explicit AppContext(platform::Platform& p) : platform(p) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  platform::Platform& platform;
  InstallerConfig config;

  // Created by the menu's FormCreate in this order, destroyed by FormClose.
  std::unique_ptr<StringList> ExtraCopyList;
  std::unique_ptr<StringList> PreserveList;
  std::unique_ptr<StringList> CopyPlan;
  std::unique_ptr<StringList> CreatedDirs;

  CopyState copy;
  // The chunk buffer of the copy, allocated on first use and kept for the
  // life of the process.
  std::vector<char> CopyBuffer;

  // The five forms, set as they are created; they live as long as the
  // application object.
  Tmform* mform = nullptr;
  Tinstform* instform = nullptr;
  Tdirform* dirform = nullptr;
  Tiform* iform = nullptr;
  Tuninsform* uninsform = nullptr;
};
