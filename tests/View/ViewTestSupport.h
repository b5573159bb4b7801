#pragma once

// What the View suites share: a plain view that reports a chosen draw
// result, a source whose readiness the test sets, and an observer that
// records the notices it hears.

#include <cstdint>
#include <vector>

#include "General/KsObject.h"
#include "Renderer/HcTextureSet.h"
#include "Source/PanoSource.h"
#include "View/HcView.h"

// A view that draws nothing and answers DrawResult, counting its draws.
class TestView : public HcView {
 public:
  eAppErr Draw(const KsRef<PanoRenderer>&) override {
    ++draws;
    return drawResult;
  }
  eAppErr drawResult = 0;
  int draws = 0;
};

// A source that has data when told and hands out a texture set it is given
// (or answers a chosen status instead).
class StubSource : public PanoSource {
 public:
  bool GetHasData() override { return hasData; }
  eAppErr TextureSetForRenderer(const KsRef<PanoRenderer>&, KsRef<HcTextureSet>& out, uint32_t mask) override {
    lastMask = mask;
    if (result != 0) return result;
    out = set;
    return 0;
  }
  eAppErr GetDataAtPoint(int32_t, int32_t, uint32_t, float*) override { return -1; }
  eAppErr DoUpdate() override { return 0; }

  bool hasData = true;
  eAppErr result = 0;
  uint32_t lastMask = 0;
  KsRef<HcTextureSet> set;
};

// A texture set with no textures, as a stand-in the views only hold.
class EmptyTextureSet : public HcTextureSet {
 public:
  eAppErr GetCanCreate() override { return 0; }
  eAppErr GetTextureForQuadrant(uint32_t, KsRef<HcTexture>&) override { return -602; }
  uint64_t GetUpdateSeed() override { return 1; }
  uint32_t GetTextureCount() override { return 0; }
  KsRef<HcTexture> GetTextureByIndex(uint32_t) override { return {}; }
};

// Records the property ids of the notices it hears, with the object.
class NoticeRecorder : public KsObject {
 public:
  void ObservePropertyChange(const KsRef<KsObject>& object, const KsRef<HcProperty>& property,
                             const KsRef<KsObject>& description) override;
  int Count(int32_t propertyId) const;
  std::vector<int32_t> ids;
  std::vector<KsObject*> objects;
};

// Registers the recorder for each id on the object.
void Observe(const KsRef<KsObject>& object, const KsRef<NoticeRecorder>& recorder, std::initializer_list<int32_t> ids);
