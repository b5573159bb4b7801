#include <gtest/gtest.h>

#include "HcApplicationResources.h"
#include "HcProxyMessenger.h"
#include "HcResourceManager.h"
#include "InterfaceCommon/HcContextHelper.h"
#include "InterfaceCommon/Viewset.h"
#include "InterfaceCommon/ViewsetCollection.h"
#include "Projection/PanoProjection.h"
#include "Projection/ProjectionCollection.h"
#include "RegisterAllClasses.h"
#include "View/PanoView.h"
#include "General/CocoaBridge.h"

namespace {

TEST(ShippedResources, EveryViewsetAndProjectionLoadsIntoASceneAndShows) {
  RegisterAllClasses();
  hc::runtime::ObjectRef proxy = HcProxyMessenger::NewProxy("C_HcContextHelper");
  ASSERT_TRUE(proxy);
  KsRef<HcContextHelper> context = KsObjectFromCocoa(proxy.Get()).DynamicCast<HcContextHelper>();
  ASSERT_TRUE(context);
  HcResourceManager resources(QStringLiteral(HC_TEST_SOURCE_DIR "/application/Resources"));
  ASSERT_EQ(4, resources.viewsets().size());
  ASSERT_EQ(3, resources.projections().size());
  resources.loadProjectionsIntoContext(proxy.Get());
  resources.loadViewsetsIntoContext(proxy.Get());
  EXPECT_EQ("Perspective", resources.defaultViewsetName());

  KsRef<ViewsetCollection> viewsets = context->GetViewsets();
  ASSERT_TRUE(viewsets);
  ASSERT_EQ(4u, viewsets->GetCount());
  for (uint32_t i = 0; i < viewsets->GetCount(); ++i) {
    KsRef<Viewset> viewset = viewsets->GetByIndex(i);
    ASSERT_TRUE(viewset);
    EXPECT_EQ(resources.viewsets()[static_cast<qsizetype>(i)].name.toStdString(),
              std::string(viewset->GetName().CStr()));
    ASSERT_EQ(0, context->SetViewset(viewset)) << viewset->GetName().CStr();
    EXPECT_TRUE(context->GetMainView().DynamicCast<PanoView>()) << viewset->GetName().CStr();
  }
  KsRef<ProjectionCollection> projections = context->GetProjections();
  ASSERT_TRUE(projections);
  EXPECT_EQ(3u, projections->GetCount());
}

}  // namespace

namespace {

// The shell asks a presentation for its scene by the property's own name.
TEST(ShellProxies, AGetterWithTheClassPrefixKeepsItsName) {
  RegisterAllClasses();
  hc::runtime::ObjectRef presentation = HcProxyMessenger::NewProxy("C_HcPresentation");
  ASSERT_TRUE(presentation);
  hc::runtime::ObjectRef context = HcProxyMessenger::SendForObject(presentation.Get(), "HcContext");
  ASSERT_TRUE(context);
  EXPECT_TRUE(KsObjectFromCocoa(context.Get()).DynamicCast<HcContextHelper>());
  EXPECT_FALSE(HcProxyMessenger::RespondsTo(presentation.Get(), "hcContext"));
}

}  // namespace
