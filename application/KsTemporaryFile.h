#pragma once

#include <string>
#include <string_view>

// An empty file made under a unique name in the temporary folder ($TMPDIR,
// else /tmp), readable by its owner only, removed when the object goes.
class KsTemporaryFile {
 public:
  // `stem` starts the name; six random characters follow it.
  explicit KsTemporaryFile(std::string_view stem);
  ~KsTemporaryFile();
  KsTemporaryFile(const KsTemporaryFile&) = delete;
  KsTemporaryFile& operator=(const KsTemporaryFile&) = delete;

  // "" when no file could be made.
  const std::string& GetPath() const { return m_path; }

 private:
  std::string m_path;
};
