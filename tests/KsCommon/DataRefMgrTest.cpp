#include "QuickTime/DataRefMgr.h"

#include <gtest/gtest.h>

#include <string>

#include "KsTrace.h"

namespace {

std::string RefText(const DataRefMgr& manager) {
  return manager.GetDataRef() != nullptr ? manager.GetDataRef()->Text() : std::string("<none>");
}

TEST(DataRefMgrTest, UrlReferenceHoldsItsTextAndAZero) {
  DataRefMgr manager;
  PWStringRef out("stale");
  EXPECT_EQ(manager.GetPath(&out), AppErr::kNoValue);  // a new manager has neither
  EXPECT_TRUE(out.IsNull());
  EXPECT_EQ(manager.GetURL(&out), AppErr::kNoValue);

  ASSERT_EQ(manager.SetURL("https://example.org/pano.mov"), AppErr::kNoErr);
  ASSERT_NE(manager.GetDataRef(), nullptr);
  const std::string expected = "https://example.org/pano.mov";
  const auto& bytes = manager.GetDataRef()->Bytes();
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected + std::string(1, '\0'));
  EXPECT_EQ(manager.GetDataRefType(), hc::playback::DataReference::kUrlType);
  out = "stale";
  EXPECT_EQ(manager.GetPath(&out), AppErr::kNoValue);
  EXPECT_TRUE(out.IsNull());
  ASSERT_EQ(manager.GetURL(&out), AppErr::kNoErr);
  EXPECT_EQ(out.Str(), expected);
  // A URL the playback layer cannot read keeps its text but has no reference.
  ASSERT_EQ(manager.SetURL("gopher://example.org/"), AppErr::kNoErr);
  EXPECT_EQ(manager.GetDataRef(), nullptr);
  EXPECT_EQ(manager.GetDataRefType(), 0u);
}

TEST(DataRefMgrTest, PathReplacesTheReferenceOnlyWhenItCanBeMade) {
  DataRefMgr manager;
  ASSERT_EQ(manager.SetPath("/movies/first.mov"), AppErr::kNoErr);
  EXPECT_EQ(RefText(manager), "/movies/first.mov");
  EXPECT_EQ(manager.GetDataRefType(), hc::playback::DataReference::kFileType);
  ASSERT_EQ(manager.SetPath("/movies/second.mov"), AppErr::kNoErr);
  EXPECT_EQ(RefText(manager), "/movies/second.mov");
  // A path the playback layer refuses: the string changes, the reference stays.
  EXPECT_LT(manager.SetPath(""), 0);
  PWStringRef out;
  ASSERT_EQ(manager.GetPath(&out), AppErr::kNoErr);
  EXPECT_EQ(out.Str(), "");
  EXPECT_EQ(RefText(manager), "/movies/second.mov");
  EXPECT_EQ(manager.SetPath(nullptr), AppErr::kBadArgument);
  EXPECT_EQ(manager.SetURL(nullptr), AppErr::kBadArgument);
  EXPECT_EQ(manager.GetPath(nullptr), AppErr::kBadArgument);
  EXPECT_EQ(manager.GetURL(nullptr), AppErr::kBadArgument);
}

}  // namespace
