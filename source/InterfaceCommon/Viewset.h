#pragma once

#include <cstdint>

#include "General/KsClassMacros.h"
#include "General/KsObject.h"
#include "PWString.h"

class HcContextHelper;
class HcView;
class KsObjectCollectionBase;
class KsStringCollection;

// One named layout of views a presentation can show (its name is the
// object's Name): the HcML text of its root view, the region of the scene's
// root view that shows it (LoadLayer), the paths of its main view and
// keyboard responder, and paths of objects inside it that it publishes to
// the scene by name. It keeps the view tree loaded from its text (View), so
// that showing it again parses nothing.
class Viewset : public KsObject {
  HC_CLASS_HEADER(Viewset)
 public:
  enum : int32_t {
    kViewsetTypeId = 200,
    kLoadLayerId = 201,
    kProjectionEditorClassNameId = 202,
    kMainViewPathId = 203,
    kKeyboardResponderPathId = 204,
    kViewsetImagesId = 205,
    kViewHcMLId = 206,
    kViewHcMLPathId = 207,
    kViewId = 208,
    kNamedViewsetObjectPathsId = 209,
  };

  Viewset();
  ~Viewset() override;

  // Loads ViewHcML into this viewset (the text's top element, normally View,
  // names the property that receives the tree; "hc://" paths in it resolve
  // against the context) and publishes the objects NamedViewsetObjectPaths
  // names, resolved in the new View, as the context's NamedViewsetObjects.
  // -903 without ViewHcML (nothing changes); else the load's result (the
  // objects are published even when the load failed).
  eAppErr LoadView(const KsRef<HcContextHelper>& context);

  int32_t GetViewsetType() const { return m_viewsetType; }
  eAppErr SetViewsetType(int32_t type);
  PWStringRef GetLoadLayer() const { return m_loadLayer; }
  eAppErr SetLoadLayer(const PWStringRef& layer);
  PWStringRef GetProjectionEditorClassName() const { return m_projectionEditorClassName; }
  eAppErr SetProjectionEditorClassName(const PWStringRef& name);
  // The object path of the main view inside the region that shows the viewset.
  PWStringRef GetMainViewPath() const { return m_mainViewPath; }
  eAppErr SetMainViewPath(const PWStringRef& path);
  // The object path of the keyboard responder, resolved from the viewset.
  PWStringRef GetKeyboardResponderPath() const { return m_keyboardResponderPath; }
  eAppErr SetKeyboardResponderPath(const PWStringRef& path);
  // Image sources that belong to the viewset (stored only).
  KsRef<KsObjectCollectionBase> GetViewsetImages() const;
  eAppErr SetViewsetImages(const KsRef<KsObjectCollectionBase>& images);
  // The HcML text of the viewset's root view.
  PWStringRef GetViewHcML() const { return m_viewHcML; }
  eAppErr SetViewHcML(const PWStringRef& hcml);
  // Reads the file as UTF-8 text into ViewHcML; -2 (nothing changes) when it
  // can't be read under the file-access policy in force.
  eAppErr SetViewHcMLPath(const PWStringRef& path);
  // The loaded root view; none forgets it, so that it is loaded again.
  KsRef<HcView> GetView() const;
  eAppErr SetView(const KsRef<HcView>& view);
  KsRef<KsStringCollection> GetNamedViewsetObjectPaths() const;
  eAppErr SetNamedViewsetObjectPaths(const KsRef<KsStringCollection>& paths);

 private:
  KsRef<HcView> m_view;
  KsRef<KsObjectCollectionBase> m_viewsetImages;
  KsRef<KsStringCollection> m_namedViewsetObjectPaths;
  PWStringRef m_viewHcML;
  PWStringRef m_mainViewPath;
  PWStringRef m_keyboardResponderPath;
  PWStringRef m_loadLayer;
  PWStringRef m_projectionEditorClassName;
  int32_t m_viewsetType = 0;
};
HC_CLASS_OBJECT(Viewset, KsObject)
