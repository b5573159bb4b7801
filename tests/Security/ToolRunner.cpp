#include "ToolRunner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

extern char** environ;

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "hc_test_XXXXXX").string();
  if (mkdtemp(pattern.data())) m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path ScratchFolder::Write(const std::string& name, const std::string& contents) const {
  const std::filesystem::path path = m_path / name;
  std::ofstream(path, std::ios::binary) << contents;
  return path;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ostringstream contents;
  contents << std::ifstream(path, std::ios::binary).rdbuf();
  return contents.str();
}

ToolResult RunToolForResult(const std::vector<std::string>& argv, const std::filesystem::path& inputFile) {
  ScratchFolder outputFolder;
  const std::filesystem::path outputFile = outputFolder.Path() / "stdout";
  const std::filesystem::path errorFile = outputFolder.Path() / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputFile.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawnError = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ToolResult result;
  if (spawnError != 0) return result;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  result.output = ReadFile(outputFile);
  result.errors = ReadFile(errorFile);
  return result;
}

std::string RunTool(const std::vector<std::string>& argv, const std::filesystem::path& inputFile) {
  ToolResult result = RunToolForResult(argv, inputFile);
  if (result.exitStatus != 0) ADD_FAILURE() << argv[0] << " failed: " << result.errors;
  return std::move(result.output);
}
