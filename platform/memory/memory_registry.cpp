#include "platform/memory/memory_registry.h"

#include <algorithm>

#include "platform/memory/memory_text.h"

namespace platform::memory {

namespace {

// The key names of a path; nullopt for an empty name inside it.
std::optional<std::vector<std::string>> keyNames(const std::string& path) {
  if (path.empty()) return std::vector<std::string>{};
  auto names = splitAtSeparators(path);
  if (names.size() > 1 && names.back().empty()) names.pop_back();
  if (std::any_of(names.begin(), names.end(), [](const auto& n) { return n.empty(); })) return std::nullopt;
  return names;
}

std::shared_ptr<RegistryNode> makeKey(std::string name) {
  auto key = std::make_shared<RegistryNode>();
  key->name = std::move(name);
  return key;
}

}  // namespace

std::shared_ptr<RegistryNode> RegistryNode::subkey(const std::string& keyName) const {
  for (const auto& key : subkeys) {
    if (equalsIgnoringCase(key->name, keyName)) return key;
  }
  return nullptr;
}

const std::string* RegistryNode::value(const std::string& valueName) const {
  for (const auto& [name, data] : values) {
    if (equalsIgnoringCase(name, valueName)) return &data;
  }
  return nullptr;
}

bool RegistryNode::representable(const std::string& valueName) const {
  return std::none_of(unrepresentableValues.begin(), unrepresentableValues.end(),
                      [&](const std::string& name) { return equalsIgnoringCase(name, valueName); });
}

void RegistryNode::setValue(const std::string& valueName, std::string data) {
  std::erase_if(unrepresentableValues, [&](const std::string& name) { return equalsIgnoringCase(name, valueName); });
  std::erase_if(dwords, [&](const auto& value) { return equalsIgnoringCase(value.first, valueName); });
  for (auto& [name, existing] : values) {
    if (equalsIgnoringCase(name, valueName)) {
      existing = std::move(data);
      return;
    }
  }
  values.emplace_back(valueName, std::move(data));
}

void RegistryNode::setDword(const std::string& valueName, uint32_t data) {
  std::erase_if(values, [&](const auto& value) { return equalsIgnoringCase(value.first, valueName); });
  for (auto& [name, existing] : dwords) {
    if (equalsIgnoringCase(name, valueName)) {
      existing = data;
      return;
    }
  }
  dwords.emplace_back(valueName, data);
}

const uint32_t* RegistryNode::dword(const std::string& valueName) const {
  for (const auto& [name, data] : dwords) {
    if (equalsIgnoringCase(name, valueName)) return &data;
  }
  return nullptr;
}

bool RegistryNode::removeValue(const std::string& valueName) {
  auto named = [&](const auto& value) { return equalsIgnoringCase(value.first, valueName); };
  std::erase_if(unrepresentableValues, [&](const std::string& name) { return equalsIgnoringCase(name, valueName); });
  return std::erase_if(values, named) + std::erase_if(dwords, named) > 0;
}

MemoryRegistry::MemoryRegistry()
    : currentUser_(makeKey("HKEY_CURRENT_USER")), localMachine_(makeKey("HKEY_LOCAL_MACHINE")) {}

std::shared_ptr<RegistryNode> MemoryRegistry::find(Hive hive, const std::string& path) const {
  auto names = keyNames(path);
  if (!names) return nullptr;
  std::shared_ptr<RegistryNode> key = root(hive);
  for (const auto& name : *names) {
    if (!(key = key->subkey(name))) return nullptr;
  }
  return key;
}

std::shared_ptr<RegistryNode> MemoryRegistry::create(Hive hive, const std::string& path) {
  auto names = keyNames(path);
  if (!names) return nullptr;
  std::shared_ptr<RegistryNode> key = root(hive);
  for (const auto& name : *names) {
    auto next = key->subkey(name);
    if (!next) key->subkeys.push_back(next = makeKey(name));
    key = next;
  }
  return key;
}

bool MemoryRegistry::remove(Hive hive, const std::string& path) {
  auto names = keyNames(path);
  if (!names || names->empty()) return false;
  std::shared_ptr<RegistryNode> parent = root(hive);
  for (size_t i = 0; parent && i + 1 < names->size(); ++i) parent = parent->subkey((*names)[i]);
  auto key = parent ? parent->subkey(names->back()) : nullptr;
  if (!key || !key->subkeys.empty()) return false;
  auto& siblings = parent->subkeys;
  siblings.erase(std::find(siblings.begin(), siblings.end(), key));
  key->deleted = true;
  return true;
}

std::optional<std::string> MemoryRegistryKey::queryString(const std::string& name, size_t limit) {
  if (!life_->admit("queryString", name) || writable_ || node_->deleted) return std::nullopt;
  const std::string* data = node_->value(name);
  if (!data || data->size() + 1 > limit || !node_->representable(name)) return std::nullopt;
  return *data;
}

bool MemoryRegistryKey::setString(const std::string& name, const std::string& value) {
  if (!life_->admit("setString", name) || !writable_ || node_->deleted) return false;
  node_->setValue(name, value);
  return true;
}

bool MemoryRegistryKey::setDword(const std::string& name, uint32_t value) {
  if (!life_->admit("setDword", name) || !writable_ || node_->deleted) return false;
  node_->setDword(name, value);
  return true;
}

bool MemoryRegistryKey::deleteValue(const std::string& name) {
  if (!life_->admit("deleteValue", name) || !writable_ || node_->deleted) return false;
  return node_->removeValue(name);
}

std::optional<uint32_t> MemoryRegistryKey::valueCount() {
  if (!life_->admit("valueCount") || writable_ || node_->deleted) return std::nullopt;
  return static_cast<uint32_t>(node_->values.size() + node_->dwords.size());
}

std::optional<uint32_t> MemoryRegistryKey::subkeyCount() {
  if (!life_->admit("subkeyCount") || writable_ || node_->deleted) return std::nullopt;
  return static_cast<uint32_t>(node_->subkeys.size());
}

}  // namespace platform::memory
