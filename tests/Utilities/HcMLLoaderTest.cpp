#include <gtest/gtest.h>

#include "General/WeakRef.h"
#include "SerializationTestClasses.h"
#include "SerializationTestSupport.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/LocalPathResolver.h"

namespace {

class HcMLLoading : public ::testing::Test {
 protected:
  void SetUp() override { RegisterSerializationTestClasses(); }
};

const char* kDocument =
    "<Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"SerialSample\">"
    "<Int>21</Int><Other xsi:type=\"SerialSample\" href=\"hc://RootObject\"/></Child>";

}  // namespace

TEST_F(HcMLLoading, EachLoadRunsAFreshParserIntoTheSameRoot) {
  auto loader = KsMakeRef<HcMLLoader>();
  auto holder = KsMakeRef<Sample>();
  auto pathRoot = KsMakeRef<Sample>();
  auto target = KsMakeRef<Sample>();
  pathRoot->SetChild(target);
  ASSERT_EQ(0, loader->SetPathRoot(pathRoot));
  ASSERT_EQ(0, loader->SetRootObject(holder));
  ASSERT_EQ(0, loader->SetHcMLToLoad(
                   "<Child xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xsi:type=\"SerialSample\">"
                   "<Int>21</Int><Other xsi:type=\"SerialSample\" href=\"hc://Child\"/></Child>"));
  KsRef<Parser> first = loader->GetParser();
  ASSERT_EQ(0, loader->LoadHcML());
  KsRef<Sample> loaded = holder->GetChild();
  ASSERT_TRUE(loaded);
  EXPECT_EQ(21, loaded->GetInt());
  EXPECT_EQ(target.Get(), loaded->GetOther().Get());

  EXPECT_NE(first.Get(), loader->GetParser().Get());
  EXPECT_EQ(holder.Get(), loader->GetRootObject().Get());
  EXPECT_EQ(pathRoot.Get(), loader->GetPathRoot().Get());
  ASSERT_EQ(0, loader->LoadHcML());
  EXPECT_NE(loaded.Get(), holder->GetChild().Get());
  EXPECT_EQ(target.Get(), holder->GetChild()->GetOther().Get());
}

TEST_F(HcMLLoading, WithoutAPathRootTheLoaderAnswersPathsAndIsStillFreed) {
  WeakRef::Ref watch;
  auto holder = KsMakeRef<Sample>();
  {
    auto loader = KsMakeRef<HcMLLoader>();
    watch = WeakRef::GetWeakRef(loader.Get());
    loader->SetRootObject(holder);
    loader->SetHcMLToLoad(kDocument);
    EXPECT_EQ(loader.Get(), loader->GetPathRoot().Get());
    ASSERT_EQ(0, loader->LoadHcML());
    ASSERT_TRUE(holder->GetChild());
    EXPECT_EQ(holder.Get(), holder->GetChild()->GetOther().Get());
    holder->GetChild()->SetOther(nullptr);
  }
  EXPECT_FALSE(WeakRef::GetTarget(watch.Get()));
}

TEST_F(HcMLLoading, TextFromAFileAndRefusals) {
  auto loader = KsMakeRef<HcMLLoader>();
  EXPECT_EQ(-903, loader->LoadHcML());
  TempFolder folder;
  const std::string path = folder.Write("doc.hcml", kDocument).string();
  auto property = loader->GetClassObject()->FindProperty("HcMLToLoadPath");
  ASSERT_TRUE(property);
  EXPECT_EQ(0, property->SetValue(loader.Get(), PWStringRef(path)));
  EXPECT_EQ(kDocument, loader->GetHcMLToLoad().Str());
  PWStringRef read;
  EXPECT_LT(property->GetValue(loader.Get(), &read), 0);
  EXPECT_EQ(-2, loader->SetHcMLToLoadPath((folder.Path() / "missing").string()));
  EXPECT_EQ(kDocument, loader->GetHcMLToLoad().Str());

  // A parser whose resolver is not a path resolver has no path root to set.
  auto parser = KsMakeRef<Parser>();
  parser->SetExternalPathResolver(KsMakeRef<LocalPathResolver>());
  loader->SetParser(parser);
  EXPECT_EQ(-903, loader->SetPathRoot(KsMakeRef<Sample>()));
  EXPECT_FALSE(loader->GetPathRoot());
}
