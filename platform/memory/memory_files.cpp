// Folders, files, listing, the current directory and streams of the
// in-memory Windows.
#include <algorithm>
#include <functional>

#include "core/sjis.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_stream.h"
#include "platform/memory/memory_text.h"

namespace platform {

using memory::FileTree;
using memory::Node;

std::optional<memory::ResolvedPath> MemoryPlatform::resolve(const std::string& path) const {
  return memory::resolvePath(path, current_);
}

std::optional<MemoryPlatform::Found> MemoryPlatform::locate(const std::string& path) const {
  auto resolved = resolve(path);
  // A device name reaches the device, never a file of that name.
  if (!resolved || resolved->device) return std::nullopt;
  auto location = tree_.locate(resolved->path);
  if (!location) return std::nullopt;
  Found found;
  static_cast<FileTree::Location&>(found) = std::move(*location);
  found.folderOnly = resolved->trailingSeparator;
  return found;
}

Node* MemoryPlatform::findFile(const std::string& path) const {
  auto found = locate(path);
  if (!found || found->folderOnly || !found->node || found->node->kind != Node::Kind::File) return nullptr;
  return found->node;
}

Node* MemoryPlatform::findFolder(const std::string& path) const {
  auto found = locate(path);
  return found ? tree_.folderBehind(found->node) : nullptr;
}

std::string MemoryPlatform::pathKey(const FileTree::Location& location) {
  if (!location.folder) return memory::foldCase(FileTree::pathOf(location.node).text());
  auto path = FileTree::pathOf(location.folder);
  path.parts.push_back(location.name);
  return memory::foldCase(path.text());
}

std::string MemoryPlatform::pathKey(const std::string& path) const {
  if (auto found = locate(path)) return pathKey(*found);
  auto resolved = resolve(path);
  return memory::foldCase(resolved ? resolved->path.text() : path);
}

namespace {

bool failWith(FileError* error, FileError cause) {
  if (error) *error = cause;
  return false;
}

}  // namespace

bool MemoryPlatform::createDirectory(const std::string& path, FileError* error) {
  if (!life_->admit("createDirectory", path)) return failWith(error, FileError::Other);
  auto found = locate(path);
  if (!found) return failWith(error, FileError::Missing);
  return createIn(*found, error) != nullptr;
}

Node* MemoryPlatform::createIn(const FileTree::Location& location, FileError* error) {
  if (!location.folder || location.node) {
    failWith(error, FileError::Exists);
    return nullptr;
  }
  if (writesDenied(*location.folder)) {
    failWith(error, FileError::AccessDenied);
    return nullptr;
  }
  return tree_.add(location.folder, Node::Kind::Folder, location.name);
}

bool MemoryPlatform::createProtectedDirectory(const std::string& path, FileError* error) {
  if (!life_->admit("createProtectedDirectory", path)) return failWith(error, FileError::Other);
  auto found = locate(path);
  if (!found) return failWith(error, FileError::Missing);
  Node* made = createIn(*found, error);
  if (made) made->protectedAccess = elevated_;
  return made != nullptr;
}

std::optional<FileTree::Location> MemoryPlatform::locateBelow(const std::string& root, const std::string& relative,
                                                              FileError* error) const {
  auto fail = [&](FileError cause) -> std::optional<FileTree::Location> {
    failWith(error, cause);
    return std::nullopt;
  };
  auto top = locate(root);
  if (!top || !top->node) return fail(FileError::Missing);
  // The root and every folder below it are taken as they stand: a junction
  // is not followed.
  Node* folder = top->node;
  if (folder->kind != Node::Kind::Folder) return fail(FileError::Other);
  const std::vector<std::string_view> names = pathNames(relative);
  if (names.empty()) return fail(FileError::Other);
  for (size_t i = 0; i + 1 < names.size(); ++i) {
    Node* next = folder->member(names[i]);
    if (!next) return fail(FileError::Missing);
    if (next->kind != Node::Kind::Folder) return fail(FileError::Other);
    folder = next;
  }
  return FileTree::Location{folder, folder->member(names.back()), std::string(names.back())};
}

bool MemoryPlatform::createDirectoryBelow(const std::string& root, const std::string& relative, FileError* error) {
  if (!life_->admit("createDirectoryBelow", root + "\\" + relative)) return failWith(error, FileError::Other);
  auto found = locateBelow(root, relative, error);
  return found && createIn(*found, error) != nullptr;
}

bool MemoryPlatform::removable(const Node& node, int ownHolds) const {
  if (!node.parent || node.held > ownHolds) return false;
  // An open stream holds a file without delete sharing; a read-only one is
  // not made writable.
  if (node.kind == Node::Kind::File) return !node.readOnly && node.data->openStreams == 0;
  // The current directory is held open, so Windows refuses to remove it.
  return node.members.empty() && &node != findFolder(current_.text());
}

bool MemoryPlatform::removeDirectory(const std::string& path) {
  if (!life_->admit("removeDirectory", path)) return false;
  auto found = locate(path);
  if (!found || !found->folder || !found->node) return false;
  Node* node = found->node;
  if (node->kind == Node::Kind::File || !removable(*node, 0)) return false;
  tree_.remove(node);
  return true;
}

FileError MemoryPlatform::deletionRefusal(const std::string& path) const {
  auto found = locate(path);
  if (!found || !found->node || found->folderOnly) return FileError::Missing;
  const Node& node = *found->node;
  if (node.kind != Node::Kind::File) return FileError::AccessDenied;
  if (removable(node, 0)) return FileError::None;
  return node.readOnly ? FileError::AccessDenied : FileError::InUse;
}

bool MemoryPlatform::deleteFile(const std::string& path, FileError* error) {
  if (!life_->admit("deleteFile", path)) return failWith(error, FileError::Other);
  if (FileError refused = deletionRefusal(path); refused != FileError::None) return failWith(error, refused);
  tree_.remove(findFile(path));
  return true;
}

bool MemoryPlatform::moveFile(const std::string& from, const std::string& to, FileError* error) {
  if (!life_->admit("moveFile", from + " " + to)) return failWith(error, FileError::Other);
  Node* file = findFile(from);
  if (!file) return failWith(error, deletionRefusal(from));
  // A read-only file may be renamed; only one held without sharing may not.
  if (file->held > 0) return failWith(error, FileError::InUse);
  auto target = locate(to);
  if (!target || target->folderOnly) return failWith(error, FileError::Missing);
  if (!target->folder) return failWith(error, FileError::AccessDenied);  // a drive's root
  if (Node* existing = target->node) {
    if (existing == file) return true;
    if (FileError refused = deletionRefusal(to); refused != FileError::None) return failWith(error, refused);
    tree_.remove(existing);
  }
  // The file keeps its bytes and open streams under its new name.
  Node* moved = tree_.addLink(target->folder, target->name, file->data);
  moved->readOnly = file->readOnly;
  tree_.remove(file);
  return true;
}

uint32_t MemoryPlatform::fileAttributes(const std::string& path) {
  if (!life_->admit("fileAttributes", path)) return kInvalidAttributes;
  auto found = locate(path);
  if (!found || !found->node) return kInvalidAttributes;
  if (found->folderOnly && found->node->kind == Node::Kind::File) return kInvalidAttributes;
  return found->node->attributes();
}

std::optional<FolderListing> MemoryPlatform::listFolder(const std::string& folder) {
  if (!life_->admit("listFolder", folder)) return std::nullopt;
  // "<folder>\*.*" names the members of "<folder>\": an empty folder thus
  // lists the root of the current drive, and "X:" the root of X.
  Node* node = findFolder(folder + '\\');
  if (!node) return std::nullopt;
  FolderListing members = listMembers(*node);
  FolderListing listing = members;
  if (node->parent) {
    listing.names = {".", ".."};
    listing.names.insert(listing.names.end(), members.names.begin(), members.names.end());
  }
  return listing;
}

FolderListing MemoryPlatform::listMembers(Node& folder) {
  FolderListing listing(orderedMembers(folder));
  listing.unrepresentable = static_cast<int>(
      std::count_if(folder.members.begin(), folder.members.end(), [](const auto& m) { return m->unrepresentable; }));
  const std::string key = memory::foldCase(FileTree::pathOf(&folder).text());
  if (auto failing = failingListings_.find(key); failing != failingListings_.end()) {
    if (listing.names.size() > failing->second) listing.names.resize(failing->second);
    listing.failed = true;
  }
  // Taken out before it runs: the action may list the folder again.
  if (auto action = afterListing_.find(key); action != afterListing_.end()) {
    auto run = std::move(action->second);
    afterListing_.erase(action);
    run();
  }
  return listing;
}

bool MemoryPlatform::writesDenied(const Node& folder) const {
  const std::string key = memory::foldCase(FileTree::pathOf(&folder).text());
  return std::find(deniedFolders_.begin(), deniedFolders_.end(), key) != deniedFolders_.end();
}

std::vector<std::string> MemoryPlatform::orderedMembers(const Node& folder) const {
  std::vector<std::string> names;
  for (const auto& member : folder.members) {
    if (!member->unrepresentable) names.push_back(member->name);
  }
  auto explicitOrder = folderOrders_.find(memory::foldCase(FileTree::pathOf(&folder).text()));
  if (explicitOrder != folderOrders_.end()) {
    std::vector<std::string> ordered;
    for (const auto& wanted : explicitOrder->second) {
      auto at = std::find_if(names.begin(), names.end(), [&](const auto& n) { return memory::equalsIgnoringCase(n, wanted); });
      if (at == names.end()) continue;
      ordered.push_back(std::move(*at));
      names.erase(at);
    }
    ordered.insert(ordered.end(), names.begin(), names.end());
    return ordered;
  }
  if (listingOrder_ == ListingOrder::Reverse) std::reverse(names.begin(), names.end());
  if (listingOrder_ == ListingOrder::Sorted) {
    std::stable_sort(names.begin(), names.end(),
                     [](const auto& a, const auto& b) { return memory::foldCase(a) < memory::foldCase(b); });
  }
  return names;
}

bool MemoryPlatform::representable(const memory::FullPath& path) const {
  memory::FullPath prefix{path.drive, {}};
  for (const auto& part : path.parts) {
    prefix.parts.push_back(part);
    auto location = tree_.locate(prefix);
    if (location && location->node && location->node->unrepresentable) return false;
  }
  return true;
}

std::string MemoryPlatform::currentDirectory() {
  if (!life_->admit("currentDirectory")) return {};
  return representable(current_) ? current_.text() : std::string();
}

std::optional<VolumeSpace> MemoryPlatform::volumeSpace(const std::string& folder) {
  if (!life_->admit("volumeSpace", folder)) return std::nullopt;
  auto resolved = resolve(folder);
  if (!resolved || !findFolder(folder)) return std::nullopt;
  auto found = volumes_.find(resolved->path.drive);
  if (found == volumes_.end()) return std::nullopt;
  return found->second;
}

void MemoryPlatform::setVolumeSpace(char drive, VolumeSpace space) {
  volumes_[static_cast<char>(drive & ~0x20)] = space;
}

std::string MemoryPlatform::currentFolderOfDrive(char drive) {
  if (!life_->admit("currentFolderOfDrive") || !isAsciiLetter(drive)) return {};
  const char upper = static_cast<char>(drive & ~0x20);
  // Only the current drive keeps a folder of its own here.
  if (upper == current_.drive) return representable(current_) ? current_.text() : std::string();
  return std::string{upper, ':', '\\'};
}

bool MemoryPlatform::setCurrentDirectory(const std::string& path) {
  if (!life_->admit("setCurrentDirectory", path)) return false;
  auto resolved = resolve(path);
  if (!resolved || !findFolder(path)) return false;
  current_ = resolved->path;
  return true;
}

namespace {

class MemorySavedCurrentDirectory final : public SavedCurrentDirectory {
 public:
  explicit MemorySavedCurrentDirectory(std::function<void()> restore) : restore_(std::move(restore)) {}
  ~MemorySavedCurrentDirectory() override { restore_(); }

