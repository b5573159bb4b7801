#include "tests/installer/InstallerFixture.h"

#include "installer/Source/InstallerRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

namespace hc::installer::test {

ToolResult runTool(const std::vector<std::string>& arguments) {
  ToolResult result;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned == 0) {
    char block[4096];
    ssize_t count;
    while ((count = ::read(pipeFds[0], block, sizeof block)) > 0) {
      result.output.append(block, static_cast<std::size_t>(count));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::close(pipeFds[0]);
  return result;
}

void writeFile(const fs::path& path, const std::string& content, fs::perms mode) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  fs::permissions(path, mode);
}

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string opensslDigest(const std::string& digestName, const fs::path& path) {
  ToolResult result = runTool({"openssl", "dgst", "-" + digestName, "-r", path.string()});
  EXPECT_EQ(0, result.status) << result.output;
  return result.output.substr(0, result.output.find(' '));
}

std::string bomText(const std::string& root, const std::vector<BomLine>& lines) {
  std::string text = "<?xml version=\"1.0\"?>\n<" + root + ">\n";
  auto field = [&text](const char* key, const std::string& value) {
    if (!value.empty()) text += "  <" + std::string(key) + ">" + value + "</" + key + ">\n";
  };
  for (const BomLine& line : lines) {
    text += " <file>\n";
    field("relativepath", line.relativepath);
    field("packagepath", line.packagepath);
    field("operation", line.operation);
    field("filetype", line.filetype);
    field("permissions", line.permissions);
    field("createdate", "2008-03-01 12:30:00 +0100");
    field("size", line.size);
    field("fingerprint", line.fingerprint);
    field("fingerprinttype", line.fingerprinttype);
    field("link", line.link);
    text += " </file>\n";
  }
  return text + "</" + root + ">\n";
}

namespace {

std::string xmlEscaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '&') escaped += "&amp;";
    else if (c == '<') escaped += "&lt;";
    else if (c == '>') escaped += "&gt;";
    else escaped += c;
  }
  return escaped;
}

}  // namespace

void InstallerFixture::SetUp() {
  std::string pattern = (fs::temp_directory_path() / "installer_test.XXXXXX").string();
  ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
  root_ = pattern;
  tmp_ = root_ / "tmp";
  fs::create_directories(tmp_);
  if (const char* previous = std::getenv("TMPDIR")) {
    hadTmpdir_ = true;
    previousTmpdir_ = previous;
  }
  ::setenv("TMPDIR", tmp_.c_str(), 1);
  appWrapper_ = root_ / "Applications" / "Halcyon Player.app";
  installBase_ = appWrapper_ / "Contents";
  stage_ = root_ / "stage";
  fs::create_directories(stage_);
}

