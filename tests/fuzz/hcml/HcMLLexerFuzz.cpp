// Feeds arbitrary text to the HcML reader: the XML lexer driving a parser
// that builds objects, and the same events translated back into HcML text.

#include <cstddef>
#include <cstdint>

#include "General/HcClassMap.h"
#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "General/KsRect.h"
#include "General/KsStringCollection.h"
#include "General/KsTypeSafeCollection.h"
#include "General/ObjectCollection.h"
#include "RegisterAllClasses.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"
#include "Utilities/ObjectReference.h"
#include "Utilities/Parser.h"
#include "Utilities/XMLLexer.h"
#include "Utilities/XMLStringEmitter.h"

class FuzzNode : public KsObject {
  HC_CLASS_HEADER(FuzzNode)
 public:
  float GetWidth() const { return m_width; }
  eAppErr SetWidth(float v) {
    m_width = v;
    return 0;
  }
  int64_t GetBig() const { return m_big; }
  eAppErr SetBig(int64_t v) {
    m_big = v;
    return 0;
  }
  KsRectF GetFrame() const { return m_frame; }
  eAppErr SetFrame(const KsRectF& v) {
    m_frame = v;
    return 0;
  }
  PWStringRef GetLabel() const { return m_label; }
  eAppErr SetLabel(const PWStringRef& v) {
    m_label = v;
    return 0;
  }
  KsPropertyList GetPlist() const { return m_plist; }
  eAppErr SetPlist(const KsPropertyList& v) {
    m_plist = v;
    return 0;
  }
  KsRef<FuzzNode> GetChild() const { return m_child; }
  eAppErr SetChild(const KsRef<FuzzNode>& v) {
    m_child = v;
    return 0;
  }
  KsRef<ObjectCollection> GetItems() const { return m_items; }
  eAppErr SetItems(const KsRef<ObjectCollection>& v) {
    m_items = v;
    return 0;
  }
  // Documents may refer back to any object: the graph is let go of by hand.
  void Unlink() {
    KsRef<FuzzNode> child = std::move(m_child);
    KsRef<ObjectCollection> items = std::move(m_items);
    if (child) child->Unlink();
    if (items) {
      for (uint32_t i = 0; i < items->GetCount(); ++i) {
        if (auto node = items->GetByIndex(i).DynamicCast<FuzzNode>()) node->Unlink();
      }
      items->RemoveAllObjects();
    }
  }

 private:
  float m_width = 0;
  int64_t m_big = 0;
  KsRectF m_frame;
  PWStringRef m_label;
  KsPropertyList m_plist;
  KsRef<FuzzNode> m_child;
  KsRef<ObjectCollection> m_items;
};
HC_CLASS_OBJECT(FuzzNode, KsObject)

HC_DEFINE_CLASS(FuzzNode, KsObject, "FuzzNode")
void FuzzNode::FuzzNodeClass::SetupProperties() {
  using namespace KsPropertyType;
  auto self = ThisRef();
  AddProperty(HcPropertyDirectGet<FuzzNode, float>::Create(self, 200, kFloat, "Width", true, &FuzzNode::GetWidth,
                                                           &FuzzNode::SetWidth));
  AddProperty(HcPropertyDirectGet<FuzzNode, int64_t>::Create(self, 201, kInt64, "Big", true, &FuzzNode::GetBig,
                                                             &FuzzNode::SetBig));
  AddProperty(HcPropertyDirectGet<FuzzNode, KsRectF>::Create(self, 202, kRect, "Frame", true, &FuzzNode::GetFrame,
                                                             &FuzzNode::SetFrame));
  AddProperty(HcPropertyDirectGet<FuzzNode, PWStringRef>::Create(self, 203, kString, "Label", true,
                                                                 &FuzzNode::GetLabel, &FuzzNode::SetLabel));
  AddProperty(HcPropertyDirectGet<FuzzNode, KsPropertyList>::Create(self, 204, kPropertyList, "Plist", true,
                                                                    &FuzzNode::GetPlist, &FuzzNode::SetPlist));
  AddProperty(HcPropertyObjectDirectGet<FuzzNode, FuzzNode>::Create(self, 205, "Child", true, &FuzzNode::GetChild,
                                                                    &FuzzNode::SetChild));
  AddProperty(HcPropertyObjectDirectGet<FuzzNode, ObjectCollection>::Create(self, 206, "Items", true,
                                                                            &FuzzNode::GetItems,
                                                                            &FuzzNode::SetItems));
}

// Only the classes a fuzzed document can name.
void RegisterAllClasses() {
  for (KsRef<KsClassObject> classObject :
       {FuzzNode::ClassGetClassObject(), ObjectCollection::ClassGetClassObject(),
        KsStringCollection::ClassGetClassObject(), ObjectReference::ClassGetClassObject(),
        XMLLexer::ClassGetClassObject()}) {
    HcClassMap::RegisterClassObject(classObject);
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    KsTrace::SetOutputSink([](const std::string&) {});
    return true;
  }();
  (void)quiet;
  {
    auto root = KsMakeRef<FuzzNode>();
    auto parser = KsMakeRef<Parser>();
    parser->SetLexer(KsMakeRef<XMLLexer>());
    parser->SetRootObject(root);
    parser->Parse(data, size);
    parser = nullptr;
    // Whatever graph the document built is written back, as a copy would be.
    WriteObjectToHcMLString(root);
    root->Unlink();
  }
  {
    auto root = KsMakeRef<FuzzNode>();
    auto emitter = KsMakeRef<XMLStringEmitter>();
    auto parser = KsMakeRef<Parser>();
    parser->SetLexer(KsMakeRef<XMLLexer>());
    parser->SetRootObject(root);
    parser->SetEmitter(emitter);
    parser->Parse(data, size);
  }
  return 0;
}