 private:
  std::function<void()> restore_;
};

}  // namespace

std::unique_ptr<SavedCurrentDirectory> MemoryPlatform::saveCurrentDirectory() {
  life_->admit("saveCurrentDirectory");
  // As SetCurrentDirectory would: a folder removed meanwhile is not entered.
  return std::make_unique<MemorySavedCurrentDirectory>([this, saved = current_] {
    auto location = tree_.locate(saved);
    if (location && tree_.folderBehind(location->node)) current_ = saved;
  });
}

std::unique_ptr<Stream> MemoryPlatform::openStream(const std::string& path, OpenMode mode, FileError* error) {
  if (!life_->admit(mode == OpenMode::Read ? "openStream(read)" : "openStream(write)", path)) {
    failWith(error, FileError::Other);
    return nullptr;
  }
  auto found = locate(path);
  if (!found) {
    failWith(error, FileError::Missing);
    return nullptr;
  }
  if (found->folderOnly || !found->folder) {
    failWith(error, FileError::AccessDenied);
    return nullptr;
  }
  return openAt(*found, mode, error);
}

std::unique_ptr<Stream> MemoryPlatform::openAt(const FileTree::Location& location, OpenMode mode, FileError* error) {
  auto fail = [&](FileError cause) -> std::unique_ptr<Stream> {
    failWith(error, cause);
    return nullptr;
  };
  Node* node = location.node;
  if (node && (node->kind != Node::Kind::File || (mode == OpenMode::Write && node->readOnly))) {
    return fail(FileError::AccessDenied);
  }
  if (!node && mode == OpenMode::Read) return fail(FileError::Missing);
  if (!node && writesDenied(*location.folder)) return fail(FileError::AccessDenied);
  // An entry open for removal is held without sharing.
  if (node && node->held > 0) return fail(FileError::InUse);
  std::string key = pathKey(location);
  if (FileError refused = disk_->admitOpen(key, mode); refused != FileError::None) return fail(refused);
  if (!node) {
    node = tree_.add(location.folder, Node::Kind::File, location.name);
  } else if (mode == OpenMode::Write) {
    node->data->bytes.clear();
  }
  if (mode == OpenMode::Write) node->data->durable = false;
  return std::make_unique<memory::MemoryStream>(node->data, disk_, life_, std::move(key), mode);
}

std::unique_ptr<Stream> MemoryPlatform::openDestinationFile(const std::string& root, const std::string& relative,
                                                            bool createOnly, FileError* error) {
  if (!life_->admit("openDestinationFile", root + "\\" + relative)) {
    failWith(error, FileError::Other);
    return nullptr;
  }
  auto found = locateBelow(root, relative, error);
  if (!found) return nullptr;
  if (const Node* node = found->node) {
    FileError refused = FileError::None;
    if (createOnly) {
      refused = FileError::Exists;
    } else if (node->kind != Node::Kind::File || node->data->links != 1) {
      // A junction, a folder, or a file with another name elsewhere.
      refused = FileError::Other;
    }
    if (refused != FileError::None) {
      failWith(error, refused);
      return nullptr;
    }
  }
  return openAt(*found, OpenMode::Write, error);
}

std::optional<FileIdentity> MemoryPlatform::fileIdentity(const std::string& path) {
  if (!life_->admit("fileIdentity", path)) return std::nullopt;
  auto found = locate(path);
  if (!found || !found->node || (found->folderOnly && found->node->kind == Node::Kind::File)) return std::nullopt;
  Node* node = found->node->kind == Node::Kind::Junction ? tree_.folderBehind(found->node) : found->node;
  if (!node) return std::nullopt;
  return identityOf(*node);
}

FileIdentity MemoryPlatform::identityOf(const Node& node) {
  // Names of one file share its bytes; a folder is its node.
  const void* file = node.data ? static_cast<const void*>(node.data.get()) : &node;
  return {static_cast<uint64_t>(FileTree::pathOf(&node).drive), reinterpret_cast<uintptr_t>(file)};
}

bool MemoryPlatform::addDrive(char letter) { return tree_.addDrive(letter); }

bool MemoryPlatform::addHardLink(const std::string& existing, const std::string& link) {
  Node* file = findFile(existing);
  auto found = locate(link);
  if (!file || !found || !found->folder || found->node || found->folderOnly) return false;
  tree_.addLink(found->folder, found->name, file->data);
  return true;
}

bool MemoryPlatform::repointJunction(const std::string& link, const std::string& target) {
  auto found = locate(link);
  auto resolvedTarget = resolve(target);
  if (!found || !found->node || found->node->kind != Node::Kind::Junction || !resolvedTarget) return false;
  found->node->junctionTarget = resolvedTarget->path;
  return true;
}

bool MemoryPlatform::protectedAccess(const std::string& path) const {
  auto found = locate(path);
  return found && found->node && found->node->protectedAccess;
}

bool MemoryPlatform::addJunction(const std::string& link, const std::string& target) {
  auto found = locate(link);
  auto resolvedTarget = resolve(target);
  if (!found || !found->folder || found->node || !resolvedTarget) return false;
  tree_.add(found->folder, Node::Kind::Junction, found->name)->junctionTarget = resolvedTarget->path;
  return true;
}

void MemoryPlatform::setListingOrder(ListingOrder order) { listingOrder_ = order; }

void MemoryPlatform::setListingOrder(const std::string& folder, std::vector<std::string> names) {
  Node* node = findFolder(folder);
  std::string key = node ? memory::foldCase(FileTree::pathOf(node).text()) : pathKey(folder);
  folderOrders_[key] = std::move(names);
}

bool MemoryPlatform::writeFile(const std::string& path, const std::string& bytes) {
  auto found = locate(path);
  if (!found || found->folderOnly || !found->folder) return false;
  Node* node = found->node;
  if (node && (node->kind != Node::Kind::File || node->readOnly)) return false;
  if (!node) node = tree_.add(found->folder, Node::Kind::File, found->name);
  node->data->bytes = bytes;
  return true;
}

bool MemoryPlatform::durable(const std::string& path) const {
  Node* file = findFile(path);
  return file && file->data->durable;
}

std::optional<std::string> MemoryPlatform::readFile(const std::string& path) const {
  Node* file = findFile(path);
  if (!file) return std::nullopt;
  return file->data->bytes;
}

bool MemoryPlatform::exists(const std::string& path) const {
  auto found = locate(path);
  return found && found->node;
}

bool MemoryPlatform::createDirectories(const std::string& path) {
  auto resolved = resolve(path);
  if (!resolved || !tree_.root(resolved->path.drive)) return false;
  memory::FullPath prefix{resolved->path.drive, {}};
  for (const auto& part : resolved->path.parts) {
    prefix.parts.push_back(part);
    auto location = tree_.locate(prefix);
    if (!location) return false;
    if (!location->node) tree_.add(location->folder, Node::Kind::Folder, part);
    else if (!tree_.folderBehind(location->node)) return false;
  }
  return true;
}

bool MemoryPlatform::addFileNamed(const std::string& folder, const std::string& name, const std::string& bytes) {
  Node* node = findFolder(folder);
  if (!node || name.empty() || node->member(name)) return false;
  tree_.add(node, Node::Kind::File, name)->data->bytes = bytes;
  return true;
}

bool MemoryPlatform::makeReadOnly(const std::string& path) {
  Node* file = findFile(path);
  if (!file) return false;
  file->readOnly = true;
  return true;
}

}  // namespace platform
