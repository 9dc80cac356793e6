// SHA-256 through Windows' own cryptography, bcrypt.dll. It is not among
// the DLLs Windows always loads from the system folder, so it is not
// imported: it is loaded at run time from the system folder alone (never
// from the medium's folder or the current directory) and its functions are
// taken by name.
#include <windows.h>
#include <bcrypt.h>

#include <memory>
#include <string>

#include "core/sha256.h"

namespace {

// bcrypt.dll with the functions taken from it and its SHA-256 algorithm
// open; shared by the provider and every digest it started, so that a
// digest may outlive the provider.
struct Bcrypt {
  HMODULE module = nullptr;
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  decltype(&BCryptOpenAlgorithmProvider) openAlgorithm = nullptr;
  decltype(&BCryptCloseAlgorithmProvider) closeAlgorithm = nullptr;
  decltype(&BCryptCreateHash) createHash = nullptr;
  decltype(&BCryptHashData) hashData = nullptr;
  decltype(&BCryptFinishHash) finishHash = nullptr;
  decltype(&BCryptDestroyHash) destroyHash = nullptr;

  Bcrypt() = default;
  Bcrypt(const Bcrypt&) = delete;
  Bcrypt& operator=(const Bcrypt&) = delete;
  ~Bcrypt() {
    if (algorithm) closeAlgorithm(algorithm, 0);
    if (module) FreeLibrary(module);
  }
};

template <class Function>
bool take(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  return function != nullptr;
}

HMODULE loadFromSystemFolder(const wchar_t* name) {
  if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  // Windows 7 without its 2011 loader update refuses the flag; the full
  // path into the system folder names the same file.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryExW((std::wstring(folder, length) + L"\\" + name).c_str(), nullptr, 0);
}

class BcryptSha256 final : public Sha256 {
 public:
  BcryptSha256(std::shared_ptr<const Bcrypt> bcrypt, BCRYPT_HASH_HANDLE hash) : bcrypt_(std::move(bcrypt)), hash_(hash) {}
  ~BcryptSha256() override { bcrypt_->destroyHash(hash_); }

  void add(const void* data, size_t size) override {
    auto bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0 && !failed_) {
      const ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
      failed_ = !BCRYPT_SUCCESS(bcrypt_->hashData(hash_, bytes, piece, 0));
      bytes += piece;
      size -= piece;
    }
  }
  std::optional<Sha256Digest> finish() override {
    Sha256Digest digest{};
    if (failed_ || !BCRYPT_SUCCESS(bcrypt_->finishHash(hash_, digest.data(), static_cast<ULONG>(digest.size()), 0))) {
      return std::nullopt;
    }
    return digest;
  }

 private:
  std::shared_ptr<const Bcrypt> bcrypt_;
  BCRYPT_HASH_HANDLE hash_;
  bool failed_ = false;
};

class BcryptProvider final : public Sha256Provider {
 public:
  explicit BcryptProvider(std::shared_ptr<const Bcrypt> bcrypt) : bcrypt_(std::move(bcrypt)) {}

  std::unique_ptr<Sha256> start() override {
    // Windows 7 and later keep the hash object themselves.
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!BCRYPT_SUCCESS(bcrypt_->createHash(bcrypt_->algorithm, &hash, nullptr, 0, nullptr, 0, 0))) return nullptr;
    return std::make_unique<BcryptSha256>(bcrypt_, hash);
  }

 private:
  std::shared_ptr<const Bcrypt> bcrypt_;
};

}  // namespace

std::unique_ptr<Sha256Provider> Sha256Provider::open() {
  auto bcrypt = std::make_shared<Bcrypt>();
  bcrypt->module = loadFromSystemFolder(L"bcrypt.dll");
  const HMODULE module = bcrypt->module;
  if (!module || !take(module, "BCryptOpenAlgorithmProvider", bcrypt->openAlgorithm) ||
      !take(module, "BCryptCloseAlgorithmProvider", bcrypt->closeAlgorithm) ||
      !take(module, "BCryptCreateHash", bcrypt->createHash) || !take(module, "BCryptHashData", bcrypt->hashData) ||
      !take(module, "BCryptFinishHash", bcrypt->finishHash) || !take(module, "BCryptDestroyHash", bcrypt->destroyHash) ||
      !BCRYPT_SUCCESS(bcrypt->openAlgorithm(&bcrypt->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    bcrypt->algorithm = nullptr;
    return nullptr;
  }
  return std::make_unique<BcryptProvider>(std::move(bcrypt));
}
