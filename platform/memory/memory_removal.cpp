// Entries opened for removal in the in-memory Windows: a node held by its
// entry, found by its exact name below the folder that lists it.
#include <string_view>

#include "core/sjis.h"
#include "platform/memory/memory_platform.h"

namespace platform {

using memory::FileTree;
using memory::Node;

namespace {

std::unique_ptr<RemovalEntry> failWith(FileError* error, FileError cause) {
  if (error) *error = cause;
  return nullptr;
}

}  // namespace

class MemoryRemovalEntry final : public RemovalEntry {
 public:
  MemoryRemovalEntry(MemoryPlatform& platform, Node* node) : platform_(platform), node_(node) { ++node_->held; }
  ~MemoryRemovalEntry() override { release(); }

  uint32_t attributes() override {
    if (!platform_.life_->admit("attributes", subject())) return kInvalidAttributes;
    return node_ ? node_->attributes() : kInvalidAttributes;
  }

  std::optional<FolderListing> list() override {
    // A link is never listed through: that would be its target's listing.
    if (!platform_.life_->admit("list", subject()) || !node_ || node_->kind != Node::Kind::Folder) {
      return std::nullopt;
    }
    return platform_.listMembers(*node_);
  }

  std::unique_ptr<RemovalEntry> openMember(const std::string& name, FileError* error) override {
    if (!platform_.life_->admit("openMember", subject() + "\\" + name)) return failWith(error, FileError::Other);
    if (!node_ || node_->kind != Node::Kind::Folder) return failWith(error, FileError::Other);
    if (name.empty() || containsPathSeparator(name)) return failWith(error, FileError::Other);
    return MemoryPlatform::openHeld(platform_, node_->member(name), error);
  }

  bool remove() override {
    if (!platform_.life_->admit("remove", subject())) return false;
    if (!node_) return false;
    Node* node = node_;
    // Its own hold aside, as a handle's delete goes through.
    const bool removable = platform_.removable(*node, 1);
    release();
    if (!removable) return false;
    platform_.tree_.remove(node);
    return true;
  }

  bool moveTo(const std::string& to) override {
    if (!platform_.life_->admit("moveTo", subject() + " " + to)) return false;
    Node* node = node_;
    release();
    if (!node || node->kind != Node::Kind::File) return false;
    auto target = platform_.locate(to);
    if (!target || !target->folder || target->folderOnly) return false;
    if (Node* existing = target->node) {
      if (existing == node) return true;
      if (existing->kind != Node::Kind::File || existing->readOnly || !platform_.removable(*existing, 0)) return false;
      platform_.tree_.remove(existing);
    }
    Node* moved = platform_.tree_.addLink(target->folder, target->name, node->data);
    moved->readOnly = node->readOnly;
    platform_.tree_.remove(node);
    return true;
  }

  FileIdentity identity() override {
    if (!platform_.life_->admit("identity", subject())) return {};
    return node_ ? MemoryPlatform::identityOf(*node_) : FileIdentity{};
  }

  std::string finalPath() override {
    if (!platform_.life_->admit("finalPath", subject()) || !node_) return {};
    const memory::FullPath path = FileTree::pathOf(node_);
    return platform_.representable(path) ? path.text() : std::string();
  }

 private:
  std::string subject() const { return node_ ? FileTree::pathOf(node_).text() : std::string(); }

  void release() {
    if (node_) --node_->held;
    node_ = nullptr;
  }

  MemoryPlatform& platform_;
  Node* node_;
};

std::unique_ptr<RemovalEntry> MemoryPlatform::openHeld(MemoryPlatform& platform, Node* node, FileError* error) {
  if (!node) return failWith(error, FileError::Missing);
  // A file a stream has open is held without delete sharing.
  if (node->kind == Node::Kind::File && node->data->openStreams > 0) return failWith(error, FileError::InUse);
  return std::make_unique<MemoryRemovalEntry>(platform, node);
}

std::unique_ptr<RemovalEntry> MemoryPlatform::openForRemoval(const std::string& path, FileError* error) {
  if (!life_->admit("openForRemoval", path)) return failWith(error, FileError::Other);
  // Absolute and literal, as "\\?\" paths are: no name is trimmed, none
  // names a device, and "." and ".." are not resolved but refused.
  if (!hasDriveName(path) || path.size() < 3 || !isPathSeparator(path[2])) return failWith(error, FileError::Other);
  memory::FullPath full{static_cast<char>(path[0] & ~0x20), {}};
  for (std::string_view part : pathNames(std::string_view(path).substr(3))) {
    if (part == "." || part == "..") return failWith(error, FileError::Other);
    full.parts.emplace_back(part);
  }
  auto location = tree_.locate(full);
  if (!location) return failWith(error, FileError::Missing);
  return openHeld(*this, location->node, error);
}

}  // namespace platform
