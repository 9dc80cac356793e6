#pragma once
// The ordered, unsorted string list shared by the installer and the
// uninstaller: add appends (duplicates kept), indexOf compares ignoring
// letter case under the user's locale and gives the first match or -1.

#include <string>
#include <unordered_map>
#include <vector>

#include "core/case_folding.h"

class StringList {
 public:
  explicit StringList(CaseFolding& folding) : folding_(folding) {}

  void add(std::string text);
  const std::string& get(int index) const { return items_.at(static_cast<size_t>(index)); }
  const std::string& operator[](int index) const { return get(index); }
  int count() const { return static_cast<int>(items_.size()); }
  void clear();
  int indexOf(const std::string& text);

  const std::vector<std::string>& items() const { return items_; }

 private:
  CaseFolding& folding_;
  std::vector<std::string> items_;
  // First index of each case-folded entry, built on the first indexOf and
  // kept up to date afterwards, so a membership test is not a list scan.
  std::unordered_map<std::string, int> firstIndexByKey_;
  bool indexed_ = false;
};
