// The contract environment of the memory backend: a fresh in-memory Windows
// per test.
#include "core/sjis.h"
#include "platform/memory/memory_platform.h"
#include "tests/platform/contract.h"

namespace {

class MemoryContractEnvironment : public ContractEnvironment {
 public:
  MemoryContractEnvironment() { platform_.createDirectories(kRoot); }

  platform::Platform& platform() override { return platform_; }
  std::string root() override { return kRoot; }
  std::string registryRoot() override { return "software\\discmenu-contract\\run"; }
  bool makeReadOnly(const std::string& path) override { return platform_.makeReadOnly(path); }
  bool makeFileNamed(const std::string& folder, const std::string& name, const std::string& bytes) override {
    return platform_.addFileNamed(folder, name, bytes);
  }
  bool makeJunction(const std::string& link, const std::string& target) override {
    return platform_.addJunction(link, target);
  }
  bool makeHardLink(const std::string& existing, const std::string& link) override {
    return platform_.addHardLink(existing, link);
  }
  // The model links folders alone.
  bool makeFollowedLink(const std::string& link, const std::string& target) override {
    return platform::isFolderAttributes(platform_.fileAttributes(target)) && platform_.addJunction(link, target);
  }
  bool repointLink(const std::string& link, const std::string& target) override {
    return platform_.repointJunction(link, target);
  }
  std::optional<std::string> fileOnAFullDisk() override {
    platform_.setWriteCapacity(0);
    return std::string(kRoot) + "\\full.bin";
  }
  bool makeForeignNames(const std::string& folder) override {
    return platform_.createDirectory(foreignFolder(folder)) && platform_.writeFile(joinPath(folder, "Elan.txt"), "") &&
           platform_.markUnrepresentable(foreignFolder(folder)) &&
           platform_.markUnrepresentable(joinPath(folder, "Elan.txt"));
  }
  bool enterForeignFolder(const std::string& folder) override {
    return platform_.setCurrentDirectory(foreignFolder(folder));
  }
  bool setForeignValue(const std::string& key, const std::string& name) override {
    return platform_.setRegistryString(platform::Hive::CurrentUser, key, name, "C:\\Elan") &&
           platform_.markUnrepresentable(platform::Hive::CurrentUser, key, name);
  }

 private:
  static std::string foreignFolder(const std::string& folder) { return joinPath(folder, "x-yen-victim"); }
  static constexpr const char* kRoot = "C:\\contract\\root";
  platform::MemoryPlatform platform_;
};

}  // namespace

std::unique_ptr<ContractEnvironment> makeContractEnvironment() { return std::make_unique<MemoryContractEnvironment>(); }
