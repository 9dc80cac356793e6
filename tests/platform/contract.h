#pragma once
// The seam between the platform contract tests and a backend. The same
// tests (contract_tests.cpp) run against every backend; each backend's test
// program defines makeContractEnvironment() once.

#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

class ContractEnvironment {
 public:
  // Restores the current directory and removes everything the test left
  // (read-only files, junctions and registry keys included).
  virtual ~ContractEnvironment() = default;
  virtual platform::Platform& platform() = 0;
  // An existing, empty, private folder: absolute, Shift-JIS, no trailing "\".
  virtual std::string root() = 0;
  // A key path under HKEY_CURRENT_USER that does not exist yet
  // ("software\...\unique").
  virtual std::string registryRoot() = 0;
  virtual bool makeReadOnly(const std::string& path) = 0;
  // Creates a file in `folder` under exactly `name`, which the usual path
  // rules would change ("save.", "a ", "aux.txt"), as other tools can.
  virtual bool makeFileNamed(const std::string& folder, const std::string& name, const std::string& bytes) = 0;
  // False when junctions cannot be made here; the test is then skipped.
  virtual bool makeJunction(const std::string& link, const std::string& target) = 0;
  // Another name `link` for the file `existing` (a hard link).
  virtual bool makeHardLink(const std::string& existing, const std::string& link) = 0;
  // A link at `link` to the file or folder `target` that the usual path
  // rules follow, of whatever kind this system makes: a junction or symbolic
  // link, and under Wine a symbolic link of Linux, which Wine shows as what
  // it leads to. False when none can be made here; the case is skipped.
  virtual bool makeFollowedLink(const std::string& link, const std::string& target) = 0;
  // Points that link at `target` instead: another user changing a link of
  // theirs between a check and what follows it.
  virtual bool repointLink(const std::string& link, const std::string& target) = 0;
  // A file on a disk with no room left: it opens for writing, and no byte
  // written to it reaches the disk. nullopt when there is none here; the
  // test is then skipped.
  virtual std::optional<std::string> fileOnAFullDisk() = 0;
  // Makes in `folder` the subfolder "x¥..¥..¥victim" (U+00A5, which best-fit
  // turns into the separator "\") and the file "Élan.txt": names without a
  // Shift-JIS form (the memory backend's stand-ins are marked so).
  virtual bool makeForeignNames(const std::string& folder) = 0;
  // Enters the subfolder "x¥..¥..¥victim" of `folder` as current directory.
  virtual bool enterForeignFolder(const std::string& folder) = 0;
  // Sets the string value `name` of the HKCU key to "C:\Élan", creating the key.
  virtual bool setForeignValue(const std::string& key, const std::string& name) = 0;
};

// A fresh environment for one test.
std::unique_ptr<ContractEnvironment> makeContractEnvironment();
