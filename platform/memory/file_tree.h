#pragma once
// The folders and files of the in-memory Windows: one tree per drive, each
// folder keeping its members in creation order, names compared ignoring
// letter case (foldCase) and kept as created. A junction is a member that
// stands for another folder, named by its full path. A folder finds a member
// through an index of the folded names, so a folder of thousands of members
// costs no more per lookup than a folder of ten.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/memory/memory_path.h"

namespace platform::memory {

// A file's bytes, shared with the streams open on it.
struct FileData {
  std::string bytes;
  int openStreams = 0;
  int links = 0;  // the names the file has (hard links)
  // No stream changed the bytes since it last committed them to the disk
  // itself (Stream::commit): they would outlive a crash of the machine.
  bool durable = true;
};

struct Node {
  enum class Kind { Folder, File, Junction };

  Kind kind = Kind::Folder;
  std::string name;
  Node* parent = nullptr;
  bool readOnly = false;
  std::shared_ptr<FileData> data;              // files
  std::vector<std::unique_ptr<Node>> members;  // folders, in creation order
  FullPath junctionTarget;                     // junctions
  // The name stands for one with no Shift-JIS form (MemoryPlatform::
  // markUnrepresentable): listings leave it out.
  bool unrepresentable = false;
  // Entries open for removal hold the node: nobody else removes or replaces
  // it meanwhile.
  int held = 0;
  // Made with an access list of its own (createProtectedDirectory while
  // elevated); the model keeps no other rights.
  bool protectedAccess = false;

  uint32_t attributes() const;
  // The member of that name, case ignored; null when there is none.
  Node* member(std::string_view memberName) const;

 private:
  friend class FileTree;  // keeps the index beside `members`
  // Each member under its name with letter case folded (foldCase).
  std::unordered_map<std::string, Node*> memberIndex_;
};

class FileTree {
 public:
  FileTree();

  bool addDrive(char letter);
  Node* root(char drive) const;
  const std::map<char, std::unique_ptr<Node>>& drives() const { return drives_; }

  // Where a path leads: `folder` holds the last name (junctions on the way
  // followed), `node` is the member of that name or null when there is none.
  // For a root, folder is null and node the root.
  struct Location {
    Node* folder = nullptr;
    Node* node = nullptr;
    std::string name;
  };
  // nullopt when the drive or a folder on the way is missing.
  std::optional<Location> locate(const FullPath& path) const;
  // The folder a node stands for: itself for a folder, the end of the chain
  // for a junction; null for a file, a missing target or a loop.
  Node* folderBehind(Node* node) const;

  Node* add(Node* folder, Node::Kind kind, std::string name);
  // Another name in `folder` for the file whose bytes are `data`.
  Node* addLink(Node* folder, std::string name, std::shared_ptr<FileData> data);
  void remove(Node* node);
  // The full path of a node through its parents, names as created.
  static FullPath pathOf(const Node* node);

 private:
  std::optional<Location> locate(const FullPath& path, int depth) const;
  Node* folderBehind(Node* node, int depth) const;

  std::map<char, std::unique_ptr<Node>> drives_;
};

}  // namespace platform::memory
