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

std::string RunTool(const std::vector<std::string>& argv, const std::filesystem::path& inputFile) {
  ScratchFolder outputFolder;
  const std::filesystem::path outputFile = outputFolder.Path() / "stdout";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputFile.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int spawnError = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawnError != 0) {
    ADD_FAILURE() << "could not start " << argv[0];
    return {};
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) ADD_FAILURE() << argv[0] << " failed";
  std::ostringstream output;
  output << std::ifstream(outputFile, std::ios::binary).rdbuf();
  return output.str();
}
