#include <gtest/gtest.h>

#include <cstring>
#include <cctype>
#include <set>
#include <sstream>
#include <thread>

#include "General/HcClassMap.h"
#include "Security/OpenSSLDigester.h"
#include "Security/OpenSSLSHA256Digester.h"
#include "SecurityTestSupport.h"
#include "Utilities/HcProperty.h"

namespace {

std::string DigestHex(OpenSSLDigester& digester) {
  KsRef<KsData> digest = digester.GetDigest();
  return digest ? HexOf(BytesOf(*digest)) : "(none)";
}

// Hands the bytes over as the movie digest does: length first, then a pointer.
void GiveBytes(KsDigester& digester, const std::string& bytes) {
  ASSERT_EQ(0, digester.SetDataLen(static_cast<uint32_t>(bytes.size())));
  ASSERT_EQ(0, digester.SetDataPtr(const_cast<char*>(bytes.data())));
}

// "openssl dgst -r" prints "<hex> *<file>".
std::string ToolDigestHex(const std::string& output) { return output.substr(0, output.find(' ')); }

// Every digest name the library lists, legacy aliases and provided names alike.
std::set<std::string> ListedDigestNames() {
  const std::string listing = OpenSSLCommand({"list", "-digest-algorithms"});
  std::set<std::string> names;
  const auto isNameCharacter = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("./_-", c);
  };
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    if (line.find(':') != std::string::npos) continue;  // section headings
    line = line.substr(0, line.find('@'));              // provider names
    std::string word;
    for (char c : line + ' ') {
      if (isNameCharacter(c)) {
        word += c;
      } else {
        if (!word.empty() && std::isalnum(static_cast<unsigned char>(word[0]))) names.insert(word);
        word.clear();
      }
    }
  }
  return names;
}

}  // namespace

