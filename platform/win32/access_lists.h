#pragma once
// The access lists the program gives the folders it makes where other users
// and unelevated programs must not write: the outermost folder of a game
// installed with an administrator's rights, and the uninstaller's relay
// folder in the temp folder. Each list is protected (nothing above the
// folder changes it) and inherited by all the folder holds.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace platform::win32 {

// Whether this process runs elevated (an administrator's full rights).
bool runsElevated();
// The user this process runs as, as a SID string ("S-1-5-21-..."); nullopt
// when it cannot be read.
std::optional<std::wstring> processUserSid();

enum class FolderAccess {
  // SYSTEM and Administrators full control, the player modify (the game
  // writes its saves there when started with the player's rights), Users
  // read and execute.
  GameFolder,
  // SYSTEM and Administrators full control, the player read and execute.
  ElevatedRelay,
  // The player alone, full control.
  PlayerOnly,
};

// The list in the security descriptor language, for the player `playerSid`.
std::wstring accessListText(FolderAccess access, const std::wstring& playerSid);

// A security descriptor holding that list for this process's user, ready
// for CreateDirectoryW; null attributes when it cannot be made (the folder
// is then not to be made at all where it matters).
class FolderSecurity {
 public:
  explicit FolderSecurity(FolderAccess access);
  // Null when the descriptor could not be made.
  SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  struct LocalFreeDeleter {
    void operator()(void* memory) const { LocalFree(memory); }
  };
  std::unique_ptr<void, LocalFreeDeleter> descriptor_;
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace platform::win32
