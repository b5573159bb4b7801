#include "TestFolder.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

TestFolder::TestFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kscommon-test.XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_path = pattern;
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string TestFolder::Write(const std::string& name, const std::string& contents) const {
  const std::filesystem::path path = File(name);
  std::ofstream(path, std::ios::binary) << contents;
  return path.string();
}
