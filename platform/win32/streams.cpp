// Binary file streams through the C runtime, with 64-bit positions.
#include <windows.h>
#include <winternl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/win32/file_errors.h"
#include "platform/win32/handles.h"
#include "platform/win32/held_folders.h"
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
  bool commit() override { return fflush(file_.get()) == 0 && _commit(_fileno(file_.get())) == 0; }
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

// A stream over a handle from CreateFileW; null when the C runtime cannot
// take the handle over (the handle is then closed).
FILE* streamOver(HANDLE handle, OpenMode mode) {
  const int flags = mode == OpenMode::Read ? (_O_RDONLY | _O_BINARY) : (_O_WRONLY | _O_BINARY);
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (descriptor == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* file = _fdopen(descriptor, mode == OpenMode::Read ? "rb" : "wb");
  if (!file) _close(descriptor);
  return file;
}

// Opens `path` as "rb" or "wb" do (sharing reads and writes), through
// CreateFileW so that the cause of a failure is known. A file to write is
// first created new rather than truncated: Wine truncates every file that
// "wb" opens, and ext4 takes a file truncated to nothing and written again
// for a file rewritten in place, so closing it pushes the whole file to the
// disk before close returns (a third of a second for 512 MiB, all in one
// tick of the copy). An existing file is still truncated; that cost is the
// same for any program that overwrites it. Windows refuses to open a
// read-only file for writing; only an existing file is asked for its
// attributes (a look-up of a missing name costs Wine a scan of its folder),
// because Wine run by the superuser would truncate a read-only one.
HANDLE openHandle(const std::wstring& path, OpenMode mode) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  if (mode == OpenMode::Read) {
    return CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return handle;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// An existing destination is truncated only when what was opened is a
// regular file of that name alone: a hard link would carry the writes to
// its other name, and a link that the file system follows regardless (a
// symbolic link of Linux under Wine) shows in the final path.
bool truncatable(HANDLE file, const std::wstring& expectedPath, FileError* error) {
  FILE_BASIC_INFO basic;
  FILE_STANDARD_INFO standard;
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
      !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
    win32::reportLastError(error);
    return false;
  }
  FileError refused = FileError::None;
  if (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) {
    refused = FileError::AccessDenied;
  } else if ((basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || standard.NumberOfLinks != 1 ||
             !win32::samePathText(win32::finalPathOf(file), expectedPath)) {
    refused = FileError::Other;
  }
  if (refused != FileError::None) {
    if (error) *error = refused;
    return false;
  }
  LARGE_INTEGER start{};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN) || !SetEndOfFile(file)) {
    win32::reportLastError(error);
    return false;
  }
  return true;
}

std::unique_ptr<Stream> streamFor(HANDLE handle, OpenMode mode, FileError* error) {
  win32::UniqueFileStream file(streamOver(handle, mode));
  if (!file) {
    if (error) *error = FileError::Other;
    return nullptr;
  }
  return std::make_unique<Win32Stream>(std::move(file));
}

}  // namespace

std::unique_ptr<Stream> Win32Platform::openDestinationFile(const std::string& root, const std::string& relative,
                                                           bool createOnly, FileError* error) {
  std::wstring rootPath, leaf, leafPath;
  win32::UniqueFileHandle top = win32::openRootFolder(root, rootPath, error);
  if (!top) return nullptr;
  win32::UniqueFileHandle folder = win32::openFoldersBelow(top.get(), rootPath, win32::toWide(relative), leaf, leafPath, error);
  if (!folder) return nullptr;
  // A new file is made rather than an old one truncated where possible
  // (see openHandle); "wb" shares reading and writing.
  bool created = false;
  const win32::OpenInFolder open{GENERIC_WRITE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 static_cast<ULONG>(createOnly ? FILE_CREATE : FILE_OPEN_IF), FILE_NON_DIRECTORY_FILE};
  win32::UniqueFileHandle file = win32::openInFolder(folder.get(), leaf, open, error, &created);
  if (!file || (!created && !truncatable(file.get(), leafPath, error))) return nullptr;
  return streamFor(file.release(), OpenMode::Write, error);
}

std::unique_ptr<Stream> Win32Platform::openStream(const std::string& path, OpenMode mode, FileError* error) {
  const std::wstring widePath = win32::toWide(path);
  HANDLE handle = openHandle(widePath, mode);
  if (handle == INVALID_HANDLE_VALUE) {
    win32::reportLastError(error);
    return nullptr;
  }
  return streamFor(handle, mode, error);
}

}  // namespace platform
