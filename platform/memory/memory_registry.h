#pragma once
// The registry of the in-memory Windows: two hives of keys holding string
// values, key and value names compared ignoring letter case
// and kept as created, values in the order they were first set.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/process_lifetime.h"
#include "platform/platform.h"

namespace platform::memory {

struct RegistryNode {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
  // REG_DWORD values, beside the strings; a name is one or the other.
  std::vector<std::pair<std::string, uint32_t>> dwords;
  // Values whose data stands for text with no Shift-JIS form: queries of
  // them fail. Setting a value again clears its mark.
  std::vector<std::string> unrepresentableValues;
  std::vector<std::shared_ptr<RegistryNode>> subkeys;  // in creation order
  // Set when the key is deleted; handles still open on it then fail.
  bool deleted = false;

  std::shared_ptr<RegistryNode> subkey(const std::string& keyName) const;
  const std::string* value(const std::string& valueName) const;
  void setValue(const std::string& valueName, std::string data);
  void setDword(const std::string& valueName, uint32_t data);
  const uint32_t* dword(const std::string& valueName) const;
  // Removes the string or REG_DWORD value; false when there is none.
  bool removeValue(const std::string& valueName);
  bool representable(const std::string& valueName) const;
};

class MemoryRegistry {
 public:
  MemoryRegistry();

  const RegistryNode& hive(Hive hive) const { return *root(hive); }
  // Key paths are names joined by "\"; one trailing separator is accepted,
  // an empty path names the hive itself. Null when the key is missing or the
  // path is malformed.
  std::shared_ptr<RegistryNode> find(Hive hive, const std::string& path) const;
  std::shared_ptr<RegistryNode> create(Hive hive, const std::string& path);
  // Fails for a missing key, a hive and a key with subkeys.
  bool remove(Hive hive, const std::string& path);

 private:
  const std::shared_ptr<RegistryNode>& root(Hive hive) const {
    return hive == Hive::CurrentUser ? currentUser_ : localMachine_;
  }

  std::shared_ptr<RegistryNode> currentUser_;
  std::shared_ptr<RegistryNode> localMachine_;
};

// A handle on a key: opened for reading (queries) or for writing (sets), as
// the access rights KEY_READ and KEY_WRITE allow. Each call is one of the
// process's platform calls.
class MemoryRegistryKey : public RegistryKey {
 public:
  MemoryRegistryKey(std::shared_ptr<RegistryNode> node, bool writable, std::shared_ptr<ProcessLifetime> life)
      : node_(std::move(node)), writable_(writable), life_(std::move(life)) {}

  std::optional<std::string> queryString(const std::string& name, size_t limit) override;
  bool setString(const std::string& name, const std::string& value) override;
  bool setDword(const std::string& name, uint32_t value) override;
  bool deleteValue(const std::string& name) override;
  std::optional<uint32_t> subkeyCount() override;
  std::optional<uint32_t> valueCount() override;

 private:
  std::shared_ptr<RegistryNode> node_;
  bool writable_;
  std::shared_ptr<ProcessLifetime> life_;
};

}  // namespace platform::memory
