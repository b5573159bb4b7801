#pragma once

#include <filesystem>
#include <string>

// A fresh folder below the system's temporary folder, removed with everything
// in it when the object goes.
class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path File(const std::string& name) const { return m_path / name; }
  // Writes `contents` to the file `name` and answers its path.
  std::string Write(const std::string& name, const std::string& contents) const;

 private:
  std::filesystem::path m_path;
};
