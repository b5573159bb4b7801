#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "PWString.h"
#include "Source/PanoSource.h"
#include "Utilities/FileAccessPolicy.h"

// Ties one live panoramic source to the HcML that configures it: the text of
// the source's projection and of its tweens. InitSourceFromHcML applies the
// texts to the live source, InitHcMLFromSource writes the live source's
// projection and tweens back into them.
//
// The path properties read files under the file-access policy in force when
// the description was made (an untrusted presentation's stays restricted).
class SourceDescription : public KsObject {
  HC_CLASS_HEADER(SourceDescription)
 public:
  enum : int32_t {
    kLiveSourceId = 200,
    kInitSourceFromHcMLId = 201,
    kInitHcMLFromSourceId = 202,
    kProjectionHcMLId = 203,
    kProjectionHcMLPathId = 204,
    kTweenHcMLId = 205,
    kTweenHcMLPathId = 206,
  };

  SourceDescription();
  ~SourceDescription() override;

  KsRef<PanoSource> GetLiveSource() const { return m_liveSource; }
  eAppErr SetLiveSource(const KsRef<PanoSource>& source);

  PWStringRef GetProjectionHcML() const { return m_projectionHcML; }
  eAppErr SetProjectionHcML(const PWStringRef& hcml);
  PWStringRef GetTweenHcML() const { return m_tweenHcML; }
  eAppErr SetTweenHcML(const PWStringRef& hcml);
  // Read the whole file as the text; -2 when it can't be read (nothing changes).
  eAppErr SetProjectionHcMLPath(const PWStringRef& path);
  eAppErr SetTweenHcMLPath(const PWStringRef& path);

  // Actions: true runs them, false does nothing. Both read false.
  bool GetInitSourceFromHcML() const { return false; }
  bool GetInitHcMLFromSource() const { return false; }
  // Parses ProjectionHcML and TweenHcML into the live source; -903 without one.
  virtual eAppErr SetInitSourceFromHcML(bool apply);
  // Writes the live source's projection and tweens into the two texts; -903
  // without a live source.
  virtual eAppErr SetInitHcMLFromSource(bool write);

 protected:
  // The file's text under this description's file-access policy.
  eAppErr ReadTextFile(const PWStringRef& path, PWStringRef* text) const;

 private:
  PWStringRef m_tweenHcML;
  PWStringRef m_projectionHcML;
  KsRef<PanoSource> m_liveSource;
  FileAccessPolicy m_fileAccess = FileAccessPolicy::Current();
};
HC_CLASS_OBJECT(SourceDescription, KsObject)
