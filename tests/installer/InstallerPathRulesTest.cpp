#include "installer/Source/PathRules.h"

#include <gtest/gtest.h>

namespace hc::installer {
namespace {

TEST(InstallerPathRulesTest, RelativePathsStayInTheirFolder) {
  struct Case {
    const char* path;
    bool contained;
  };
  const Case cases[] = {
      {"a", true},        {"a/b/c.txt", true}, {"./a//b/", true}, {"a/./b", true},
      {"a..b/..c", true}, {"", false},         {".", false},      {"./", false},
      {"/a", false},      {"..", false},       {"a/../b", false}, {"a/..", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.contained, PathRules::isContainedRelativePath(c.path)) << c.path;
  }
  EXPECT_FALSE(PathRules::isContainedRelativePath(std::string("a\0b", 3)));
}

TEST(InstallerPathRulesTest, LinkTargetsResolveFromTheLinksFolder) {
  struct Case {
    const char* link;
    const char* target;
    bool inside;
  };
  const Case cases[] = {
      {"Resources/up", "../MacOS/tool", true},
      {"Resources/up", "..", true},
      {"Resources/up", "../..", false},
      {"top", "..", false},
      {"a/b/c", "../../x/../y", true},
      {"a/b/c", "x/../../../../y", false},
      {"top", "/App/Contents/Info.plist", true},
      {"top", "/App/Contents", true},
      {"top", "/App/ContentsX/y", false},
      {"top", "/App/Contents/../Other", false},
      {"top", "/etc", false},
      {"top", "", false},
      {"../top", "x", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.inside, PathRules::linkStaysInside(c.link, c.target, "/App/Contents"))
        << c.link << " -> " << c.target;
  }
  EXPECT_FALSE(PathRules::linkStaysInside("top", "/App/Contents/x", ""));
}

TEST(InstallerPathRulesTest, SplitsNamesLikeTheFileSystem) {
  EXPECT_EQ("Update.tgz", PathRules::lastPathComponent("/tmp/Update.tgz"));
  EXPECT_EQ("Contents", PathRules::lastPathComponent("/A.app/Contents/"));
  EXPECT_EQ("/A.app", PathRules::deletingLastPathComponent("/A.app/Contents"));
  EXPECT_EQ("/", PathRules::deletingLastPathComponent("/A.app"));
  EXPECT_EQ("Update", PathRules::deletingPathExtension("Update.tgz"));
  EXPECT_EQ("Update.tar", PathRules::deletingPathExtension("Update.tar.gz"));
  EXPECT_EQ("Update", PathRules::deletingPathExtension("Update"));
  EXPECT_EQ(".hidden", PathRules::deletingPathExtension(".hidden"));
}

}  // namespace
}  // namespace hc::installer
