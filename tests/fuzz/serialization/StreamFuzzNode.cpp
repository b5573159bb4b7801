#include "StreamFuzzNode.h"

#include <vector>

#include "General/HcClassMap.h"
#include "Utilities/AtomEmitter.h"
#include "Utilities/AtomLexer.h"
#include "Utilities/BinaryEmitter.h"
#include "Utilities/BinaryLexer.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

void StreamFuzzNode::Unlink() {
  // Iteratively, so that a long chain doesn't recurse.
  std::vector<KsRef<StreamFuzzNode>> pending{KsRef<StreamFuzzNode>(this)};
  while (!pending.empty()) {
    KsRef<StreamFuzzNode> node = std::move(pending.back());
    pending.pop_back();
    if (KsRef<StreamFuzzNode> child = std::move(node->m_Child)) pending.push_back(child);
    if (KsRef<ObjectCollection> items = std::move(node->m_Items)) {
      for (uint32_t i = 0; i < items->GetCount(); ++i) {
        if (auto element = items->GetByIndex(i).DynamicCast<StreamFuzzNode>()) pending.push_back(element);
      }
      items->RemoveAllObjects();
    }
  }
}

HC_DEFINE_CLASS(StreamFuzzNode, KsObject, "StreamFuzzNode")
void StreamFuzzNode::StreamFuzzNodeClass::SetupProperties() {
  using namespace KsPropertyType;
  using N = StreamFuzzNode;
  auto self = ThisRef();
  AddProperty(HcPropertyDirectGet<N, float>::Create(self, 200, kFloat, "Width", true, &N::GetWidth, &N::SetWidth));
  AddProperty(HcPropertyDirectGet<N, int32_t>::Create(self, 201, kInt, "Count", true, &N::GetCount, &N::SetCount));
  AddProperty(
      HcPropertyDirectGet<N, uint32_t>::Create(self, 202, kUInt, "Serial", true, &N::GetSerial, &N::SetSerial));
  AddProperty(
      HcPropertyDirectGet<N, PWStringRef>::Create(self, 203, kString, "Label", true, &N::GetLabel, &N::SetLabel));
  AddProperty(
      HcPropertyDirectGet<N, bool>::Create(self, 204, kBool, "Enabled", true, &N::GetEnabled, &N::SetEnabled));
  AddProperty(HcPropertyDirectGet<N, KsRectF>::Create(self, 205, kRect, "Frame", true, &N::GetFrame, &N::SetFrame));
  AddProperty(HcPropertyDirectGet<N, KsColorF>::Create(self, 206, kColor, "Tint", true, &N::GetTint, &N::SetTint));
  AddProperty(HcPropertyDirectGet<N, double>::Create(self, 207, kDouble, "Ratio", true, &N::GetRatio, &N::SetRatio));
  AddProperty(HcPropertyDirectGet<N, KsPropertyList>::Create(self, 208, kPropertyList, "Plist", true, &N::GetPlist,
                                                             &N::SetPlist));
  AddProperty(HcPropertyDirectGet<N, int64_t>::Create(self, 209, kInt64, "Big", true, &N::GetBig, &N::SetBig));
  AddProperty(HcPropertyObjectDirectGet<N, StreamFuzzNode>::Create(self, 210, "Child", true, &N::GetChild,
                                                                   &N::SetChild));
  AddProperty(HcPropertyObjectDirectGet<N, ObjectCollection>::Create(self, 211, "Items", true, &N::GetItems,
                                                                     &N::SetItems));
}

void RegisterStreamFuzzClasses() {
  HcClassMap::RegisterClassObject(StreamFuzzNode::ClassGetClassObject());
  HcClassMap::RegisterClassObject(ObjectCollection::ClassGetClassObject());
  AtomEmitter::ClassGetClassObject();
  AtomLexer::ClassGetClassObject();
  BinaryEmitter::ClassGetClassObject();
  BinaryLexer::ClassGetClassObject();
}
