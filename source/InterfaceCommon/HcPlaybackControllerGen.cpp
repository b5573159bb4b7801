#include "General/CocoaMethod.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/HcPlaybackController.h"
#include "Utilities/HcPropertyDirectGet.h"
#include "Utilities/HcPropertyObjectDirectGet.h"

HC_DEFINE_ABSTRACT_CLASS(HcPlaybackController, KsObject, "HcPlaybackController")

namespace {

hc::runtime::MethodList BridgedMethods() {
  using F = HcPlaybackController;
  return {
      CocoaMethod<&F::ToggleMuted>("toggleMuted", "i@:"),
      CocoaMethod<&F::ToggleIsLooping>("toggleIsLooping", "i@:"),
      CocoaMethod<&F::TogglePlay>("togglePlay", "i@:"),
      CocoaMethod<&F::PlayAroundCurrentPosition>("playAroundCurrentPosition", "i@:"),
      CocoaMethod<&F::PlaySelection>("playSelection", "i@:"),
      CocoaMethod<&F::GotoBeginning>("gotoBeginning", "i@:"),
      CocoaMethod<&F::GotoEnd>("gotoEnd", "i@:"),
      CocoaMethod<&F::GotoSelectionStart>("gotoSelectionStart", "i@:"),
      CocoaMethod<&F::GotoSelectionEnd>("gotoSelectionEnd", "i@:"),
      CocoaMethod<&F::StepForward>("stepForward", "i@:"),
      CocoaMethod<&F::StepBackward>("stepBackward", "i@:"),
      CocoaMethod<&F::FastForward>("fastForward:", "i@:B"),
      CocoaMethod<&F::Rewind>("rewind:", "i@:B"),
      CocoaMethod<&F::IncreaseVolume>("increaseVolume", "i@:"),
      CocoaMethod<&F::DecreaseVolume>("decreaseVolume", "i@:"),
  };
}

}  // namespace

// No property is serialized: they all hold the running movie's state.
void HcPlaybackController::HcPlaybackControllerClass::SetupProperties() {
  using namespace KsPropertyType;
  using F = HcPlaybackController;
  KsRef<KsClassObject> self = ThisRef();
  AddProperty(HcPropertyObjectDirectGet<F, HcContextHelper>::Create(self, kContextHelperId, "ContextHelper", false,
                                                                    &F::GetContextHelper, &F::SetContextHelper));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kIsLoopingId, kBool, "IsLooping", false, &F::GetIsLooping,
                                                   &F::SetIsLooping));
  AddProperty(
      HcPropertyDirectGet<F, bool>::Create(self, kIsPlayingId, kBool, "IsPlaying", false, &F::GetIsPlaying, nullptr));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kIsScrubbingId, kBool, "IsScrubbing", false,
                                                   &F::GetIsScrubbing, &F::SetIsScrubbing));
  AddProperty(HcPropertyDirectGet<F, float>::Create(self, kRateId, kFloat, "Rate", false, &F::GetRate, &F::SetRate));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kSelectionOnlyId, kBool, "SelectionOnly", false,
                                                   &F::GetSelectionOnly, &F::SetSelectionOnly));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kMutedId, kBool, "Muted", false, &F::GetMuted, &F::SetMuted));
  AddProperty(
      HcPropertyDirectGet<F, float>::Create(self, kVolumeId, kFloat, "Volume", false, &F::GetVolume, &F::SetVolume));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kPositionId, kDouble, "Position", false, &F::GetPosition,
                                                     &F::SetPosition));
  AddProperty(
      HcPropertyDirectGet<F, double>::Create(self, kDurationId, kDouble, "Duration", false, &F::GetDuration, nullptr));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kSelectionStartId, kDouble, "SelectionStart", false,
                                                     &F::GetSelectionStart, &F::SetSelectionStart));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kSelectionEndId, kDouble, "SelectionEnd", false,
                                                     &F::GetSelectionEnd, &F::SetSelectionEnd));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kShowInOutPointsId, kBool, "ShowInOutPoints", false,
                                                   &F::GetShowInOutPoints, nullptr));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kInPointId, kDouble, "InPoint", false, &F::GetInPoint,
                                                     &F::SetInPoint));
  AddProperty(HcPropertyDirectGet<F, double>::Create(self, kOutPointId, kDouble, "OutPoint", false, &F::GetOutPoint,
                                                     &F::SetOutPoint));
  AddProperty(HcPropertyDirectGet<F, bool>::Create(self, kTweensActiveId, kBool, "TweensActive", false,
                                                   &F::GetTweensActive, &F::SetTweensActive));
  AddObjCInstanceMethods(BridgedMethods());
  AddObjCClassMethods({});
}
