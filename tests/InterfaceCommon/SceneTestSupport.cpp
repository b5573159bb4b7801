#include "SceneTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "General/HcClassMap.h"
#include "Projection/EquirectangularProj.h"
#include "RegisterAllClasses.h"
#include "Source/PixelFormatInfo.h"
#include "Source/SourceCollection.h"

const char* const kHcMLNamespaces =
    "xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

std::string SceneViewsetElement(const std::string& name, const std::string& viewClass) {
  return std::string("<viewset ") + kHcMLNamespaces + " xsi:type=\"Viewset\"><Name>" + name +
         "</Name><MainViewPath>hc://View</MainViewPath>" +
         "<ViewHcML><![CDATA[<View " + kHcMLNamespaces + " xsi:type=\"" + viewClass + "\"><Name>" + name +
         "View</Name></View>]]></ViewHcML></viewset>";
}

KsRef<BufferSource> EquirectangularSource(const TestImage& picture) {
  auto source = KsMakeRef<BufferSource>();
  if (picture.channels != 3 || source->SetPixelFormat(PixelFormatInfo::k24RGB) != 0) return {};
  source->SetProjection(KsMakeRef<EquirectangularProj>());
  if (source->CreateBuffer(picture.width, picture.height) != 0) return {};
  if (source->GetBufferSize() != picture.pixels.size()) return {};
  std::memcpy(source->GetBaseAddress(), picture.pixels.data(), picture.pixels.size());
  source->FrameReady();
  return source;
}

bool OffscreenScene::Make(int width, int height, const TestImage& picture, const KsRef<HcContextHelper>& made) {
  RegisterAllClasses();
  context = made ? made : MakeObject<HcContextHelper>(PWStringRef("HcContextHelper"));
  helper = MakeObject<GLPbufferContextMac>(PWStringRef("GLPbufferContextMac"));
  source = EquirectangularSource(picture);
  if (!context || !helper || !source) {
    failure = "no context, helper or source";
    return false;
  }
  if (!helper->GetContextCreated()) {
    failure = "no off-screen OpenGL context";
    return false;
  }
  auto sources = KsMakeRef<SourceCollection>();
  sources->Add(source);
  if (context->SetSources(sources) != 0) {
    failure = "sources refused";
    return false;
  }
  for (const auto& [name, viewClass] : {std::pair{"Wide", "PerspectiveView"}, std::pair{"Cylinder", "CylinderView"}}) {
    if (!context->LoadHcML(PWStringRef(SceneViewsetElement(name, viewClass)), PWStringRef("hc://Viewsets"))) {
      failure = std::string("viewset ") + name + " did not load";
      return false;
    }
  }
  if (!Show("Wide")) return false;
  if (helper->SetContext(context) != 0 || helper->SetActive(true) != 0) {
    failure = "helper did not activate";
    return false;
  }
  if (helper->SetFrame(KsRectF(0, 0, static_cast<float>(width), static_cast<float>(height))) != 0) {
    failure = "helper did not resize";
    return false;
  }
  return true;
}

KsRef<PanoView> OffscreenScene::Main() const { return context->GetMainView().DynamicCast<PanoView>(); }

bool OffscreenScene::Show(const std::string& viewset) {
  if (context->SetViewsetName(PWStringRef(viewset)) != 0 || !Main()) {
    failure = "viewset " + viewset + " not shown";
    return false;
  }
  Main()->SetSource(source);
  return true;
}

TestImage OffscreenScene::Draw(eAppErr* result) {
  const eAppErr drawn = helper->Draw();
  if (result) *result = drawn;
  if (drawn != 0) return {};
  const KsRect<int32_t> frame = helper->GetPixelFrame();
  std::vector<uint8_t> bgra(static_cast<size_t>(frame.w) * frame.h * 4);
  HcRenderPort port{bgra.data(), bgra.size(), static_cast<size_t>(frame.w) * 4};
  if (!helper->CopyFrameBufferToRenderPort(port)) return {};
  TestImage image = TestImage::Blank(frame.w, frame.h, 3);
  for (size_t i = 0; i < static_cast<size_t>(frame.w) * frame.h; ++i) {
    for (int c = 0; c < 3; ++c) image.pixels[i * 3 + c] = bgra[i * 4 + 2 - c];
  }
  return image;
}

double ShareDifferent(const TestImage& a, const TestImage& b, int tolerance) {
  if (a.width != b.width || a.height != b.height || a.channels != b.channels || a.Empty()) return 1.0;
  size_t different = 0;
  const size_t pixels = static_cast<size_t>(a.width) * a.height;
  for (size_t i = 0; i < pixels; ++i) {
    for (int c = 0; c < a.channels; ++c) {
      const size_t at = i * a.channels + c;
      if (std::abs(a.pixels[at] - b.pixels[at]) > tolerance) {
        ++different;
        break;
      }
    }
  }
  return static_cast<double>(different) / static_cast<double>(pixels);
}