TEST(Digester, NewDigestersStartWithTheirTypeAndEmptyData) {
  const struct {
    const char* className;
    const char* digestType;
    const char* digestOfNothing;
  } cases[] = {
      {"OpenSSLDigester", "sha1", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"OpenSSLSHA256Digester", "sha256", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
  };
  for (const auto& c : cases) {
    KsRef<OpenSSLDigester> digester = MakeObject<OpenSSLDigester>(c.className);
    ASSERT_TRUE(digester) << c.className;
    EXPECT_EQ(c.digestType, digester->GetDigestType().Str());
    ASSERT_TRUE(digester->GetData());
    EXPECT_EQ(0u, digester->GetDataLen());
    // No length set: the digest of zero bytes.
    EXPECT_EQ(c.digestOfNothing, DigestHex(*digester)) << c.className;
  }
  EXPECT_FALSE(MakeObject<KsDigester>("KsDigester"));
}

TEST(Digester, Sha256AndSha1OfAFileEqualOpensslDgst) {
  ScratchFolder folder;
  const std::string bytes = RandomBytes(3 * 1024 * 1024 + 17, 8);
  const std::string file = folder.Write("content", bytes).string();
  for (const char* type : {"sha256", "sha1"}) {
    const std::string expected = ToolDigestHex(OpenSSLCommand({"dgst", "-r", std::string("-") + type, file}));
    auto digester = KsMakeRef<OpenSSLDigester>();
    digester->SetDigestType(type);
    GiveBytes(*digester, bytes);
    EXPECT_EQ(expected, DigestHex(*digester)) << type;

    // The same through Base64 text, and as the Base64 text of the digest.
    auto fromText = KsMakeRef<OpenSSLDigester>();
    fromText->SetDigestType(type);
    ASSERT_EQ(0, fromText->SetDataBase64(Base64Of(bytes)));
    PWStringRef digestText;
    ASSERT_EQ(0, fromText->GetDigestBase64(&digestText));
    EXPECT_EQ(expected, HexOf(DecodeBase64(digestText))) << type;
  }
  OpenSSLSHA256Digester sha256;
  GiveBytes(sha256, bytes);
  PWStringRef digestText;
  ASSERT_EQ(0, sha256.GetDigestBase64(&digestText));
  EXPECT_EQ(44u, digestText.ByteLength());
}

// Every name the library offers that fits the digest type's 31 ASCII
// characters gives what "openssl dgst" gives for it, or no digest where the
// command has none either.
TEST(Digester, EveryListedDigestNameAgreesWithOpensslDgst) {
  ScratchFolder folder;
  const std::string bytes = RandomBytes(1000, 3);
  const std::string file = folder.Write("content", bytes).string();
  int compared = 0;
  for (const std::string& name : ListedDigestNames()) {
    if (name.size() > 31) continue;
    auto digester = KsMakeRef<OpenSSLDigester>();
    digester->SetDigestType(name);
    GiveBytes(*digester, bytes);
    const ToolResult tool = RunToolForResult({"openssl", "dgst", "-r", "-" + name, file});
    if (tool.exitStatus == 0) {
      EXPECT_EQ(ToolDigestHex(tool.output), DigestHex(*digester)) << name;
      ++compared;
    } else {
      EXPECT_EQ("(none)", DigestHex(*digester)) << name << ": " << tool.errors;
    }
  }
  EXPECT_GT(compared, 40);
}

TEST(Digester, UnknownDigestNamesGiveNoDigest) {
  for (const char* name : {"no-such-digest", "", "sha256sha256sha256sha256sha256sha256", "sh\u00e4256"}) {
    auto digester = KsMakeRef<OpenSSLDigester>();
    digester->SetDigestType(name);
    EXPECT_FALSE(digester->GetDigest()) << name;
    PWStringRef untouched("kept");
    EXPECT_EQ(-903, digester->GetDigestBase64(&untouched));
    EXPECT_EQ("kept", untouched.Str());
  }
  auto digester = KsMakeRef<OpenSSLDigester>();
  digester->SetDigestType(nullptr);
  EXPECT_FALSE(digester->GetDigest());
  // Names in any letter case, and the library's older aliases.
  digester->SetDigestType("RSA-SHA256");
  EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", DigestHex(*digester));
  EXPECT_EQ(-2, digester->GetDigestBase64(nullptr));
}

TEST(Digester, DataIsGivenOnceAsLengthThenBytes) {
  auto digester = KsMakeRef<OpenSSLSHA256Digester>();
  // Bytes before a length are refused.
  EXPECT_EQ(-903, digester->SetDataPtr(const_cast<char*>("abcde")));
  GiveBytes(*digester, "abcde");
  const std::string digest = DigestHex(*digester);
  EXPECT_EQ(-903, digester->SetDataLen(6));
  EXPECT_EQ(5u, digester->GetDataLen());
  EXPECT_EQ(-903, digester->SetDataPtr(const_cast<char*>("vwxyz")));
  EXPECT_EQ(digest, DigestHex(*digester));
  EXPECT_EQ("YWJjZGU=", digester->GetDataBase64().Str());

  // Each read computes afresh into a new buffer.
  KsRef<KsData> first = digester->GetDigest();
  KsRef<KsData> second = digester->GetDigest();
  EXPECT_NE(first.Get(), second.Get());
  EXPECT_EQ(BytesOf(*first), BytesOf(*second));

  // Writing through DataPtr after setting the length fills the buffer.
  auto written = KsMakeRef<OpenSSLSHA256Digester>();
  written->SetDataLen(5);
  std::memcpy(written->GetDataPtr(), "abcde", 5);
  EXPECT_EQ(digest, DigestHex(*written));
  EXPECT_EQ(-903, written->SetDataPtr(const_cast<char*>("vwxyz")));
}

// Base64 text replaces the data: a digester given new text never digests
// the bytes it held before.
TEST(Digester, Base64TextReplacesTheData) {
  auto digester = KsMakeRef<OpenSSLSHA256Digester>();
  ASSERT_EQ(0, digester->SetDataBase64(Base64Of("first")));
  KsRef<KsData> firstData = digester->GetData();
  ASSERT_EQ(0, digester->SetDataBase64(Base64Of("second")));
  EXPECT_EQ("second", BytesOf(*digester->GetData()));
  EXPECT_EQ("first", BytesOf(*firstData));
  EXPECT_EQ(-900, digester->SetDataBase64("not base64!"));
  EXPECT_FALSE(digester->GetData());
  EXPECT_FALSE(digester->GetDigest());
}

TEST(Digester, WithoutDataNothingIsDigestedUntilNewDataArrives) {
  auto digester = KsMakeRef<OpenSSLDigester>();
  EXPECT_EQ(0, digester->SetData(nullptr));
  EXPECT_EQ(0u, digester->GetDataLen());
  EXPECT_EQ(nullptr, digester->GetDataPtr());
  EXPECT_TRUE(digester->GetDataBase64().IsNull());
  EXPECT_FALSE(digester->GetDigest());
  PWStringRef text;
  EXPECT_EQ(-903, digester->GetDigestBase64(&text));
  EXPECT_EQ(0, digester->SetDataLen(4));
  EXPECT_FALSE(digester->GetData());
  // The byte setter makes a fresh, empty buffer first, which has no length.
  EXPECT_EQ(-903, digester->SetDataPtr(const_cast<char*>("abcd")));
  ASSERT_TRUE(digester->GetData());
  EXPECT_FALSE(digester->GetData()->HasLength());
}

TEST(Digester, PropertiesReachTheDigestByNameAndOnlyTypeAndDataAreSerialised) {
  KsRef<KsClassObject> classObject = OpenSSLDigester::ClassGetClassObject();
  EXPECT_EQ((std::set<std::string>{"DataBase64", "DigestType"}), OwnSerializedPropertyNames(classObject));
  auto digester = KsMakeRef<OpenSSLDigester>();
  ASSERT_EQ(0, classObject->FindProperty("DataBase64")->SetValue(digester.Get(), PWStringRef(Base64Of("abc"))));
  ASSERT_EQ(0, classObject->FindProperty("DigestType")->SetValue(digester.Get(), PWStringRef("SHA256")));
  PWStringRef digestText;
  KsRef<HcProperty> digestBase64 = classObject->FindProperty("DigestBase64");
  ASSERT_EQ(0, digestBase64->GetValue(digester.Get(), &digestText));
  EXPECT_EQ("ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0=", digestText.Str());
  EXPECT_FALSE(digestBase64->GetCanSet());
  EXPECT_FALSE(classObject->FindProperty("Digest")->GetCanSet());
  digester->SetDigestType("unknown");
  EXPECT_EQ(-903, digestBase64->GetValue(digester.Get(), &digestText));
  KsRef<KsObject> digest;
  EXPECT_EQ(0, classObject->FindProperty("Digest")->GetValue(digester.Get(), &digest));
  EXPECT_FALSE(digest);
}

// The first digests of the process, on many threads at once, set the
// library up once and agree.
TEST(Digester, FirstDigestsOnManyThreadsAgree) {
  const std::string bytes = RandomBytes(4096, 1);
  std::vector<std::string> results(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&, i] {
      auto digester = KsMakeRef<OpenSSLSHA256Digester>();
      digester->SetDataLen(static_cast<uint32_t>(bytes.size()));
      digester->SetDataPtr(const_cast<char*>(bytes.data()));
      results[i] = DigestHex(*digester);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const std::string& result : results) EXPECT_EQ(results[0], result);
  EXPECT_EQ(64u, results[0].size());
}
