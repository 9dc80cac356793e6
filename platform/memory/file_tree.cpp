#include "platform/memory/file_tree.h"

#include <algorithm>

#include "core/sjis.h"
#include "platform/memory/memory_text.h"
#include "platform/platform.h"

namespace platform::memory {

namespace {
// Junction chains longer than this are taken for loops, as Windows gives up
// on too many reparse points in one path.
constexpr int kMaxJunctionDepth = 32;
// New files carry the archive bit, as on Windows.
constexpr uint32_t kAttributeArchive = 0x20;
}  // namespace

uint32_t Node::attributes() const {
  switch (kind) {
    case Kind::Folder:
      return kAttributeDirectory;
    case Kind::Junction:
      return kAttributeDirectory | kAttributeReparsePoint;
    case Kind::File:
      break;
  }
  return readOnly ? kAttributeReadOnly | kAttributeArchive : kAttributeArchive;
}

Node* Node::member(std::string_view memberName) const {
  auto found = memberIndex_.find(foldCase(memberName));
  return found == memberIndex_.end() ? nullptr : found->second;
}

FileTree::FileTree() { addDrive('C'); }

bool FileTree::addDrive(char letter) {
  if (!isAsciiLetter(letter)) return false;
  char drive = static_cast<char>(letter & ~0x20);
  if (drives_.count(drive)) return false;
  auto root = std::make_unique<Node>();
  root->name = std::string{drive, ':'};
  drives_.emplace(drive, std::move(root));
  return true;
}

Node* FileTree::root(char drive) const {
  auto found = drives_.find(drive);
  return found == drives_.end() ? nullptr : found->second.get();
}

std::optional<FileTree::Location> FileTree::locate(const FullPath& path) const { return locate(path, 0); }

std::optional<FileTree::Location> FileTree::locate(const FullPath& path, int depth) const {
  Node* folder = root(path.drive);
  if (!folder) return std::nullopt;
  if (path.parts.empty()) return Location{nullptr, folder, ""};
  for (size_t i = 0; i + 1 < path.parts.size(); ++i) {
    Node* next = folder->member(path.parts[i]);
    folder = next ? folderBehind(next, depth) : nullptr;
    if (!folder) return std::nullopt;
  }
  return Location{folder, folder->member(path.parts.back()), path.parts.back()};
}

Node* FileTree::folderBehind(Node* node) const { return folderBehind(node, 0); }

Node* FileTree::folderBehind(Node* node, int depth) const {
  while (node && node->kind == Node::Kind::Junction) {
    if (++depth > kMaxJunctionDepth) return nullptr;
    auto target = locate(node->junctionTarget, depth);
    node = target ? target->node : nullptr;
  }
  return node && node->kind == Node::Kind::Folder ? node : nullptr;
}

Node* FileTree::add(Node* folder, Node::Kind kind, std::string name) {
  auto node = std::make_unique<Node>();
  node->kind = kind;
  node->name = std::move(name);
  node->parent = folder;
  if (kind == Node::Kind::File) {
    node->data = std::make_shared<FileData>();
    node->data->links = 1;
  }
  // Callers add a name only after finding it absent, so the key is new.
  folder->memberIndex_.emplace(foldCase(node->name), node.get());
  folder->members.push_back(std::move(node));
  return folder->members.back().get();
}

Node* FileTree::addLink(Node* folder, std::string name, std::shared_ptr<FileData> data) {
  Node* node = add(folder, Node::Kind::File, std::move(name));
  node->data = std::move(data);
  ++node->data->links;
  return node;
}

void FileTree::remove(Node* node) {
  if (node->data) --node->data->links;
  node->parent->memberIndex_.erase(foldCase(node->name));
  auto& siblings = node->parent->members;
  siblings.erase(std::find_if(siblings.begin(), siblings.end(), [&](const auto& m) { return m.get() == node; }));
}

FullPath FileTree::pathOf(const Node* node) {
  FullPath path;
  for (; node->parent; node = node->parent) path.parts.insert(path.parts.begin(), node->name);
  path.drive = node->name[0];
  return path;
}

}  // namespace platform::memory
