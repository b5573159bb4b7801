#include "KsTemporaryFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "KsTrace.h"

KsTemporaryFile::KsTemporaryFile(std::string_view stem) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) folder = "/tmp";
  std::string pattern = (folder / std::string(stem)).string() + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = mkstemp(name.data());
  if (descriptor < 0) {
    KS_TRACE(KsTrace::kError, "No temporary file could be made in %s", folder.string());
    return;
  }
  close(descriptor);
  m_path = name.data();
}

KsTemporaryFile::~KsTemporaryFile() {
  if (!m_path.empty()) unlink(m_path.c_str());
}
