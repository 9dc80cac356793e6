#pragma once
// The log a script asks for with /LOG=: UTF-8 text, one line an event, each
// written out at once, so that whatever happened before an end is there.

#include <memory>
#include <string>

#include "platform/platform.h"

class RunLog {
 public:
  // Creates (or empties) the file; null when it cannot be opened.
  static std::unique_ptr<RunLog> open(platform::Platform& platform, const std::string& path);
  // Writes one line of the program's text (Shift-JIS) as UTF-8, ended by
  // CR LF.
  void line(const std::string& text);

 private:
  explicit RunLog(std::unique_ptr<platform::Stream> stream) : stream_(std::move(stream)) {}
  std::unique_ptr<platform::Stream> stream_;
};
