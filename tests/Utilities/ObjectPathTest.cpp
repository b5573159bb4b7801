#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ReflectTestClasses.h"
#include "Utilities/HcPathResolver.h"
#include "Utilities/HcProperty.h"
#include "Utilities/LocalPathResolver.h"
#include "Utilities/ObjectPath.h"
#include "Utilities/ObjectReference.h"
#include "Utilities/UUIDHelpers.h"

namespace {

std::string UUIDText(const KsObject& object) {
  char text[kUUIDCStringSize];
  UUIDToCString(object.UUID(), text);
  return text;
}

// root ── Partner: "partner"
//      └─ Parts: P0 … P4; P1.Partner is "deep"; P4 has a UUID.
class ObjectPathFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    root = MakeSprocketWithParts(5);
    root->SetName("root");
    auto partner = KsMakeRef<Sprocket>();
    partner->SetName("partner");
    root->SetPartner(partner);
    auto deep = KsMakeRef<Sprocket>();
    deep->SetName("deep");
    Part(1)->SetPartner(deep);
    Part(4)->AssignUUID();
  }
  KsRef<Sprocket> Part(uint32_t index) const { return root->GetParts()->GetByIndex(index); }

  KsRef<Sprocket> root;
};

struct PathCase {
  const char* path;
  eAppErr expected;
  // The name of the object reached; nullopt for none.
  std::optional<std::string> object;
};

TEST_F(ObjectPathFixture, ResolvesEveryKindOfPart) {
  const std::string uuid4 = UUIDText(*Part(4));
  const std::string p4 = "hc://Parts(" + uuid4 + ")";
  const PathCase cases[] = {
      {"", 0, "root"},
      {"hc://", 0, "root"},
      {"HC://", 0, "root"},
      {"hc://Partner", 0, "partner"},
      {"hc://.Partner", 0, "partner"},
      {"Hc://pARTNER", 0, "partner"},
      {"hc://Parts[0]", 0, "P0"},
      {"hc://Parts[0", 0, "P0"},
      {"hc://Parts[0}", 0, "P0"},
      {"hc://Parts[ 2]", 0, "P2"},
      {"hc://Parts[3x]", 0, "P3"},
      {"hc://Parts[1].Partner", 0, "deep"},
      {"hc://Parts[1]Partner", 0, "deep"},
      {"hc://Parts[2].Partner", 0, std::nullopt},
      {"hc://Parts{P3}", 0, "P3"},
      {"hc://parts{P3}", 0, "P3"},
      {p4.c_str(), 0, "P4"},
      // Failures.
      {"xx://Partner", -2, std::nullopt},
      {"hc:/", -2, std::nullopt},
      {"hc:/Partner", -2, std::nullopt},
      {"hc://Partner.", -607, std::nullopt},
      {"hc://Partner..Name", -905, std::nullopt},
      {"hc://Parts[]", -2, std::nullopt},
      {"hc://Parts[-1]", -609, std::nullopt},
      {"hc://Parts[5]", -609, std::nullopt},
      {"hc://Parts[2].Partner.Partner", -905, std::nullopt},
      {"hc://Parts{p3}", -607, std::nullopt},
      {"hc://Parts(no-uuid)", -2, std::nullopt},
      {"hc://Parts(6F9619FF-8B86-D011-B42D-00C04FC964FF)", -607, std::nullopt},
      {"hc://Partner{x}", -2, std::nullopt},
      {"hc://Partner[0]", -2, std::nullopt},
      {"hc://NoSuchProperty", -607, std::nullopt},
      {"hc://Label", -2, std::nullopt},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    KsRef<KsObject> result = KsMakeRef<Sprocket>();  // a stale value to be replaced
    const eAppErr err = ResolveObjectPath(c.path, root, &result);
    EXPECT_EQ(c.expected, err);
    if (err == -905) continue;  // the result is left as it was
    if (c.object) {
      ASSERT_TRUE(result);
      EXPECT_EQ(*c.object, result->GetName().Str());
    } else if (c.expected != -2 || std::string(c.path).rfind("hc://", 0) == 0) {
      EXPECT_TRUE(result.IsEmpty());
    }
  }
}

TEST_F(ObjectPathFixture, HandsOutTheDescriptorOfTheLastPart) {
  KsRef<KsObject> result;
  KsRef<HcProperty> property;
  EXPECT_EQ(-2, ResolveObjectPath("hc://Label", root, &result, &property));
  ASSERT_TRUE(property);
  EXPECT_EQ(PWStringRef("Label"), property->GetName());

  EXPECT_EQ(0, ResolveObjectPath("hc://Parts[1].Partner", root, &result, &property));
  ASSERT_TRUE(property);
  EXPECT_EQ(204, property->GetPropertyID());

  EXPECT_EQ(0, ResolveObjectPath("hc://Parts[1]", root, &result, &property));
  ASSERT_TRUE(property);
  EXPECT_EQ(PWStringRef("Sprocket"), property->GetName());  // the element property
}

