// Media for install.exe: packing through instcfg's own code, and signing.
#include <sstream>

#include "tests/e2e/driver/driver.h"
#include "tools/instcfg_commands.h"

namespace e2e {

void Medium::pack(const std::filesystem::path& image, const Json& config, bool signReady) {
  TempFolder work("config");
  writeFile(work / "config.json", config.dump(2));
  PackOptions options;
  options.image = image;
  options.config = work / "config.json";
  options.output = installer();
  options.signReady = signReady;
  std::ostringstream out, err;
  if (packCommand(options, out, err) != 0) throw DriverError("instcfg pack refused: " + err.str());
}

void Medium::copyBare(const std::filesystem::path& image) { copyFile(image, "install.exe"); }

void Medium::addFile(const std::filesystem::path& relative, const std::string& bytes) {
  writeFile(root() / relative, bytes);
}

void Medium::copyFile(const std::filesystem::path& source, const std::filesystem::path& relative) {
  std::filesystem::create_directories((root() / relative).parent_path());
  std::filesystem::copy_file(source, root() / relative, std::filesystem::copy_options::overwrite_existing);
}

Process Medium::start() const { return Process::start(installer(), L"", root()); }

void signWithTestCertificate(const std::filesystem::path& file) {
  TempFolder work("sign");
  const std::wstring key = widen(unixPath(work / "key.pem"));
  const std::wstring certificate = widen(unixPath(work / "cert.pem"));
  const std::wstring input = widen(unixPath(file));
  const std::wstring signedFile = widen(unixPath(work / "signed.exe"));
  auto q = [](const std::wstring& text) { return L"\"" + text + L"\""; };
  if (runNative(L"/usr/bin/openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=discmenu-test -keyout " +
                q(key) + L" -out " + q(certificate)) != 0) {
    throw DriverError("openssl could not make a certificate");
  }
  if (runNative(L"/usr/bin/osslsigncode sign -certs " + q(certificate) + L" -key " + q(key) + L" -in " + q(input) +
                L" -out " + q(signedFile)) != 0) {
    throw DriverError("osslsigncode could not sign " + narrow(file.wstring()));
  }
  std::filesystem::copy_file(work / "signed.exe", file, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace e2e
