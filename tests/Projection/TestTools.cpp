#include "TestTools.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

extern char** environ;

int RunTool(const std::vector<std::string>& args) {
  std::vector<std::string> copy = args;
  std::vector<char*> argv;
  for (std::string& arg : copy) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "projection-XXXXXX").string();
  if (mkdtemp(pattern.data())) m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
}

bool WritePgm(const std::filesystem::path& path, const GreyImage& image) {
  std::ofstream out(path, std::ios::binary);
  out << "P5\n" << image.width << " " << image.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
  return static_cast<bool>(out);
}

GreyImage ReadRawGrey(const std::filesystem::path& path, int width, int height) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  GreyImage image{width, height, {}};
  if (bytes.size() == static_cast<size_t>(width) * height) image.pixels = std::move(bytes);
  return image;
}