TEST_F(ObjectPathFixture, RefusesMissingArguments) {
  KsRef<KsObject> result;
  EXPECT_EQ(-2, ResolveObjectPath("hc://Partner", KsRef<KsObject>(), &result));
  EXPECT_EQ(-2, ResolveObjectPath("hc://Partner", root, nullptr));
  EXPECT_EQ(-2, ResolveObjectPathInternal(PWStringRef(), root, &result));
  EXPECT_EQ(-2, ResolveFirstObjectInPath("Partner", KsRef<KsObject>(), &result));
}

struct SplitCase {
  const char* path;
  ObjectPathPartKind kind;
  const char* text;
  const char* rest;  // null for none
};

TEST(SplitObjectPath, SplitsOffTheFirstPart) {
  using K = ObjectPathPartKind;
  const SplitCase cases[] = {
      {"View.Name", K::kProperty, "View", ".Name"},
      {".View", K::kProperty, "View", nullptr},
      {"A.B", K::kProperty, "A", ".B"},
      {"{main}.X", K::kName, "main", ".X"},
      {"[3]", K::kIndex, "3", nullptr},
      {"[0.View", K::kIndex, "0", ".View"},
      {"[0}[1]", K::kIndex, "0", "[1]"},
      {"(abc)", K::kUUID, "abc", nullptr},
      {"View.", K::kProperty, "View", "."},
      {".", K::kProperty, "", nullptr},
      {"[]", K::kIndex, "", nullptr},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.path);
    ObjectPathPartKind kind{};
    PWStringRef text;
    PWStringRef rest;
    ASSERT_EQ(0, SplitObjectPath(c.path, &kind, &text, &rest));
    EXPECT_EQ(c.kind, kind);
    EXPECT_EQ(PWStringRef(c.text), text);
    EXPECT_EQ(PWStringRef(c.rest), rest);
  }
  ObjectPathPartKind kind{};
  PWStringRef text;
  EXPECT_EQ(-2, SplitObjectPath(PWStringRef(), &kind, &text, &text));
  EXPECT_EQ(-2, SplitObjectPath("A", nullptr, &text, &text));
}

TEST(IsRootObjectPath, TakesNullEmptyAndTheBareSchemeInAnyCase) {
  EXPECT_TRUE(IsRootObjectPath(PWStringRef()));
  EXPECT_TRUE(IsRootObjectPath(""));
  EXPECT_TRUE(IsRootObjectPath("hc://"));
  EXPECT_TRUE(IsRootObjectPath("hC://"));
  EXPECT_FALSE(IsRootObjectPath("hc:/"));
  EXPECT_FALSE(IsRootObjectPath("hc://x"));
}

TEST_F(ObjectPathFixture, HcPathResolverResolvesOurSchemeOnly) {
  auto resolver = KsMakeRef<HcPathResolver>();
  EXPECT_TRUE(resolver->GetObjectForPath("hc://").IsEmpty());
  EXPECT_TRUE(resolver->GetObjectForPath("hc://Partner").IsEmpty());

  EXPECT_EQ(0, resolver->SetRootObject(root));
  EXPECT_EQ(root, resolver->GetObjectForPath("hc://"));
  EXPECT_EQ(root, resolver->GetObjectForPath("HC://"));
  EXPECT_EQ(root->GetPartner(), resolver->GetObjectForPath("hc://Partner"));
  EXPECT_EQ(root->GetPartner(), resolver->GetObjectForPath("Hc://Partner"));
  EXPECT_TRUE(resolver->GetObjectForPath("xx://Partner").IsEmpty());
  EXPECT_TRUE(resolver->GetObjectForPath("#obj1").IsEmpty());
  EXPECT_TRUE(resolver->GetObjectForPath("hc://Parts[9]").IsEmpty());
  EXPECT_TRUE(resolver->LooksLikeMyPath("HC://x"));
  EXPECT_FALSE(resolver->LooksLikeMyPath("#x"));

  // The root is a property of the resolver and announced when set.
  auto recorder = KsMakeRef<NoticeRecorder>();
  resolver->AddObserver(recorder, "RootObject", 0);
  resolver->SetRootObject(root);
  EXPECT_EQ(1u, recorder->names.size());
}

