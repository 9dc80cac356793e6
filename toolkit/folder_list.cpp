// The folder list and the drive list of the browse dialog. The folder list
// keeps no folder of its own: it is the process's current directory, read
// back through the platform after every change.
#include <algorithm>
#include <cctype>

#include "core/sjis.h"
#include "platform/platform.h"
#include "toolkit/backend.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

bool hasDriveRoot(const std::string& path) {
  return path.size() >= 3 && hasDriveName(path) && path[2] == '\\';
}

bool isUnc(const std::string& path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'; }

// The folders from the root down to `folder` itself: "C:\", "C:\Games",
// "C:\Games\Title"; for a network path the share "\\server\share" is the
// root. A trailing separator other than the root's is ignored.
std::vector<std::string> chainOf(const std::string& folder) {
  std::vector<size_t> separators;
  forEachSeparator(folder, 0, [&](size_t i) { separators.push_back(i); });
  std::string path = folder;
  if (!separators.empty() && separators.back() == path.size() - 1 && !(hasDriveRoot(path) && path.size() == 3)) {
    path.pop_back();
    separators.pop_back();
  }
  std::vector<std::string> chain;
  size_t first = 0;  // the first separator that ends an ancestor
  if (hasDriveRoot(path)) {
    chain.push_back(path.substr(0, 3));
    first = 1;
  } else if (isUnc(path)) {
    // "\\server\share": its third and fourth separators bound the share.
    chain.push_back(path.substr(0, separators.size() > 3 ? separators[3] : path.size()));
    first = 4;
  }
  for (size_t i = first; i < separators.size(); ++i) {
    if (separators[i] > 0) chain.push_back(path.substr(0, separators[i]));
  }
  if (chain.empty() || chain.back() != path) chain.push_back(path);
  return chain;
}

std::string childPath(const std::string& folder, const std::string& name) {
  if (hasDriveRoot(folder) && folder.size() == 3) return folder + name;  // "C:\" already ends in one
  return joinPath(folder, name);
}

}  // namespace

FolderList::FolderList(Form& form, const ControlLayout& layout) : Control(form, layout), itemHeight_(layout.itemHeight) {
  refresh();
}

bool FolderList::setFolder(const std::string& path) {
  if (!form().application().platform().setCurrentDirectory(path)) return false;
  refresh();
  return true;
}

void FolderList::open(int index) {
  if (index < 0 || static_cast<size_t>(index) >= itemPaths_.size()) return;
  setFolder(itemPaths_[static_cast<size_t>(index)]);
}

void FolderList::refresh() {
  platform::Platform& platform = form().application().platform();
  // Empty for a folder whose name the program cannot hold: the list then
  // shows nothing, and offers nothing to choose.
  folder_ = platform.currentDirectory();
  itemPaths_ = folder_.empty() ? std::vector<std::string>() : chainOf(folder_);
  itemDepths_.clear();
  for (size_t i = 0; i < itemPaths_.size(); ++i) itemDepths_.push_back(static_cast<int>(i));
  currentItem_ = static_cast<int>(itemPaths_.size()) - 1;

  std::vector<std::pair<std::string, std::string>> subfolders;  // sort key, path
  // Subfolders whose names have no Shift-JIS form are not in the listing.
  if (auto listing = folder_.empty() ? std::nullopt : platform.listFolder(folder_)) {
    for (const std::string& name : listing->names) {
      if (name.empty() || name == "." || name == "..") continue;
      std::string path = childPath(folder_, name);
      if (!platform::isFolderAttributes(platform.fileAttributes(path))) continue;
      subfolders.emplace_back(platform.caseFoldKey(name), std::move(path));
    }
  }
  std::sort(subfolders.begin(), subfolders.end());
  int depth = static_cast<int>(itemPaths_.size());
  for (auto& [key, path] : subfolders) {
    itemPaths_.push_back(std::move(path));
    itemDepths_.push_back(depth);
  }
  changed(Property::Items);
  if (driveList_) driveList_->follow(hasDriveRoot(folder_) ? folder_[0] : 0);
}

DriveList::DriveList(Form& form, const ControlLayout& layout) : Control(form, layout) { refreshDrives(); }

void DriveList::link(FolderList* list) {
  folderList_ = list;
  if (!list) return;
  list->driveList_ = this;
  const std::string& folder = list->folder();
  follow(hasDriveRoot(folder) ? folder[0] : 0);
}

void DriveList::setDrives(const std::string& letters) {
  std::string upper;
  for (char letter : letters) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (drives_ == upper) return;
  drives_ = upper;
  changed(Property::Items);
}

void DriveList::refreshDrives() { setDrives(form().application().backend().driveLetters()); }

void DriveList::choose(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (!folderList_) {
    follow(letter);
    return;
  }
  if (!folderList_->setFolder(std::string(1, letter) + ":\\")) {
    // The peer may show the refused letter: put the list's own back.
    changed(Property::Items);
  }
}

void DriveList::follow(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (drive_ == letter) return;
  drive_ = letter;
  changed(Property::Items);
}

}  // namespace toolkit
