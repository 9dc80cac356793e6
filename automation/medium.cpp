// Media for install.exe: packing through instcfg's own code, and signing.
#include <sstream>

#include "automation/driver.h"
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

void Medium::writeDigests() {
  std::ostringstream out, err;
  if (digestCommand(root(), out, err) != 0) throw DriverError("instcfg digest refused: " + err.str());
}

void Medium::copyBare(const std::filesystem::path& image) { copyFile(image, "install.exe"); }

void Medium::addFile(const std::filesystem::path& relative, const std::string& bytes) {
  writeFile(root() / relative, bytes);
}

void Medium::copyFile(const std::filesystem::path& source, const std::filesystem::path& relative) {
  std::filesystem::create_directories((root() / relative).parent_path());
  copyFileOver(source, root() / relative);
}

Process Medium::start(Rights rights) const { return Process::start(installer(), L"", root(), rights); }

void signWithTestCertificate(const std::filesystem::path& file) {
  TempFolder work("sign");
  const std::string folder = unixPath(work.path());
  const std::string script =
      "cd '" + folder + "' && /usr/bin/openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=discmenu-test"
      " -keyout key.pem -out cert.pem 2>/dev/null && /usr/bin/osslsigncode sign -certs cert.pem -key key.pem -in '" +
      unixPath(file) + "' -out signed.exe >/dev/null";
  if (runNative(script) != 0) throw DriverError("could not sign " + narrow(file.wstring()));
  copyFileOver(work / "signed.exe", file);
}

}  // namespace e2e