TEST(LocalPathResolver, LooksIdsUpWithOrWithoutHashInAnyCase) {
  auto resolver = KsMakeRef<LocalPathResolver>();
  auto o = KsMakeRef<Sprocket>();
  auto p = KsMakeRef<Sprocket>();
  EXPECT_EQ(0, resolver->AddObject("obj1", o));
  for (const char* path : {"#obj1", "#OBJ1", "obj1"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(o, resolver->GetObjectForPath(path));
  }
  EXPECT_EQ(0, resolver->AddObject("OBJ1", p));
  EXPECT_EQ(o, resolver->GetObjectForPath("#obj1"));
  EXPECT_TRUE(resolver->GetObjectForPath("#obj2").IsEmpty());
  EXPECT_TRUE(resolver->GetObjectForPath("#").IsEmpty());
  EXPECT_TRUE(resolver->LooksLikeMyPath("#x"));
  EXPECT_FALSE(resolver->LooksLikeMyPath("hc://x"));

  EXPECT_EQ(0, resolver->RemovePath("OBJ1"));
  EXPECT_EQ(-607, resolver->RemovePath("obj1"));
  EXPECT_TRUE(resolver->GetObjectForPath("obj1").IsEmpty());
  EXPECT_EQ(1, o->GetRetainCount());
}

TEST_F(ObjectPathFixture, ObjectReferenceResolvesWhenPathAndRootAreBothKnown) {
  // Path first, root later.
  auto reference = KsMakeRef<ObjectReference>();
  EXPECT_EQ(0, reference->SetTargetName("hc://Parts{P2}"));
  EXPECT_TRUE(reference->GetTarget().IsEmpty());
  EXPECT_EQ(0, reference->SetRootObject(root));
  EXPECT_EQ(Part(2), reference->GetTarget());
  // Both are fixed once set; a later root keeps target and name.
  EXPECT_EQ(-903, reference->SetTargetName("hc://Partner"));
  EXPECT_EQ(0, reference->SetRootObject(KsMakeRef<Sprocket>()));
  EXPECT_EQ(Part(2), reference->GetTarget());
  EXPECT_EQ(PWStringRef("hc://Parts{P2}"), reference->GetTargetName());

  // Root first; the root path in any case names the root itself.
  auto toRoot = KsMakeRef<ObjectReference>();
  toRoot->SetRootObject(root);
  EXPECT_EQ(0, toRoot->SetTargetName("HC://"));
  EXPECT_EQ(root, toRoot->GetTarget());

  // A path naming nothing: -607, the name stays for a later root.
  auto dangling = KsMakeRef<ObjectReference>();
  dangling->SetRootObject(KsMakeRef<Sprocket>());
  EXPECT_EQ(-607, dangling->SetTargetName("hc://Partner"));
  EXPECT_EQ(PWStringRef("hc://Partner"), dangling->GetTargetName());
  auto outOfRange = KsMakeRef<ObjectReference>();
  outOfRange->SetRootObject(root);
  EXPECT_EQ(-609, outOfRange->SetTargetName("hc://Parts[7]"));
  EXPECT_EQ(0, dangling->SetRootObject(root));
  EXPECT_EQ(root->GetPartner(), dangling->GetTarget());
}

TEST(ReferenceBase, TargetCannotBeSetByName) {
  auto reference = KsMakeRef<ObjectReference>();
  KsRef<HcProperty> target = reference->GetClassObject()->FindProperty("target");
  ASSERT_TRUE(target);
  EXPECT_FALSE(target->GetShouldSerialize());
  EXPECT_EQ(-102, target->SetValue(reference.Get(), KsRef<KsObject>(KsMakeRef<Sprocket>())));
  EXPECT_TRUE(reference->GetTarget().IsEmpty());
}

}  // namespace

namespace {

// Paths as a hostile document might write them: any mix of delimiters, names,
// digits and blanks resolves to an answer (an object or an error), never a
// read outside the text.
TEST_F(ObjectPathFixture, GarbagePathsAnswerWithoutHarm) {
  const std::string pieces[] = {"[", "]", "{", "}", ".", "(", ")", "Parts", "Partner", "P1", "0", "4", "-1",
                                "+2", " ", "hc://", "x", "Name", "\xC3\xA9"};
  uint32_t state = 12345;
  auto next = [&state] { return state = state * 1103515245u + 12345u; };
  for (int i = 0; i < 3000; ++i) {
    std::string path = "hc://";
    const int parts = static_cast<int>(next() % 12);
    for (int j = 0; j < parts; ++j) path += pieces[(next() >> 8) % std::size(pieces)];
    KsRef<KsObject> result;
    KsRef<HcProperty> property;
    const eAppErr err = ResolveObjectPath(PWStringRef(path), root, &result, &property);
    // -102: an action name such as "-1" on a collection names a write-only
    // element property, which a path cannot read.
    EXPECT_TRUE(err == 0 || err == -2 || err == -102 || err == -607 || err == -609 || err == -905)
        << path << " " << err;
  }
  // Resolving only reads.
  EXPECT_EQ(5u, root->GetParts()->GetCount());
  EXPECT_EQ(PWStringRef("partner"), root->GetPartner()->GetName());
}

}  // namespace
