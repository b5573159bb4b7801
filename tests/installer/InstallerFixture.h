#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hc::installer::test {

namespace fs = std::filesystem;

// Result of a tool run as a child process (never through a shell).
struct ToolResult {
  int status = -1;
  std::string output;  // standard output and standard error together
};

ToolResult runTool(const std::vector<std::string>& arguments);
void writeFile(const fs::path& path, const std::string& content, fs::perms mode = fs::perms(0644));
std::string readFile(const fs::path& path);
// The file's digest as the openssl command computes it.
std::string opensslDigest(const std::string& digestName, const fs::path& path);

// One "<file>" block of a bill of materials or catalog; empty fields are left out.
struct BomLine {
  std::string relativepath = {};
  std::string packagepath = {};
  std::string operation = {};
  std::string filetype = "file";
  std::string permissions = {};
  std::string size = {};
  std::string fingerprint = {};
  std::string fingerprinttype = {};
  std::string link = {};
};
std::string bomText(const std::string& root, const std::vector<BomLine>& lines);

// A temporary world for one installation: an installed application, a
// staging folder from which the package is made, an update definition, and
// TMPDIR pointed at a folder of its own so that scratch folders can be seen.
class InstallerFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The installed tree: a program, resources, a link inside it and its catalog.
  void makeApplication();
  // Writes the catalog of the install base from its current files, with
  // extra lines after them.
  void writeCatalog(const std::vector<std::string>& relativePaths,
                    const std::vector<BomLine>& extraLines = {});
  // A "file" line for a file in the staging folder, with size and sha256.
  BomLine stagedFile(const std::string& relativePath, const std::string& packagePath,
                     const std::string& operation);
  // Writes the bill of materials into the staging folder and makes
  // root/<packageName> with tar czf.
  void makePackage(const std::vector<BomLine>& lines, const std::string& packageName = "Update.tgz");
  // Writes an update definition naming the package; returns its path.
  fs::path writeDefinition(const std::string& name = "Update.plist",
                           const std::string& packageName = "Update.tgz");
  // A snapshot of the install base, to compare with diff -r later.
  fs::path snapshot(const std::string& name = "snapshot");
  // True when diff -r finds no difference (links compared as links).
  static bool sameTree(const fs::path& a, const fs::path& b, std::string* differences = nullptr);
  // Runs every step through the program's run; answers its exit status.
  int runInstaller(const std::vector<fs::path>& definitions);
  std::string statusOf(const fs::path& definition);
  bool scratchIsEmpty() const;
  // No copy, old tree, temporary copy folder, scratch folder or half-written
  // status file is left behind.
  void expectNoLeftovers();
  // A failed installation leaves the application as it was (compared with
  // the snapshot before) and names the reason in the status file.
  void expectRefused(const fs::path& definition, int code, const std::string& reason,
                     const fs::path& before);

  fs::path root_;
  fs::path tmp_;
  fs::path appWrapper_;
  fs::path installBase_;
  fs::path stage_;
  std::string previousTmpdir_;
  bool hadTmpdir_ = false;
};

}  // namespace hc::installer::test
