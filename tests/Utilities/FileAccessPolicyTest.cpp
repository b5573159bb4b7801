// Path properties read only bounded regular files, and a graph parsed under
// a restricted policy reads only inside its folders.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "SerializationTestSupport.h"
#include "Utilities/Chameleon.h"
#include "Utilities/FileAccessPolicy.h"
#include "Utilities/HcMLLoader.h"
#include "Utilities/XMLLexer.h"

namespace {

constexpr const char* kXsi = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

std::string LoaderDocument(const std::string& path) {
  return std::string("<Loader ") + kXsi + " xsi:type=\"HcMLLoader\"><HcMLToLoadPath><![CDATA[" + path +
         "]]></HcMLToLoadPath></Loader>";
}

// Parses the document into a holder under the policy; answers the loader it
// made (empty when none).
KsRef<HcMLLoader> ParseLoader(const std::string& text, const FileAccessPolicy& policy, RecordingReporter* reporter) {
  auto holder = KsMakeRef<Chameleon>();
  auto parser = KsMakeRef<Parser>();
  parser->SetLexer(KsMakeRef<XMLLexer>());
  parser->SetRootObject(holder);
  parser->SetReporter(reporter);
  parser->RestrictFileAccess(policy);
  parser->Parse(text.data(), text.size());
  return holder->GetPropValue().DynamicCast<HcMLLoader>();
}

// A movie folder and a resource folder, a file beside them, and the ways
// out of the movie folder a document might try.
class FileAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder.Path() / "movie" / "sub");
    std::filesystem::create_directories(folder.Path() / "resources");
    folder.Write("movie/inside.hcml", "inside");
    folder.Write("movie/sub/deeper.hcml", "deeper");
    folder.Write("resources/shared.hcml", "shared");
    folder.Write("outside.hcml", "outside");
    std::filesystem::create_symlink(folder.Path() / "outside.hcml", folder.Path() / "movie" / "link.hcml");
    movie = (folder.Path() / "movie").string();
    resources = (folder.Path() / "resources").string();
    outside = (folder.Path() / "outside.hcml").string();
  }

  FileAccessPolicy MoviePolicy() const { return FileAccessPolicy::InsideFolders({movie, resources}); }

  TempFolder folder;
  std::string movie;
  std::string resources;
  std::string outside;
  RecordingReporter reporter;
};

}  // namespace

TEST_F(FileAccess, OnlyBoundedRegularFilesAreRead) {
  const std::string fifo = (folder.Path() / "fifo").string();
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  const std::string large = (folder.Path() / "large").string();
  folder.Write("large", "");
  // Sparse: the size is what counts, not the bytes on disk.
  std::filesystem::resize_file(large, FileAccessPolicy::kMaxFileBytes + 1);
  folder.Write("latin1", "caf\xE9");
  folder.Write("empty", "");

  struct Case {
    std::string path;
    eAppErr expected;
    const char* text;
  };
  const Case cases[] = {
      {outside, 0, "outside"},
      {(folder.Path() / "empty").string(), 0, ""},
      {(folder.Path() / "missing").string(), -2, nullptr},
      {folder.Path().string(), -2, nullptr},
      {"/dev/zero", -2, nullptr},
      {"/dev/null", -2, nullptr},
      {fifo, -2, nullptr},
      {large, -2, nullptr},
      {(folder.Path() / "latin1").string(), -2, nullptr},
      {"", -2, nullptr},
  };
  const FileAccessPolicy anywhere;
  const auto start = std::chrono::steady_clock::now();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    PWStringRef text;
    EXPECT_EQ(c.expected, anywhere.ReadText(PWStringRef(c.path), &text));
    if (c.text) {
      EXPECT_EQ(c.text, text.Str());
    }
  }
  // A pipe nobody writes to is refused at once, not waited on.
  EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
}

TEST_F(FileAccess, ADocumentsLoaderReadsNoDeviceAndNoFileOfAnotherKind) {
  for (const std::string& path : {std::string("/dev/zero"), std::string("/dev/urandom"), movie}) {
    SCOPED_TRACE(path);
    reporter.warnings.clear();
    KsRef<HcMLLoader> loader = ParseLoader(LoaderDocument(path), FileAccessPolicy(), &reporter);
    ASSERT_TRUE(loader);
    EXPECT_TRUE(loader->GetHcMLToLoad().IsNull());
    ASSERT_EQ(1u, reporter.warnings.size());
    EXPECT_EQ(-2, reporter.warnings[0].code);
  }
}

