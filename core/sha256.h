#pragma once
// SHA-256 by the system's own cryptography, never computed here: on Windows
// bcrypt.dll, loaded at run time from the system folder (never imported,
// never looked for beside the program); elsewhere OpenSSL's libcrypto. The
// digests of the medium's list, of the copy and of the install record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

using Sha256Digest = std::array<uint8_t, 32>;

// One digest being computed.
class Sha256 {
 public:
  Sha256() = default;
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  virtual ~Sha256() = default;

  virtual void add(const void* data, size_t size) = 0;
  // The digest of everything added; nullopt when the system failed at any
  // step. Nothing may be added afterwards.
  virtual std::optional<Sha256Digest> finish() = 0;
};

// The system's SHA-256, set up once and kept, starting one digest per file.
// A digest may outlive the provider that started it.
class Sha256Provider {
 public:
  Sha256Provider() = default;
  Sha256Provider(const Sha256Provider&) = delete;
  Sha256Provider& operator=(const Sha256Provider&) = delete;
  virtual ~Sha256Provider() = default;

  // Null when the system failed to start one.
  virtual std::unique_ptr<Sha256> start() = 0;

  // Null where the system has none.
  static std::unique_ptr<Sha256Provider> open();
};

// 64 lowercase hex digits.
std::string digestHex(const Sha256Digest& digest);
// nullopt unless `hex` is exactly 64 hex digits (either case).
std::optional<Sha256Digest> digestFromHex(std::string_view hex);
