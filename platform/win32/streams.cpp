// Binary file streams through the C runtime, with 64-bit positions.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

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
  // The buffer the C runtime kept back is written out first, and on its
  // own: a full disk often shows first here, and Wine's fclose reports only
  // a failure that was known before it flushed.
  bool close() override {
    FILE* file = file_.release();
    if (!file) return false;
    const bool flushed = fflush(file) == 0;
    return fclose(file) == 0 && flushed;
  }
  bool seek(int64_t offset, SeekOrigin origin) override {
    return _fseeki64(file_.get(), offset, origin == SeekOrigin::Begin ? SEEK_SET : SEEK_END) == 0;
  }
  int64_t tell() override { return _ftelli64(file_.get()); }  // -1 on failure

 private:
  win32::UniqueFileStream file_;
};

// Opens `path` as "wb" does, but creates a new file without truncating it.
// Wine truncates every file that "wb" opens, and ext4 takes a file truncated
// to nothing and written again for a file rewritten in place: closing it
// then pushes the whole file to the disk before close returns (a third of a
// second for 512 MiB, all in one tick of the copy). An existing file is still
// truncated; that cost is the same for any program that overwrites it.
// Windows refuses to open a read-only file for writing; only an existing
// file is asked for its attributes (a look-up of a missing name costs Wine
// a scan of its folder), because Wine run by the superuser would truncate a
// read-only one.
FILE* openForWriting(const std::wstring& path) {
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  // An existing file, or any other refusal, goes the usual way.
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return nullptr;
    return _wfopen(path.c_str(), L"wb");
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (descriptor == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* file = _fdopen(descriptor, "wb");
  if (!file) _close(descriptor);
  return file;
}

}  // namespace

std::unique_ptr<Stream> Win32Platform::openStream(const std::string& path, OpenMode mode) {
  const std::wstring widePath = win32::toWide(path);
  win32::UniqueFileStream file(mode == OpenMode::Read ? _wfopen(widePath.c_str(), L"rb") : openForWriting(widePath));
  if (!file) return nullptr;
  return std::make_unique<Win32Stream>(std::move(file));
}

}  // namespace platform
