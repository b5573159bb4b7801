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

// What a tool did: its exit status (-1 when it could not run or was killed)
// and what it wrote to standard output and standard error.
struct ToolResult {
  int exitStatus = -1;
  std::string output;
  std::string errors;
};

// Runs a tool found on PATH with the arguments (no shell), its standard input
// read from inputFile.
ToolResult RunToolForResult(const std::vector<std::string>& argv,
                            const std::filesystem::path& inputFile = "/dev/null");

// As above, but answers only what the tool wrote to standard output, and
// fails the current test when it could not run or exited non-zero.
std::string RunTool(const std::vector<std::string>& argv, const std::filesystem::path& inputFile);

// The whole contents of a file.
std::string ReadFile(const std::filesystem::path& path);
