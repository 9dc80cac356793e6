#pragma once
// Folding text for comparisons that ignore letter case. Which letters have
// a case is the user's locale's business, so the platform provides the
// folding; the string lists only use it.

#include <string>

class CaseFolding {
 public:
  // A key with caseFoldKey(a) == caseFoldKey(b) exactly when a and b are
  // equal ignoring letter case; lets callers index strings by that equality.
  virtual std::string caseFoldKey(const std::string& text) = 0;

 protected:
  ~CaseFolding() = default;
};
