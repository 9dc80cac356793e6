#pragma once
// The one kind of error instcfg reports: a message for the publisher that
// names the file or field and the reason. Commands turn it into a line on
// the error stream and a non-zero exit.

#include <stdexcept>

class InstcfgError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
