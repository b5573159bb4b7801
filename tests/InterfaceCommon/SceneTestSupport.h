#pragma once

// A live scene drawn off screen: a context whose one source is a buffer
// source holding an equirectangular picture, a perspective viewset, and the
// off-screen view helper that draws it and copies the picture out.

#include <string>

#include "ImageTestSupport.h"
#include "InterfaceCommon/GLPbufferContextMac.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "Source/BufferSource.h"
#include "View/PanoView.h"

// The HcML namespaces of a document element.
extern const char* const kHcMLNamespaces;
// One viewset element (a document of its own) whose view is a view of the class (a perspective view
// unless told otherwise) named after the viewset.
std::string SceneViewsetElement(const std::string& name, const std::string& viewClass = "PerspectiveView");

// A buffer source holding an RGB picture, its projection equirectangular.
KsRef<BufferSource> EquirectangularSource(const TestImage& picture);

struct OffscreenScene {
  KsRef<HcContextHelper> context;
  KsRef<GLPbufferContextMac> helper;
  KsRef<BufferSource> source;

  // A context of the class (one made here when none is given) with the
  // picture's source, the viewsets "Wide" and "Cylinder" (Wide shown), and
  // an active off-screen helper of width x height. False with the reason
  // in `failure`.
  bool Make(int width, int height, const TestImage& picture, const KsRef<HcContextHelper>& made = {});
  // The scene's main view as a panoramic view.
  KsRef<PanoView> Main() const;
  // Shows the viewset of that name and gives its main view the source.
  bool Show(const std::string& viewset);
  // One frame, copied out as RGB; empty when drawing or copying failed.
  TestImage Draw(eAppErr* result = nullptr);

  std::string failure;
};

// The picture's share of pixels that differ from the other by more than
// `tolerance` in some channel.
double ShareDifferent(const TestImage& a, const TestImage& b, int tolerance);
