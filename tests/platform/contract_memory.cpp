// The contract environment of the memory backend: a fresh in-memory Windows
// per test.
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
  bool makeJunction(const std::string& link, const std::string& target) override {
    return platform_.addJunction(link, target);
  }
  std::optional<std::string> fileOnAFullDisk() override {
    platform_.setWriteCapacity(0);
    return std::string(kRoot) + "\\full.bin";
  }

 private:
  static constexpr const char* kRoot = "C:\\contract\\root";
  platform::MemoryPlatform platform_;
};

}  // namespace

std::unique_ptr<ContractEnvironment> makeContractEnvironment() { return std::make_unique<MemoryContractEnvironment>(); }
