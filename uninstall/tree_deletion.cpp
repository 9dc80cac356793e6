#include "uninstall/tree_deletion.h"

#include "core/sjis.h"

void DeleteTreeContents(platform::Platform& platform, const std::string& folder) {
  auto members = platform.listFolder(folder);
  if (!members) return;
  for (const std::string& name : *members) {
    if (name.empty() || name[0] == '.') continue;
    std::string path = joinPath(folder, name);
    uint32_t attributes = platform.fileAttributes(path);
    if (attributes == platform::kInvalidAttributes) return;
    if (attributes & platform::kAttributeDirectory) {
      if (!(attributes & platform::kAttributeReparsePoint)) DeleteTreeContents(platform, path);
      platform.removeDirectory(path);
    } else {
      platform.deleteFile(path);
    }
  }
}
