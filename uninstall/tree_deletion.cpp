#include "uninstall/tree_deletion.h"

#include "core/sjis.h"

void DeleteTreeContents(platform::Platform& platform, const std::string& folder) {
  auto listing = platform.listFolder(folder);
  if (!listing) return;
  // A member whose name has no Shift-JIS form is not listed and stays, with
  // the folder it is in: any path made from a look-alike of its name could
  // lead elsewhere ("x¥..¥..¥victim" would read "x\..\..\victim").
  for (const std::string& name : listing->names) {
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
