// Binary file streams through the C runtime, with 64-bit positions.
#include <windows.h>

#include <cstdio>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {

class Win32Stream final : public Stream {
 public:
  explicit Win32Stream(win32::UniqueFileStream file) : file_(std::move(file)) {}

  size_t read(void* buffer, size_t size) override { return fread(buffer, 1, size, file_.get()); }
  bool readError() const override { return ferror(file_.get()) != 0; }
  size_t write(const void* data, size_t size) override { return fwrite(data, 1, size, file_.get()); }
  bool flush() override { return fflush(file_.get()) == 0; }
  bool seek(int64_t offset, SeekOrigin origin) override {
    return _fseeki64(file_.get(), offset, origin == SeekOrigin::Begin ? SEEK_SET : SEEK_END) == 0;
  }
  int64_t tell() override { return _ftelli64(file_.get()); }  // -1 on failure

 private:
  win32::UniqueFileStream file_;
};

}  // namespace

std::unique_ptr<Stream> Win32Platform::openStream(const std::string& path, OpenMode mode) {
  const std::wstring widePath = win32::toWide(path);
  if (mode == OpenMode::Write) {
    // Windows refuses to open a read-only file for writing. Checked here as
    // well because Wine run by the superuser would truncate the file.
    const DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return nullptr;
  }
  win32::UniqueFileStream file(_wfopen(widePath.c_str(), mode == OpenMode::Read ? L"rb" : L"wb"));
  if (!file) return nullptr;
  return std::make_unique<Win32Stream>(std::move(file));
}

}  // namespace platform
