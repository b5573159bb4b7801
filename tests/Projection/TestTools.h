#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Runs a program from PATH with the arguments (no shell); its exit status,
// or -1 when it could not run.
int RunTool(const std::vector<std::string>& argv);

// A private folder removed with its contents.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

// An 8-bit grey image, rows top to bottom.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool WritePgm(const std::filesystem::path& path, const GreyImage& image);
// A raw grey frame of the given size; empty pixels when the file is short.
GreyImage ReadRawGrey(const std::filesystem::path& path, int width, int height);
