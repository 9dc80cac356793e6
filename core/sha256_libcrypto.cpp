// SHA-256 through OpenSSL's libcrypto: the memory platform's and the Linux
// tool's.
#include <openssl/evp.h>

#include "core/sha256.h"

namespace {

class LibcryptoSha256 final : public Sha256 {
 public:
  explicit LibcryptoSha256(EVP_MD_CTX* context) : context_(context) {}
  ~LibcryptoSha256() override { EVP_MD_CTX_free(context_); }

  void add(const void* data, size_t size) override {
    if (!failed_ && EVP_DigestUpdate(context_, data, size) != 1) failed_ = true;
  }
  std::optional<Sha256Digest> finish() override {
    Sha256Digest digest{};
    unsigned int length = 0;
    if (failed_ || EVP_DigestFinal_ex(context_, digest.data(), &length) != 1 || length != digest.size()) {
      return std::nullopt;
    }
    return digest;
  }

 private:
  EVP_MD_CTX* context_;
  bool failed_ = false;
};

class LibcryptoProvider final : public Sha256Provider {
 public:
  explicit LibcryptoProvider(EVP_MD* algorithm) : algorithm_(algorithm) {}
  ~LibcryptoProvider() override { EVP_MD_free(algorithm_); }

  std::unique_ptr<Sha256> start() override {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (!context) return nullptr;
    if (EVP_DigestInit_ex(context, algorithm_, nullptr) != 1) {
      EVP_MD_CTX_free(context);
      return nullptr;
    }
    return std::make_unique<LibcryptoSha256>(context);
  }

 private:
  EVP_MD* algorithm_;
};

}  // namespace

std::unique_ptr<Sha256Provider> Sha256Provider::open() {
  // Looked up once, rather than by name at every file.
  EVP_MD* algorithm = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  if (!algorithm) return nullptr;
  return std::make_unique<LibcryptoProvider>(algorithm);
}
