// A real Authenticode signature over a packed file: a self-signed
// certificate made with openssl and osslsigncode as the signing tool.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/support/pe_fixture.h"
#include "tests/support/worked_example.h"
#include "tools/config_json.h"
#include "tools/instcfg_commands.h"

namespace {

int shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace

TEST(Signing, OsslsigncodeSignatureOverAPackedFileIsReadRight) {
  if (shell("command -v osslsigncode") != 0 || shell("command -v openssl") != 0) {
    GTEST_SKIP() << "osslsigncode or openssl is not installed";
  }
  TempFolder dir("instcfg-signing");
  writeBytes(dir / "generic.exe", syntheticImage(kWorkedExampleImageSize));
  writeText(dir / "config.json", sampleConfigJson().dump());
  ASSERT_EQ(shell("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=instcfg test' -keyout " +
                  quoted(dir / "key.pem") + " -out " + quoted(dir / "cert.pem")),
            0);

  std::ostringstream out, err;
  for (bool signReady : {true, false}) {
    SCOPED_TRACE(signReady ? "--sign-ready" : "plain");
    PackOptions options{dir / "generic.exe", dir / "config.json", dir / "install.exe", signReady, false};
    ASSERT_EQ(packCommand(options, out, err), 0) << err.str();
    std::filesystem::remove(dir / "signed.exe");
    ASSERT_EQ(shell("osslsigncode sign -certs " + quoted(dir / "cert.pem") + " -key " + quoted(dir / "key.pem") +
                    " -in " + quoted(dir / "install.exe") + " -out " + quoted(dir / "signed.exe")),
              0);
    ASSERT_EQ(shell("osslsigncode verify -CAfile " + quoted(dir / "cert.pem") + " " + quoted(dir / "signed.exe")), 0);
    EXPECT_GT(readBytes(dir / "signed.exe").size(), readBytes(dir / "install.exe").size());

    std::ostringstream checkOut, dumpOut, dumpErr;
    int checked = checkCommand(dir / "signed.exe", checkOut, err);
    int dumped = dumpCommand(dir / "signed.exe", dumpOut, dumpErr);
    EXPECT_NE(checkOut.str().find("signature present: certificate table at 0x583B8"), std::string::npos)
        << checkOut.str();
    if (signReady) {
      EXPECT_EQ(checked, 0) << checkOut.str();
      EXPECT_EQ(dumped, 0) << dumpErr.str();
      EXPECT_EQ(Json::parse(dumpOut.str()), sampleConfigJson());
    } else {
      EXPECT_EQ(checked, 1) << checkOut.str();
      EXPECT_NE(checkOut.str().find("signed without --sign-ready"), std::string::npos) << checkOut.str();
      EXPECT_EQ(dumped, 1);
    }
  }
}
