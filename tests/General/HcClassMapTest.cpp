#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "ClassTable.h"
#include "General/HcClassMap.h"
#include "General/KsObject.h"
#include "KsTrace.h"
#include "ModelTestClasses.h"
#include "RegisterAllClasses.h"

namespace {

class TraceCapture {
 public:
  TraceCapture() {
    KsTrace::ResetSettings();
    KsTrace::LoadSettings(PWStringRef(), true);
    KsTrace::SetOutputSink([this](const std::string& line) { lines.push_back(line); });
  }
  ~TraceCapture() {
    KsTrace::SetOutputSink({});
    KsTrace::ResetSettings();
  }
  std::vector<std::string> lines;
};

TEST(HcClassMap, FindsClassesByNameInAnyLetterCase) {
  auto gadgetClass = Gadget::ClassGetClassObject();
  EXPECT_EQ(gadgetClass, HcClassMap::FindClassObject("gadget"));
  EXPECT_EQ(gadgetClass, HcClassMap::FindClassObject("GADGET"));
  EXPECT_EQ(KsObject::ClassGetClassObject(), HcClassMap::FindClassObject("ksobject"));
  EXPECT_TRUE(HcClassMap::FindClassObject("Gadget ").IsEmpty());
}

TEST(HcClassMap, RegistersAncestorsAndKeepsTheFirstClassOfAName) {
  // SuperGadget's first use enters it and its parent.
  auto superClass = SuperGadget::ClassGetClassObject();
  EXPECT_EQ(superClass, HcClassMap::FindClassObject("SUPERGADGET"));
  EXPECT_EQ(Gadget::ClassGetClassObject(), HcClassMap::FindClassObject("gadget"));

  // A second class object answering a registered name is not entered.
  class Impostor : public Gadget::GadgetClass {};
  KsRef<KsClassObject> impostor = KsMakeRef<Impostor>();
  HcClassMap::RegisterClassObject(impostor);
  EXPECT_EQ(Gadget::ClassGetClassObject(), HcClassMap::FindClassObject("gadget"));
  HcClassMap::RegisterClassObject(KsRef<KsClassObject>());
}

TEST(HcClassMap, MakesObjectsByNameAndTracesWhatItCannotMake) {
  // The suite's own classes enter the map on their first use.
  SuperGadget::ClassGetClassObject();
  TraceCapture trace;
  KsRef<Gadget> made = MakeObject<Gadget>("Gadget");
  ASSERT_TRUE(made);
  EXPECT_EQ(1, made->GetRetainCount());
  // A SuperGadget is a Gadget; a Gadget is no SuperGadget (silently empty).
  EXPECT_TRUE(MakeObject<Gadget>("supergadget"));
  EXPECT_TRUE(MakeObject<SuperGadget>("gadget").IsEmpty());
  EXPECT_TRUE(trace.lines.empty());

  EXPECT_TRUE(MakeObject<KsObject>("NoSuchClass").IsEmpty());
  EXPECT_TRUE(MakeObject<KsObject>("KsObject").IsEmpty());
  EXPECT_TRUE(MakeObject<KsObject>(PWStringRef()).IsEmpty());
  ASSERT_EQ(2u, trace.lines.size());
  EXPECT_NE(std::string::npos, trace.lines[0].find("Unknown type: NoSuchClass"));
  EXPECT_NE(std::string::npos, trace.lines[1].find("Uncreatable type: KsObject"));
}

TEST(HcClassMap, RegisteringEveryClassAgainChangesNothing) {
  const auto before = HcClassMap::GetAllClassObjects();
  RegisterAllClasses();
  EXPECT_EQ(before, HcClassMap::GetAllClassObjects());
}

// Every registered class of the program answers its row of the class table.
TEST(ClassTable, RegisteredClassesAnswerTheirRows) {
  EXPECT_EQ(222u, GetClassTable().size());
  int checked = 0;
  for (const KsRef<KsClassObject>& classObject : HcClassMap::GetAllClassObjects()) {
    const ClassTableRow* row = FindClassTableRow(classObject->GetImplName());
    if (!row) continue;  // a class of the test suites
    SCOPED_TRACE(row->className);
    ++checked;
    EXPECT_EQ(PWStringRef(row->externalName), classObject->GetName());
    EXPECT_EQ(row->isAbstract, classObject->IsAbstract());
    EXPECT_EQ(row->isCollection, classObject->IsCollection());
    KsRef<KsClassObject> parent = classObject->GetParentClass();
    if (row->parentName) {
      ASSERT_TRUE(parent);
      EXPECT_STREQ(row->parentName, parent->GetImplName());
    } else {
      EXPECT_TRUE(parent.IsEmpty());
    }
    KsRef<KsObject> instance;
    classObject->CreateObject(instance);
    EXPECT_EQ(row->isAbstract, instance.IsEmpty());
    if (instance) {
      EXPECT_EQ(classObject, instance->GetClassObject());
    }
  }
  EXPECT_GE(checked, 1);
}

// The names of the classes whose code is built: each has a header named
// after it under source/.
std::set<std::string> BuiltClassNames() {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(HC_TEST_SOURCE_DIR) + "/source")) {
    if (entry.is_regular_file() && entry.path().extension() == ".h") names.insert(entry.path().stem().string());
  }
  return names;
}

// A class that is built but forgot its registration, or registered under
// another name, fails here.
TEST(ClassTable, EveryBuiltClassResolvesByItsNameAndCreates) {
  // Proxies have one class per target class, made at run time; no plain one.
  const std::set<std::string> noPlainClass = {"PropertyProxy"};
  const std::set<std::string> built = BuiltClassNames();
  size_t checked = 0;
  for (const ClassTableRow& row : GetClassTable()) {
    if (!built.count(row.className) || noPlainClass.count(row.className)) continue;
    SCOPED_TRACE(row.className);
    ++checked;
    KsRef<KsClassObject> classObject = HcClassMap::FindClassObject(row.externalName);
    ASSERT_TRUE(classObject);
    EXPECT_STREQ(row.className, classObject->GetImplName());
    KsRef<KsObject> instance;
    classObject->CreateObject(instance);
    EXPECT_EQ(row.isAbstract, instance.IsEmpty());
  }
  // The object model, reflection, projections, reports and security at least.
  EXPECT_GE(checked, 80u);
}

}  // namespace
