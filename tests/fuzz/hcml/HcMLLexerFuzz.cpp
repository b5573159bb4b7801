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
#include "tests/Support/NodeField.h"

class FuzzNode : public KsObject {
  HC_CLASS_HEADER(FuzzNode)
 public:
  HC_NODE_FIELD(float, Width)
  HC_NODE_FIELD(int64_t, Big)
  HC_NODE_FIELD(KsRectF, Frame)
  HC_NODE_FIELD(PWStringRef, Label)
  HC_NODE_FIELD(KsPropertyList, Plist)
  HC_NODE_FIELD(KsRef<FuzzNode>, Child)
  HC_NODE_FIELD(KsRef<ObjectCollection>, Items)

  // Documents may refer back to any object: the graph is let go of by hand.
  void Unlink() {
    KsRef<FuzzNode> child = std::move(m_Child);
    KsRef<ObjectCollection> items = std::move(m_Items);
    if (child) child->Unlink();
    if (items) {
      for (uint32_t i = 0; i < items->GetCount(); ++i) {
        if (auto node = items->GetByIndex(i).DynamicCast<FuzzNode>()) node->Unlink();
      }
      items->RemoveAllObjects();
    }
  }
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
