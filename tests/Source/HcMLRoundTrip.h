#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "FileTestSupport.h"
#include "General/KsObject.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLStringEmitter.h"

// Writing a source as HcML, checking the text with xmllint and loading it back.
namespace hcmlroundtrip {

inline bool XmllintAccepts(const std::string& text) {
  ScratchFolder folder;
  const std::string path = folder / "objects.hcml";
  std::ofstream(path) << text;
  return RunTool({"xmllint", "--noout", path}) == 0;
}

// The object written as HcML (checked by xmllint) and loaded back into a list.
template <class List>
KsRef<KsObject> RoundTrip(const KsRef<KsObject>& object, const char* element, std::string* text) {
  const PWStringRef written = WriteObjectToHcMLString(object, element);
  EXPECT_TRUE(written);
  if (!written) return {};
  *text = written.Str();
  EXPECT_TRUE(XmllintAccepts(*text)) << *text;
  auto list = KsMakeRef<List>();
  auto loader = KsMakeRef<HcMLLoader>();
  loader->SetRootObject(list);
  loader->SetHcMLToLoad(written);
  EXPECT_EQ(0, loader->LoadHcML()) << *text;
  EXPECT_EQ(1u, list->GetCount()) << *text;
  return list->GetCount() == 1 ? list->GetByIndex(0) : KsRef<KsObject>();
}

}  // namespace hcmlroundtrip
