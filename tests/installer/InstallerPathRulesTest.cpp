#include "installer/Source/LinkResolver.h"
#include "installer/Source/PackageLinks.h"
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

TEST(InstallerPathRulesTest, LinksAreFollowedThroughTheLinksAroundThem) {
  PackageLinks links;
  auto add = [&links](const std::string& path, const std::string& target) {
    return links.add(*PathRules::containedComponents(path), target);
  };
  ASSERT_TRUE(add("l0", "."));
  ASSERT_TRUE(add("l1", "l0/.."));
  ASSERT_TRUE(add("l2", "l0/MacOS/../Resources"));
  ASSERT_TRUE(add("sub/up", ".."));
  ASSERT_TRUE(add("sub/abs", "/App/Contents/l0/sub"));
  ASSERT_TRUE(add("sub/away", "/App/Other"));
  ASSERT_TRUE(add("loop/a", "b"));
  ASSERT_TRUE(add("loop/b", "a"));
  ASSERT_TRUE(add("deep", "deep/x"));
  EXPECT_FALSE(add("l0/below", "x"));   // would be written through l0
  EXPECT_FALSE(add("sub", "."));        // links already lie below it
  EXPECT_TRUE(links.passesThroughLink(*PathRules::containedComponents("l1/file")));
  EXPECT_FALSE(links.passesThroughLink(*PathRules::containedComponents("l1")));

  using Outcome = LinkResolver::Outcome;
  LinkResolver resolver(
      "/App/Contents",
      [&links](const std::vector<std::string>& path) { return links.targetAt(path); }, 100000);
  struct Case {
    const char* path;
    Outcome outcome;
  };
  const Case cases[] = {
      {"l0", Outcome::Inside},           {"l1", Outcome::Outside},
      {"l2", Outcome::Inside},           {"l0/l0/l0/l2", Outcome::Inside},
      {"sub/up", Outcome::Inside},       {"sub/up/l1", Outcome::Outside},
      {"sub/abs/up", Outcome::Inside},   {"sub/abs/up/..", Outcome::Outside},
      {"sub/away", Outcome::Outside},    {"loop/a", Outcome::Unresolvable},
      {"deep", Outcome::Unresolvable},   {"missing/../x", Outcome::Inside},
      {"missing/../..", Outcome::Outside},
  };
  for (const Case& c : cases) EXPECT_EQ(c.outcome, resolver.resolve(c.path)) << c.path;

  // Without a root path every absolute target leads out; a spent budget
  // resolves nothing.
  LinkResolver noRoot(
      "", [&links](const std::vector<std::string>& path) { return links.targetAt(path); }, 100000);
  EXPECT_EQ(Outcome::Outside, noRoot.resolve("sub/abs"));
  LinkResolver spent(
      "/App/Contents",
      [&links](const std::vector<std::string>& path) { return links.targetAt(path); }, 3);
  EXPECT_EQ(Outcome::Unresolvable, spent.resolve("l0/l0/l0/l0"));
}

TEST(InstallerPathRulesTest, MessagesKeepToOneLine) {
  EXPECT_EQ("plain caf\xc3\xa9 \"q\"", PathRules::escapedForMessage("plain caf\xc3\xa9 \"q\""));
  EXPECT_EQ("a\\nb\\rc\\td\\\\e\\x01\\x7f",
            PathRules::escapedForMessage("a\nb\rc\td\\e\x01\x7f"));
  EXPECT_EQ("\\x00", PathRules::escapedForMessage(std::string(1, '\0')));
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
