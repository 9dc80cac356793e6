#pragma once
// Everything the installer shares between its forms, in its groups: the
// configuration record, the installer's plan, the copy state and the
// uninstaller's plan. The forms themselves are reached through the
// toolkit's application, which holds them.
// runInstaller or runUninstaller makes one; tests make a fresh one per case.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/copy_state.h"
#include "app/install_plan.h"
#include "app/removal_plan.h"
#include "config/installer_config.h"
#include "core/sha256.h"
#include "platform/platform.h"

// What one installation made, as its record in the game folder keeps it:
// names relative to InstallPath, "\\" between folders.
struct InstallRecord {
  std::vector<std::string> files;    // copied whatever stood at the destination
  std::vector<std::string> folders;  // made for them, parents first
  // The digest each file was copied with, by its name in `files`; a file
  // has none in a record of an earlier build, or where the system could
  // not compute it.
  std::map<std::string, Sha256Digest> digests;
  bool operator==(const InstallRecord&) const = default;
};

// The program run as uninst.exe, the uninstaller that needs no disc.
struct DiscFreeUninstall {
  // What the installation recorded; nullopt when there is no usable record
  // (an earlier build installed the game, or the record was lost), and the
  // keep-save-data removal is then not offered.
  std::optional<InstallRecord> record;
  // The uninst.exe whose image runs while the removal does (the one the
  // player started, which waits for this copy of it): Windows deletes no
  // running image, so the removal spares it and, once everything else is
  // gone, moves it into `parking` (a folder in the user's temp folder,
  // empty for none) so that the game folder can go. What stays is removed
  // once that program has ended.
  std::string sparedUninstaller;
  std::string parking;
  // That file's identity, by which the removal knows it under any name;
  // nullopt when it cannot be told (nothing is then spared).
  std::optional<platform::FileIdentity> sparedIdentity;
};

// The game folder as the removal's guard accepted it: InstallPath, and the
// path the system gave the folder then, every link on the way resolved
// (empty: it was missing). A removal goes ahead only while the folder it
// holds still has that path, so that a link above it re-pointed after the
// check (while the player reads the question) leads nowhere.
struct AcceptedRemovalFolder {
  std::string installPath;
  std::string finalPath;
};

struct AppContext {
  explicit AppContext(platform::Platform& p) : platform(p), removal(p) {}
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  platform::Platform& platform;
  InstallerConfig config;
  InstallPlan plan;
  CopyState copy;
  RemovalPlan removal;
  // The log of a run started with /LOG=: each line as the program's text
  // (Shift-JIS); empty when there is none.
  std::function<void(const std::string&)> logSink;
  void log(const std::string& line) {
    if (logSink) logSink(line);
  }
  // Set when the program runs as uninst.exe.
  std::optional<DiscFreeUninstall> discFree;
  // Set by the first check of a removal of InstallPath.
  std::optional<AcceptedRemovalFolder> acceptedRemovalFolder;
};
