// The registry, shell links, processes, user interface and text services of
// the in-memory Windows, its switches and its snapshot.
#include "platform/memory/memory_platform.h"

#include "core/sjis.h"
#include "platform/memory/memory_text.h"
#include "platform/memory/shell_link_file.h"

namespace platform {

using memory::FileTree;
using memory::Node;

namespace {

// Windows keeps a link's file name in 260 UTF-16 units, terminator included.
constexpr size_t kMaxLinkPathCharacters = 259;

// The program a command line starts: its first word, or the quoted text.
std::string firstWord(const std::string& commandLine) {
  if (commandLine.starts_with('"')) return commandLine.substr(1, commandLine.find('"', 1) - 1);
  return commandLine.substr(0, commandLine.find(' '));
}

}  // namespace

MemoryPlatform::MemoryPlatform()
    : current_{'C', {}},
      disk_(std::make_shared<memory::DiskFaults>()),
      life_(std::make_shared<memory::ProcessLifetime>()) {
  registry_.create(Hive::CurrentUser, "Software");
  registry_.create(Hive::LocalMachine, "SOFTWARE");
}

MemoryPlatform::~MemoryPlatform() = default;

std::unique_ptr<RegistryKey> MemoryPlatform::openKey(Hive hive, const std::string& path) {
  if (!life_->admit("openKey", path)) return nullptr;
  auto key = registry_.find(hive, path);
  if (!key) return nullptr;
  return std::make_unique<memory::MemoryRegistryKey>(std::move(key), false, life_);
}

std::unique_ptr<RegistryKey> MemoryPlatform::createKey(Hive hive, const std::string& path) {
  if (!life_->admit("createKey", path)) return nullptr;
  auto key = registry_.create(hive, path);
  if (!key) return nullptr;
  return std::make_unique<memory::MemoryRegistryKey>(std::move(key), true, life_);
}

bool MemoryPlatform::deleteKey(Hive hive, const std::string& path) {
  return life_->admit("deleteKey", path) && registry_.remove(hive, path);
}

// The model keeps no registry apart from what is on the disk: the flush is
// only recorded as a call.
bool MemoryPlatform::flushRegistry(Hive) { return life_->admit("flushRegistry"); }

void MemoryPlatform::beginHighTimerResolution() {
  if (life_->admit("beginHighTimerResolution")) ++timerResolutionBalance_;
}

void MemoryPlatform::endHighTimerResolution() {
  if (life_->admit("endHighTimerResolution")) --timerResolutionBalance_;
}

void MemoryPlatform::keepSystemAwake(bool awake) {
  if (life_->admit("keepSystemAwake", awake ? "on" : "off")) keptAwake_ = awake;
}

void MemoryPlatform::startAnotherProcess() {
  life_->restart();
  timerResolutionBalance_ = 0;
  keptAwake_ = false;
}

bool MemoryPlatform::writeShellLink(const std::string& linkPath, const ShellLink& link, FileError* error) {
  auto failed = [error](FileError cause) {
    if (error) *error = cause;
    return false;
  };
  if (!life_->admit("writeShellLink", linkPath)) return failed(FileError::Other);
  if (characterCount(linkPath) > kMaxLinkPathCharacters) return failed(FileError::Other);
  auto stream = openStream(linkPath, OpenMode::Write, error);
  if (!stream) return false;
  std::string bytes = memory::encodeShellLink(link);
  // A stream falls short only where the disk takes no more.
  if (stream->write(bytes.data(), bytes.size()) != bytes.size() || !stream->close()) return failed(FileError::DiskFull);
  shellLinks_.push_back({linkPath, link});
  return true;
}

std::optional<ShellLink> MemoryPlatform::readShellLink(const std::string& linkPath) {
  if (!life_->admit("readShellLink", linkPath)) return std::nullopt;
  Node* file = findFile(linkPath);
  if (!file) return std::nullopt;
  return memory::decodeShellLink(file->data->bytes);
}

namespace {

bool startFailed(StartFailure* failure, StartFailure cause) {
  if (failure) *failure = cause;
  return false;
}

}  // namespace

bool MemoryPlatform::createProcess(const std::string& application, const std::string& commandLine,
                                   uint32_t creationFlags, const std::string& currentDirectory,
                                   StartFailure* failure) {
  if (!life_->admit("createProcess", application)) return startFailed(failure, StartFailure::Other);
  const std::string program = application.empty() ? firstWord(commandLine) : application;
  const bool found = findFile(program) && (currentDirectory.empty() || findFolder(currentDirectory));
  const bool started = found && !refuseStartsAsThePlayer_;
  processes_.push_back({application, commandLine, creationFlags, currentDirectory, started});
  if (!found) return startFailed(failure, StartFailure::Other);
  return started || startFailed(failure, StartFailure::OnlyElevated);
}

bool MemoryPlatform::shellOpen(const std::string& file, StartFailure* failure) {
  if (!life_->admit("shellOpen", file)) return startFailed(failure, StartFailure::Other);
  const bool found = exists(file);
  const bool opened = found && !refuseStartsAsThePlayer_;
  shellOpens_.push_back({file, opened});
  if (!found) return startFailed(failure, StartFailure::Other);
  return opened || startFailed(failure, StartFailure::OnlyElevated);
}

int MemoryPlatform::messageBox(uintptr_t owner, const std::string& text, const std::string& caption, uint32_t type) {
  // A box that cannot be shown counts as cancelled, as on Windows.
  if (!life_->admit("messageBox", text)) return kIdCancel;
  MessageBoxRecord record{owner, text, caption, type, 0};
  messageBoxes_.push_back(record);
  const size_t index = messageBoxes_.size() - 1;
  const bool offersChoice = (type & 0xF) == kMbOkCancel;
  int answer = kIdOk;
  if (messageBoxHook_) {
    answer = messageBoxHook_(record);
  } else if (offersChoice && !messageBoxAnswers_.empty()) {
    answer = messageBoxAnswers_.front();
    messageBoxAnswers_.pop_front();
  }
  if (!offersChoice) answer = kIdOk;
  messageBoxes_[index].answer = answer;
  return answer;
}

bool MemoryPlatform::equalsIgnoreCase(const std::string& a, const std::string& b) {
  return memory::equalsIgnoringCase(a, b);
}

std::string MemoryPlatform::caseFoldKey(const std::string& text) { return memory::foldCase(text); }

void MemoryPlatform::setWriteCapacity(std::optional<uint64_t> bytes) { disk_->setWriteCapacity(bytes); }

void MemoryPlatform::shortWrite(const std::string& path, int nth, size_t accepted) {
  disk_->shortWrite(path.empty() ? "" : pathKey(path), nth, accepted);
}

void MemoryPlatform::failOpen(const std::string& path, OpenMode mode, int nth, FileError cause) {
  disk_->failOpen(path.empty() ? "" : pathKey(path), mode, nth, cause);
}

void MemoryPlatform::failReadAfter(const std::string& path, uint64_t offset) {
  disk_->failReadAfter(pathKey(path), offset);
}

void MemoryPlatform::failListing(const std::string& folder, size_t names) { failingListings_[pathKey(folder)] = names; }

void MemoryPlatform::denyWrites(const std::string& folder) { deniedFolders_.push_back(pathKey(folder)); }

void MemoryPlatform::onceAfterListing(const std::string& folder, std::function<void()> action) {
  afterListing_.emplace(pathKey(folder), std::move(action));
}

void MemoryPlatform::clearFaults() {
  disk_->clear();
  failingListings_.clear();
  deniedFolders_.clear();
  afterListing_.clear();
  digestsFail_ = false;
}

std::unique_ptr<Sha256> MemoryPlatform::startSha256() {
  if (digestsFail_) return nullptr;
  if (!sha256_) sha256_ = Sha256Provider::open();
  return sha256_ ? sha256_->start() : nullptr;
}

bool MemoryPlatform::setRegistryString(Hive hive, const std::string& key, const std::string& name,
                                       const std::string& value) {
  auto node = registry_.create(hive, key);
  if (!node) return false;
  node->setValue(name, value);
  return true;
}

bool MemoryPlatform::markUnrepresentable(const std::string& path) {
  auto found = locate(path);
  if (!found || !found->folder || !found->node) return false;
  found->node->unrepresentable = true;
  return true;
}

bool MemoryPlatform::markUnrepresentable(Hive hive, const std::string& key, const std::string& name) {
  auto node = registry_.find(hive, key);
  if (!node || !node->value(name)) return false;
  node->unrepresentableValues.push_back(name);
  return true;
}

std::optional<std::string> MemoryPlatform::registryString(Hive hive, const std::string& key,
                                                          const std::string& name) const {
  auto node = registry_.find(hive, key);
  const std::string* value = node ? node->value(name) : nullptr;
  if (!value) return std::nullopt;
  return *value;
}

std::optional<uint32_t> MemoryPlatform::registryDword(Hive hive, const std::string& key, const std::string& name) const {
  auto node = registry_.find(hive, key);
  const uint32_t* value = node ? node->dword(name) : nullptr;
  if (!value) return std::nullopt;
  return *value;
}

bool MemoryPlatform::keyExists(Hive hive, const std::string& key) const { return registry_.find(hive, key) != nullptr; }

void MemoryPlatform::installTypicalWindows() {
  const std::string programs = "C:\\Users\\player\\Start Menu\\Programs";
  setRegistryString(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                    "C:\\Program Files");
  setRegistryString(Hive::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup", "BootDir", "C:\\");
  setRegistryString(Hive::CurrentUser, "software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                    "Programs", programs);
  createDirectories("C:\\Program Files");
  createDirectories(programs);
}

namespace {

void addFiles(const Node& node, Snapshot& snapshot) {
  Snapshot::Entry entry;
  entry.attributes = node.attributes();
  if (node.kind == Node::Kind::File) entry.content = node.data->bytes;
  if (node.kind == Node::Kind::Junction) entry.junctionTarget = node.junctionTarget.text();
  snapshot.files.emplace(FileTree::pathOf(&node).text(), std::move(entry));
  for (const auto& member : node.members) addFiles(*member, snapshot);
}

void addKeys(const memory::RegistryNode& key, const std::string& path, Snapshot& snapshot) {
  auto& values = snapshot.registry[path];
  for (const auto& [name, data] : key.values) values.emplace(name, data);
  for (const auto& [name, data] : key.dwords) values.emplace(name, "(dword) " + std::to_string(data));
  for (const auto& subkey : key.subkeys) addKeys(*subkey, path + '\\' + subkey->name, snapshot);
}

}  // namespace

Snapshot MemoryPlatform::snapshot() const {
  Snapshot snapshot;
  for (const auto& [letter, root] : tree_.drives()) addFiles(*root, snapshot);
  addKeys(registry_.hive(Hive::CurrentUser), "HKCU", snapshot);
  addKeys(registry_.hive(Hive::LocalMachine), "HKLM", snapshot);
  return snapshot;
}

}  // namespace platform
