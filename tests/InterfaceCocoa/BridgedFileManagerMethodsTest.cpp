#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "FileTestSupport.h"
#include "General/CocoaBridge.h"
#include "General/KsStringCollection.h"
#include "InterfaceCommon/ProgressReport.h"
#include "Utilities/FileManager.h"
#include "platform/runtime/MessageSend.h"

namespace rt = hc::runtime;

namespace {

using V = rt::Value;

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::vector<std::string> Names(const KsRef<KsStringCollection>& names) {
  std::vector<std::string> list;
  for (uint32_t i = 0; names && i < names->GetCount(); ++i) list.push_back(names->GetByIndex(i).Str());
  return list;
}

}  // namespace

TEST(BridgedFileManagerMethodsTest, SelectorsActOnTheFileSystemAsTheirOperations) {
  ScratchFolder scratch;
  auto manager = KsMakeRef<FileManager>();
  rt::ObjectRef id = GetCocoaObject(manager.Get());
  const auto send = [&](const char* selector, std::initializer_list<V> arguments) {
    V result;
    EXPECT_EQ(rt::Send(id.Get(), selector, arguments, &result), rt::RuntimeErr::Ok) << selector;
    return result;
  };

  EXPECT_EQ(send("createDirectory:", {V::String(scratch / "made")}), V::Int(0));
  EXPECT_TRUE(Exists(scratch / "made"));
  EXPECT_EQ(send("createDirectory:", {V::String(scratch / "no/parent")}),
            V::Int(FileManager::CreateDirectory(scratch / "no/parent")));
  std::ofstream(scratch / "made/a.txt") << "a";

  // The file name comes first, then the folder.
  EXPECT_EQ(send("uniqueFilename:atPath:", {V::String("a.txt"), V::String(scratch / "made")}),
            V::String(FileManager::UniqueFilename(scratch / "made", "a.txt").Str()));

  const V listed = send("listDirectory:", {V::String(scratch / "made")});
  EXPECT_EQ(Names(KsObjectFromCocoa(listed.GetObject()).DynamicCast<KsStringCollection>()),
            Names(FileManager::ListDirectory(scratch / "made")));

  // A copy answers its report; waiting on it through its own selector runs
  // the copy to its end.
  const V report = send("copyFrom:toDirectory:withName:replacing:",
                        {V::String(scratch / "made/a.txt"), V::String(scratch.Path()), V::String("b.txt"),
                         V::Bool(false)});
  ASSERT_TRUE(KsObjectFromCocoa(report.GetObject()).DynamicCast<ProgressReport>());
  send("start", {});
  V waited;
  ASSERT_EQ(rt::Send(report.GetObject(), "wait", {}, &waited), rt::RuntimeErr::Ok);
  EXPECT_EQ(waited, V::Int(22));
  EXPECT_TRUE(Exists(scratch / "b.txt"));

  auto mover = KsMakeRef<FileManager>();
  V moveReport;
  ASSERT_EQ(rt::Send(GetCocoaObject(mover.Get()).Get(), "moveFrom:toDirectory:withName:replacing:",
                     {V::String(scratch / "b.txt"), V::String(scratch / "made"), V::String("c.txt"), V::Bool(false)},
                     &moveReport),
            rt::RuntimeErr::Ok);
  rt::Send(GetCocoaObject(mover.Get()).Get(), "start", {});
  rt::Send(moveReport.GetObject(), "wait", {}, &waited);
  EXPECT_EQ(waited, V::Int(22));
  EXPECT_TRUE(Exists(scratch / "made/c.txt"));
  EXPECT_FALSE(Exists(scratch / "b.txt"));

  EXPECT_EQ(send("deleteFileAtPath:", {V::String(scratch / "made/a.txt")}), V::Int(0));
  EXPECT_FALSE(Exists(scratch / "made/a.txt"));
  EXPECT_EQ(send("deleteFileAtPath:", {V::String(scratch / "missing")}),
            V::Int(FileManager::DeleteFileAtPath(scratch / "missing")));
  EXPECT_EQ(send("deleteDirectory:recursively:", {V::String(scratch / "made"), V::Bool(false)}),
            V::Int(FileManager::DeleteDirectory(scratch / "made", false)));
  EXPECT_TRUE(Exists(scratch / "made"));
  EXPECT_EQ(send("deleteDirectory:recursively:", {V::String(scratch / "made"), V::Bool(true)}), V::Int(0));
  EXPECT_FALSE(Exists(scratch / "made"));
}
