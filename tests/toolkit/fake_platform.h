#pragma once
// A small in-memory platform for the toolkit's tests: files, folders, the
// current directory, the screen size and a record of message boxes.
// Everything else is refused.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>

#include "core/sjis.h"
#include "platform/platform.h"

class FakePlatform : public platform::Platform {
 public:
  struct MessageBox {
    uintptr_t owner;
    std::string text;
    std::string caption;
  };

  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::string current = "C:\\";
  platform::ScreenSize screen{1024, 768};
  std::vector<MessageBox> messageBoxes;

  std::unique_ptr<platform::RegistryKey> openKey(platform::Hive, const std::string&) override { return nullptr; }
  std::unique_ptr<platform::RegistryKey> createKey(platform::Hive, const std::string&) override { return nullptr; }
  bool deleteKey(platform::Hive, const std::string&) override { return false; }
  bool createDirectory(const std::string& path) override { return folders.insert(path).second; }
  bool removeDirectory(const std::string&) override { return false; }
  bool deleteFile(const std::string&) override { return false; }

  uint32_t fileAttributes(const std::string& path) override {
    std::string full = absolute(path);
    if (folders.count(full)) return platform::kAttributeDirectory;
    if (files.count(full)) return 0x20;
    return platform::kInvalidAttributes;
  }

  std::optional<std::vector<std::string>> listFolder(const std::string& folder) override {
    std::string full = absolute(folder);
    if (!folders.count(full)) return std::nullopt;
    std::string prefix = full.back() == '\\' ? full : full + "\\";
    std::vector<std::string> names{".", ".."};
    auto collect = [&](const std::string& path) {
      if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return;
      bool nested = false;
      forEachSeparator(path, prefix.size(), [&](size_t) { nested = true; });
      if (!nested) names.push_back(path.substr(prefix.size()));
    };
    for (const auto& path : folders) collect(path);
    for (const auto& [path, data] : files) collect(path);
    return names;
  }

  std::string currentDirectory() override { return current; }
  bool setCurrentDirectory(const std::string& path) override {
    std::string full = absolute(path);
    if (!folders.count(full)) return false;
    current = full;
    return true;
  }

  std::unique_ptr<platform::Stream> openStream(const std::string& path, platform::OpenMode mode) override {
    auto found = files.find(absolute(path));
    if (mode != platform::OpenMode::Read || found == files.end()) return nullptr;
    return std::make_unique<ReadStream>(found->second);
  }

  bool writeShellLink(const std::string&, const platform::ShellLink&) override { return false; }
  std::optional<platform::ShellLink> readShellLink(const std::string&) override { return std::nullopt; }
  bool createProcess(const std::string&, const std::string&, uint32_t, const std::string&) override { return false; }
  bool shellOpen(const std::string&) override { return false; }

  int messageBox(uintptr_t owner, const std::string& text, const std::string& caption, uint32_t) override {
    messageBoxes.push_back({owner, text, caption});
    return platform::kIdOk;
  }
  platform::ScreenSize screenSize() override { return screen; }
  void beginHighTimerResolution() override {}
  void endHighTimerResolution() override {}
  bool equalsIgnoreCase(const std::string& a, const std::string& b) override { return caseFoldKey(a) == caseFoldKey(b); }
  std::string caseFoldKey(const std::string& text) override {
    std::string key = text;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
  }

 private:
  class ReadStream : public platform::Stream {
   public:
    explicit ReadStream(std::string data) : data_(std::move(data)) {}
    size_t read(void* buffer, size_t size) override {
      size_t n = std::min(size, data_.size() - position_);
      std::memcpy(buffer, data_.data() + position_, n);
      position_ += n;
      return n;
    }
    bool readError() const override { return false; }
    size_t write(const void*, size_t) override { return 0; }
    bool flush() override { return false; }
    bool seek(int64_t offset, platform::SeekOrigin origin) override {
      position_ = static_cast<size_t>(origin == platform::SeekOrigin::Begin ? offset : data_.size() + offset);
      return true;
    }
    int64_t tell() override { return static_cast<int64_t>(position_); }

   private:
    std::string data_;
    size_t position_ = 0;
  };

  std::string absolute(const std::string& path) const {
    if (path.size() >= 2 && path[1] == ':') return path;
    return current.back() == '\\' ? current + path : current + "\\" + path;
  }
};
