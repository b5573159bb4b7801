#include "installer/Source/BOMXML.h"

#include <gtest/gtest.h>

namespace hc::installer {
namespace {

TEST(InstallerBOMXMLTest, ReadsEveryAttributeByItsType) {
  const std::string text =
      "<?xml version=\"1.0\"?><billofmaterials>\n<file>\n"
      "<relativepath> Contents/My File.txt</relativepath><packagepath>p/f</packagepath>"
      "<operation>add</operation><location>here</location><permissions>493</permissions>"
      "<createdate>2008-03-01 12:30:00 +0100</createdate>"
      "<modifydate>2008-03-01 11:30:00 +0000</modifydate><size>5000000000</size>"
      "<fingerprint>abc</fingerprint><fingerprinttype>sha1</fingerprinttype>"
      "<link>../x</link><filetype>file</filetype>\n</file>\n"
      "<file><relativepath>second</relativepath></file></billofmaterials>";
  auto entries = BOMXML::billOfMaterials(text);
  ASSERT_TRUE(entries);
  ASSERT_EQ(2u, entries->size());
  const BomEntry& entry = (*entries)[0];
  EXPECT_EQ(12u, entry.size());
  EXPECT_EQ(" Contents/My File.txt", *BOMXML::stringValue(entry, "relativepath"));
  EXPECT_EQ(493u, *BOMXML::numberValue(entry, "permissions"));
  EXPECT_EQ(5000000000u, *BOMXML::numberValue(entry, "size"));
  EXPECT_EQ(BomValue(BomDate{1204371000}), entry.at("createdate"));
  EXPECT_EQ(entry.at("createdate"), entry.at("modifydate"));
  EXPECT_EQ("../x", *BOMXML::stringValue(entry, "link"));
  EXPECT_EQ(1u, (*entries)[1].size());
  // The catalog reader wants its own root.
  EXPECT_FALSE(BOMXML::catalog(text));
}

TEST(InstallerBOMXMLTest, DocumentWithoutItsRootElementIsNoDocument) {
  for (const char* text : {"", "<file><size>1</size></file>", "<billofmaterials><file></file>",
                           "</billofmaterials><billofmaterials>", "<catalog></catalog>"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(BOMXML::billOfMaterials(text));
  }
  auto empty = BOMXML::billOfMaterials("<billofmaterials></billofmaterials>");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
}

TEST(InstallerBOMXMLTest, MalformedBlocksAndValuesReadAsAbsent) {
  auto entries = BOMXML::catalog(
      "<catalog></file><file><size>12abc</size><permissions>-1</permissions>"
      "<createdate>yesterday</createdate><relativepath>a</relativepath></file>"
      "<file><size> 7 </size><link>x</file></catalog>");
  ASSERT_TRUE(entries);
  ASSERT_EQ(2u, entries->size());
  const BomEntry& first = (*entries)[0];
  EXPECT_EQ(1u, first.size());
  EXPECT_EQ("a", *BOMXML::stringValue(first, "relativepath"));
  EXPECT_FALSE(BOMXML::numberValue(first, "size"));
  const BomEntry& second = (*entries)[1];
  EXPECT_EQ(7u, *BOMXML::numberValue(second, "size"));
  EXPECT_FALSE(BOMXML::stringValue(second, "link"));
  EXPECT_FALSE(BOMXML::numberValue(second, "relativepath"));
}

TEST(InstallerBOMXMLTest, AttributeTemplateListsTheTwelveAttributesInOrder) {
  const auto& attributes = BOMXML::_kscatalog_fileAttributes();
  ASSERT_EQ(12u, attributes.size());
  EXPECT_EQ("relativepath", attributes.front().key);
  EXPECT_EQ("filetype", attributes.back().key);
  EXPECT_EQ("NSNumber", attributes[4].type);
  EXPECT_EQ("%d", attributes[4].format);
  EXPECT_EQ("%Y-%m-%d %H:%M:%S %z", attributes[5].format);
}

}  // namespace
}  // namespace hc::installer
