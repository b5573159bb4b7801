#include "tests/installer/InstallerFixture.h"

#include "installer/Source/InstallerErrors.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace hc::installer::test {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
// What the crafted member holds: 2 GiB of zeros, about 2 MB compressed.
constexpr std::uint64_t kBombBytes = 2048 * kMiB;

// Limits the installer runs under here, far above what a healthy run takes
// (well under a second, a few tens of MiB): a run that wrote the member
// out would break the file-size limit and be killed.
constexpr rlim_t kFileSizeLimit = 64 * kMiB;
constexpr double kSecondsLimit = 60;
constexpr long kResidentKiBLimit = 512 * 1024;

// A ustar header of a regular file.
std::string tarHeader(const std::string& name, std::uint64_t size) {
  std::string header(512, '\0');
  std::memcpy(header.data(), name.data(), name.size());
  std::snprintf(&header[100], 8, "%07o", 0644u);
  std::snprintf(&header[108], 8, "%07o", 0u);
  std::snprintf(&header[116], 8, "%07o", 0u);
  std::snprintf(&header[124], 12, "%011llo", static_cast<unsigned long long>(size));
  std::snprintf(&header[136], 12, "%011o", 0u);
  header[156] = '0';
  std::memcpy(&header[257], "ustar\0" "00", 8);
  std::memset(&header[148], ' ', 8);
  unsigned sum = 0;
  for (char c : header) sum += static_cast<unsigned char>(c);
  std::snprintf(&header[148], 8, "%06o", sum);
  return header;
}

std::string padded(std::string data) {
  data.resize((data.size() + 511) / 512 * 512, '\0');
  return data;
}

struct LimitedRun {
  int status = -1;  // exit code, or -1 when a signal ended the run
  double seconds = 0;
  long residentKiB = 0;
};

// Runs a program with its output discarded under a limit on the size of
// any file it writes, and measures its time and peak resident memory.
LimitedRun runLimited(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  LimitedRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit limit{kFileSizeLimit, kFileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.residentKiB = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class InstallerPackageLimitsTest : public InstallerFixture {
 protected:
  // Writes text to a scratch file, compresses it with gzip and answers the
  // compressed bytes.
  std::string gzipped(const std::string& data) {
    const fs::path raw = root_ / "piece";
    writeFile(raw, data);
    ToolResult gzip = runTool({"gzip", "-f", "-n", raw.string()});
    EXPECT_EQ(0, gzip.status) << gzip.output;
    std::string compressed = readFile(raw.string() + ".gz");
    fs::remove(raw.string() + ".gz");
    return compressed;
  }

  // Update.tgz with the bill and a member "bomb.bin" of kBombBytes zeros,
  // made of concatenated gzip members so that it is quick to build.
  void makeBombPackage(const std::vector<BomLine>& bill, bool bombFirst) {
    const std::string billText = bomText("billofmaterials", bill);
    const std::string billPiece = gzipped(tarHeader("Update.xml", billText.size()) + padded(billText));
    const std::string zeros = gzipped(std::string(kMiB, '\0'));
    std::ofstream package(root_ / "Update.tgz", std::ios::binary | std::ios::trunc);
    if (!bombFirst) package << billPiece;
    package << gzipped(tarHeader("bomb.bin", kBombBytes));
    for (std::uint64_t written = 0; written < kBombBytes; written += kMiB) package << zeros;
    if (bombFirst) package << billPiece;
    package << gzipped(std::string(1024, '\0'));
  }
};

TEST_F(InstallerPackageLimitsTest, SmallPackageThatUnpacksHugeIsRefusedWithinLimits) {
  makeApplication();
  const fs::path before = snapshot();
  const std::vector<BomLine> unlisted = {{.relativepath = "Info.plist", .operation = "unchanged"}};
  // Listed, but one byte smaller than it is: within the package's bound, so
  // only the member's own size stops it from being written.
  BomLine listed{.relativepath = "bomb.bin", .packagepath = "bomb.bin", .operation = "add",
                 .size = std::to_string(kBombBytes - 1), .fingerprint = std::string(64, '0'),
                 .fingerprinttype = "sha256"};
  struct Case {
    const char* name;
    std::vector<BomLine> bill;
    bool bombFirst;
    int code;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"unlisted, after the bill", unlisted, false, KsPackageUnpackageFailed,
       "more than its bill of materials lists"},
      {"unlisted, before the bill", unlisted, true, KsPackageUnpackageFailed,
       "more than its bill of materials lists"},
      {"listed smaller", {listed}, true, KsFileVerifyFileSizeMismatch,
       "bomb.bin is 2147483648 installer expected 2147483647."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    makeBombPackage(c.bill, c.bombFirst);
    EXPECT_LT(fs::file_size(root_ / "Update.tgz"), 4 * kMiB);
    const fs::path definition = writeDefinition();
    const LimitedRun run = runLimited({UPDATE_INSTALLER_PROGRAM, definition.string()});
    EXPECT_EQ(c.code, run.status);
    EXPECT_LT(run.seconds, kSecondsLimit);
    EXPECT_LT(run.residentKiB, kResidentKiBLimit);
    const std::string status = statusOf(definition);
    EXPECT_EQ(std::to_string(c.code) + "\n", status.substr(0, status.find('\n') + 1)) << status;
    EXPECT_NE(std::string::npos, status.find(c.reason)) << status;
    EXPECT_TRUE(sameTree(before, installBase_));
    expectNoLeftovers();
    std::printf("[ figures  ] %s: %.2f s, %ld KiB resident\n", c.name, run.seconds, run.residentKiB);
  }
}

}  // namespace
}  // namespace hc::installer::test
