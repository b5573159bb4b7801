#include "tests/installer/InstallerFixture.h"

#include "installer/Source/KestrelDigest.h"

namespace hc::installer::test {
namespace {

class InstallerKestrelDigestTest : public InstallerFixture {};

TEST_F(InstallerKestrelDigestTest, FingerprintsMatchTheOpensslCommand) {
  std::string large(3 * KestrelDigest::kBlockSize + 17, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 31 + 7);
  writeFile(root_ / "empty", "");
  writeFile(root_ / "large", large);
  for (const char* digest : {"sha1", "sha256", "md5", "sha512"}) {
    for (const char* name : {"empty", "large"}) {
      SCOPED_TRACE(std::string(digest) + " " + name);
      const std::string path = (root_ / name).string();
      const std::string expected = opensslDigest(digest, path);
      EXPECT_EQ(expected, KestrelDigest::fingerprintForPath(path, digest).value_or("none"));
      EXPECT_TRUE(KestrelDigest::fingerprintIsValidForFileAtPath(expected, path, digest));
    }
  }
}

TEST_F(InstallerKestrelDigestTest, NoFingerprintForAnUnknownDigestOrAMissingFile) {
  writeFile(root_ / "file", "content\n");
  EXPECT_FALSE(KestrelDigest::fingerprintForPath((root_ / "file").string(), "no-such-digest"));
  EXPECT_FALSE(KestrelDigest::fingerprintForPath((root_ / "absent").string(), "sha1"));
  EXPECT_FALSE(KestrelDigest::fingerprintIsValidForFileAtPath("", (root_ / "absent").string(), "sha1"));
}

}  // namespace
}  // namespace hc::installer::test
