#include "platform/win32/win32_platform.h"

namespace platform {

std::unique_ptr<Sha256> Win32Platform::startSha256() {
  if (!sha256_) sha256_ = Sha256Provider::open();
  return sha256_ ? sha256_->start() : nullptr;
}

}  // namespace platform
