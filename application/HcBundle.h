#pragma once

#include <string>
#include <string_view>

#include "KsAppErr.h"
#include "platform/runtime/Class.h"

// A bundle folder: a shared library and the property list "Info.plist" that
// names it ("CFBundleExecutable", a file directly in the folder) and the
// bundle's principal class ("NSPrincipalClass"), with resources in the
// subfolder "Resources". Loading runs the library's initialisers, which
// make its classes in the object run time; the program that loads bundles
// exports the run time's symbols to them. Bundles stay loaded for the whole
// run.
class HcBundle {
 public:
  static constexpr size_t kMaxInfoBytes = 1u << 20;

  // Reads the bundle's property list. -607 when the folder or its property
  // list is missing, -630 when the list is no dictionary naming a library
  // file inside the folder.
  static eAppErr Open(std::string_view path, HcBundle* bundle);

  const std::string& GetPath() const { return m_path; }
  // Loads the library (once); -630 with the loader's message traced when
  // it can't be loaded.
  eAppErr Load();
  // The class named as principal, once loaded; null for none.
  hc::runtime::Class* GetPrincipalClass() const;
  // "Resources/<name>.<type>" in the bundle; "" when no such file exists or
  // the name would lead out of the folder.
  std::string PathForResource(std::string_view name, std::string_view type) const;

 private:
  std::string m_path;
  std::string m_executable;
  std::string m_principalClass;
  void* m_library = nullptr;
};
