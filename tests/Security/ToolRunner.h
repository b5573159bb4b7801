#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A private temporary folder for one test, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::filesystem::path Write(const std::string& name, const std::string& contents) const;
  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

// Runs a tool found on PATH with the arguments (no shell), its standard input
// read from inputFile; answers what it wrote to standard output, or fails the
// current test when it could not run or exited non-zero.
std::string RunTool(const std::vector<std::string>& argv, const std::filesystem::path& inputFile);
