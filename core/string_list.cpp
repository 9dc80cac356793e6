#include "core/string_list.h"

void StringList::add(std::string text) {
  if (indexed_) firstIndexByKey_.try_emplace(folding_.caseFoldKey(text), count());
  items_.push_back(std::move(text));
}

void StringList::clear() {
  items_.clear();
  firstIndexByKey_.clear();
  indexed_ = false;
}

int StringList::indexOf(const std::string& text) {
  if (!indexed_) {
    for (int i = 0; i < count(); ++i) firstIndexByKey_.try_emplace(folding_.caseFoldKey(items_[i]), i);
    indexed_ = true;
  }
  auto found = firstIndexByKey_.find(folding_.caseFoldKey(text));
  return found == firstIndexByKey_.end() ? -1 : found->second;
}