TEST_F(FileAccess, AGraphFromAMovieReadsOnlyInsideItsFolders) {
  struct Case {
    std::string path;
    const char* text;  // null: refused
  };
  const Case cases[] = {
      {"inside.hcml", "inside"},
      {"sub/deeper.hcml", "deeper"},
      {movie + "/inside.hcml", "inside"},
      {resources + "/shared.hcml", "shared"},
      {outside, nullptr},
      {"../outside.hcml", nullptr},
      {"link.hcml", nullptr},
      {"/etc/passwd", nullptr},
      {movie + "/../outside.hcml", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    reporter.warnings.clear();
    KsRef<HcMLLoader> loader = ParseLoader(LoaderDocument(c.path), MoviePolicy(), &reporter);
    ASSERT_TRUE(loader);
    if (c.text) {
      EXPECT_EQ(c.text, loader->GetHcMLToLoad().Str());
      EXPECT_TRUE(reporter.warnings.empty());
    } else {
      EXPECT_TRUE(loader->GetHcMLToLoad().IsNull());
      EXPECT_TRUE(reporter.Saw("Property-set failed"));
    }
  }
  // The same document from the application's own files reads anywhere.
  KsRef<HcMLLoader> trusted = ParseLoader(LoaderDocument(outside), FileAccessPolicy(), &reporter);
  ASSERT_TRUE(trusted);
  EXPECT_EQ("outside", trusted->GetHcMLToLoad().Str());
}

TEST_F(FileAccess, WhatAnUntrustedDocumentMakesStaysRestricted) {
  KsRef<HcMLLoader> loader = ParseLoader(LoaderDocument("inside.hcml"), MoviePolicy(), &reporter);
  ASSERT_TRUE(loader);
  // After the parse, from trusted code: still the movie's folders only.
  EXPECT_TRUE(loader->GetFileAccess().IsRestricted());
  EXPECT_EQ(-2, loader->SetHcMLToLoadPath(PWStringRef(outside)));
  EXPECT_EQ(0, loader->SetHcMLToLoadPath(PWStringRef(resources + "/shared.hcml")));
  // Its own parsers are as restricted: what it loads can't widen it again.
  EXPECT_TRUE(loader->GetParser()->GetFileAccess().IsRestricted());

  // A loader that is handed the nested document reads under the movie's
  // policy too, though it was made by trusted code.
  auto trustedLoader = KsMakeRef<HcMLLoader>();
  auto holder = KsMakeRef<Chameleon>();
  trustedLoader->SetRootObject(holder);
  trustedLoader->RestrictFileAccess(MoviePolicy());
  trustedLoader->SetHcMLToLoad(PWStringRef(LoaderDocument(outside)));
  EXPECT_EQ(0, trustedLoader->LoadHcML());
  KsRef<HcMLLoader> nested = holder->GetPropValue().DynamicCast<HcMLLoader>();
  ASSERT_TRUE(nested);
  EXPECT_TRUE(nested->GetHcMLToLoad().IsNull());
}

TEST_F(FileAccess, PoliciesOnlyEverNarrow) {
  const FileAccessPolicy anywhere;
  const FileAccessPolicy moviePolicy = MoviePolicy();
  const FileAccessPolicy sub = FileAccessPolicy::InsideFolders({movie + "/sub"});
  EXPECT_FALSE(anywhere.IsRestricted());
  EXPECT_EQ(moviePolicy.GetFolders(), anywhere.NarrowedBy(moviePolicy).GetFolders());
  EXPECT_EQ(moviePolicy.GetFolders(), moviePolicy.NarrowedBy(anywhere).GetFolders());
  EXPECT_EQ(sub.GetFolders(), moviePolicy.NarrowedBy(sub).GetFolders());
  EXPECT_EQ(sub.GetFolders(), sub.NarrowedBy(moviePolicy).GetFolders());
  // Folders that don't meet leave nothing readable.
  const FileAccessPolicy none = sub.NarrowedBy(FileAccessPolicy::InsideFolders({resources}));
  EXPECT_TRUE(none.IsRestricted());
  EXPECT_TRUE(none.GetFolders().empty());
  PWStringRef text;
  EXPECT_EQ(-2, none.ReadText(PWStringRef(resources + "/shared.hcml"), &text));
  EXPECT_EQ(-2, none.ReadText(PWStringRef("inside.hcml"), &text));

  // A scope narrows what is in force on the thread; an inner scope can't widen it.
  EXPECT_FALSE(FileAccessPolicy::Current().IsRestricted());
  {
    const FileAccessPolicy::Scope outer(moviePolicy);
    const FileAccessPolicy::Scope inner(anywhere);
    EXPECT_EQ(moviePolicy.GetFolders(), FileAccessPolicy::Current().GetFolders());
    // A parser made now carries the restriction into its own parses.
    EXPECT_TRUE(KsMakeRef<Parser>()->GetFileAccess().IsRestricted());
    EXPECT_EQ(-2, KsMakeRef<HcMLLoader>()->SetHcMLToLoadPath(PWStringRef(outside)));
  }
  EXPECT_FALSE(FileAccessPolicy::Current().IsRestricted());
  EXPECT_EQ(0, KsMakeRef<HcMLLoader>()->SetHcMLToLoadPath(PWStringRef(outside)));
}