void InstallerFixture::TearDown() {
  if (hadTmpdir_) {
    ::setenv("TMPDIR", previousTmpdir_.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
  std::error_code ignored;
  runTool({"chmod", "-R", "u+rwx", root_.string()});
  fs::remove_all(root_, ignored);
}

void InstallerFixture::makeApplication() {
  writeFile(installBase_ / "MacOS" / "HalcyonPlayer", "player v1\n", fs::perms(0755));
  writeFile(installBase_ / "Resources" / "a.txt", "alpha\n");
  writeFile(installBase_ / "Resources" / "old.txt", "old\n");
  writeFile(installBase_ / "Info.plist", "<plist/>\n");
  fs::create_directory_symlink("Resources", installBase_ / "Current");
  writeCatalog({"MacOS/HalcyonPlayer", "Resources/a.txt", "Resources/old.txt", "Info.plist"});
}

void InstallerFixture::writeCatalog(const std::vector<std::string>& relativePaths,
                                    const std::vector<BomLine>& extraLines) {
  std::vector<BomLine> lines;
  for (const std::string& relative : relativePaths) {
    const fs::path path = installBase_ / relative;
    BomLine line;
    line.relativepath = relative;
    line.size = std::to_string(fs::file_size(path));
    line.fingerprint = opensslDigest("sha1", path);
    line.fingerprinttype = "sha1";
    lines.push_back(line);
  }
  lines.push_back({.relativepath = "Current", .filetype = "link", .link = "Resources"});
  lines.insert(lines.end(), extraLines.begin(), extraLines.end());
  writeFile(installBase_ / "Contents.catalog", bomText("catalog", lines));
}

BomLine InstallerFixture::stagedFile(const std::string& relativePath, const std::string& packagePath,
                                     const std::string& operation) {
  const fs::path path = stage_ / packagePath;
  BomLine line;
  line.relativepath = relativePath;
  line.packagepath = packagePath;
  line.operation = operation;
  line.size = std::to_string(fs::file_size(path));
  line.fingerprint = opensslDigest("sha256", path);
  line.fingerprinttype = "sha256";
  return line;
}

void InstallerFixture::makePackage(const std::vector<BomLine>& lines, const std::string& packageName) {
  std::string baseName = packageName.substr(0, packageName.rfind('.'));
  writeFile(stage_ / (baseName + ".xml"), bomText("billofmaterials", lines));
  ToolResult tar = runTool({"tar", "czf", (root_ / packageName).string(), "-C", stage_.string(), "."});
  ASSERT_EQ(0, tar.status) << tar.output;
}

fs::path InstallerFixture::writeDefinition(const std::string& name, const std::string& packageName) {
  const fs::path path = root_ / name;
  writeFile(path,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<plist version=\"1.0\">\n<dict>\n"
            "  <key>InstallBase</key><string>Contents</string>\n"
            "  <key>KsUpdateAppDefinitions</key>\n  <dict>\n"
            "    <key>KsUpdatePathDefinitions</key>\n    <dict>\n"
            "      <key>AppWrapper</key><string>" + xmlEscaped(appWrapper_.string()) + "</string>\n"
            "      <key>Contents</key><string>" + xmlEscaped(installBase_.string()) + "</string>\n"
            "    </dict>\n  </dict>\n"
            "  <key>KsUpdateUpdatePath</key><string>" +
                xmlEscaped((root_ / packageName).string()) + "</string>\n"
            "</dict>\n</plist>\n");
  return path;
}

fs::path InstallerFixture::snapshot(const std::string& name) {
  const fs::path copy = root_ / name;
  ToolResult cp = runTool({"cp", "-a", installBase_.string(), copy.string()});
  EXPECT_EQ(0, cp.status) << cp.output;
  return copy;
}

bool InstallerFixture::sameTree(const fs::path& a, const fs::path& b, std::string* differences) {
  ToolResult diff = runTool({"diff", "-r", "--no-dereference", a.string(), b.string()});
  if (differences) *differences = diff.output;
  return diff.status == 0;
}

int InstallerFixture::runInstaller(const std::vector<fs::path>& definitions) {
  std::vector<std::string> arguments = {"UpdateInstaller"};
  for (const fs::path& definition : definitions) arguments.push_back(definition.string());
  return InstallerRun::run(arguments);
}

std::string InstallerFixture::statusOf(const fs::path& definition) {
  return readFile(definition.string() + ".status");
}

bool InstallerFixture::scratchIsEmpty() const { return fs::is_empty(tmp_); }

void InstallerFixture::expectNoLeftovers() {
  EXPECT_FALSE(fs::exists(fs::symlink_status(installBase_.string() + " Old")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(installBase_.string() + " Copy")));
  EXPECT_FALSE(fs::exists(appWrapper_ / ".kstltmp"));
  EXPECT_TRUE(scratchIsEmpty());
  for (const auto& item : fs::directory_iterator(root_)) {
    EXPECT_EQ(std::string::npos, item.path().filename().string().find(".status."))
        << item.path();
  }
}

void InstallerFixture::expectRefused(const fs::path& definition, int code,
                                     const std::string& reason, const fs::path& before) {
  EXPECT_EQ(code, runInstaller({definition}));
  const std::string status = statusOf(definition);
  EXPECT_EQ(std::to_string(code) + "\n", status.substr(0, status.find('\n') + 1)) << status;
  EXPECT_NE(std::string::npos, status.find(reason)) << status;
  std::string differences;
  EXPECT_TRUE(sameTree(before, installBase_, &differences)) << differences;
  EXPECT_FALSE(fs::exists(definition));
  expectNoLeftovers();
}

}  // namespace hc::installer::test
