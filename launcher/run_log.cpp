#include "launcher/run_log.h"

#include "core/cp932.h"

std::unique_ptr<RunLog> RunLog::open(platform::Platform& platform, const std::string& path) {
  auto stream = platform.openStream(path, platform::OpenMode::Write);
  if (!stream) return nullptr;
  // A byte-order mark, so that Notepad reads the Japanese as UTF-8 too.
  const std::string mark = "\xEF\xBB\xBF";
  stream->write(mark.data(), mark.size());
  return std::unique_ptr<RunLog>(new RunLog(std::move(stream)));
}

void RunLog::line(const std::string& text) {
  // The program's text is valid code page 932; a stray byte is kept out
  // rather than written as something else.
  const std::string utf8 = cp932ToUtf8(text).value_or("(text without a UTF-8 form)") + "\r\n";
  stream_->write(utf8.data(), utf8.size());
  stream_->flush();
}
