// Writes the sample movie's presentation into an equirectangular movie: its
// one source as a sphere and a viewset of its own (a wide look around, shown
// first) beside the application's.
//
//   hc-sample-presentation movie.mov
//
// Exits 0 when the presentation was written, 1 otherwise.

#include <cstdio>
#include <string>

#include "InterfaceCommon/HcPresentation.h"
#include "InterfaceCommon/MovieSerializer.h"
#include "InterfaceCommon/SourceDescription.h"
#include "KsTrace.h"
#include "RegisterAllClasses.h"

namespace {

constexpr const char* kNamespaces =
    "xmlns=\"http://www.halcyonplayer.net/halcyon/hcml\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

std::string Projection() {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<Projection ") + kNamespaces +
         " xsi:type=\"EquirectangularProj\">\n  <Name>Sample Sphere</Name>\n  <TiltMinDeg>-90.0</TiltMinDeg>\n"
         "  <TiltMaxDeg>90.0</TiltMaxDeg>\n</Projection>\n";
}

// The presentation's own viewset, shown first; the application's viewsets
// come beside it.
std::string LookAround() {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<Viewset ") + kNamespaces +
         " xsi:type=\"Viewset\">\n  <Name>Look Around</Name>\n  <LoadLayer>PanoRegion</LoadLayer>\n"
         "  <MainViewPath>hc://View</MainViewPath>\n"
         "  <KeyboardResponderPath>hc://View.KeyboardResponder</KeyboardResponderPath>\n"
         "  <ViewHcML><![CDATA[<View " + kNamespaces + " xsi:type=\"PerspectiveView\">\n"
         "  <Name>LookAroundView</Name>\n  <Source xsi:type=\"PanoSource\" href=\"hc://Source\"/>\n"
         "  <VFOV>70</VFOV>\n  <VFOVMin>10</VFOVMin>\n  <VFOVMax>110</VFOVMax>\n"
         "  <MouseResponder xsi:type=\"MouseVelocityResponder\"/>\n"
         "  <KeyboardResponder xsi:type=\"KeyboardQTVRStyleResponder\"/>\n"
         "</View>]]></ViewHcML>\n</Viewset>\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hc-sample-presentation movie.mov\n");
    return 1;
  }
  RegisterAllClasses();
  const PWStringRef path(argv[1]);
  auto reader = KsMakeRef<MovieSerializer>();
  reader->SetPath(path);
  reader->SetGuessPanoProjection(true);
  reader->SetLoadAsSingleSource(true);
  if (AppErrFailed(reader->SetInitDescriptionFromMovie(true))) {
    std::fprintf(stderr, "%s: no movie to write into\n", argv[1]);
    return 1;
  }
  KsRef<HcPresentation> presentation = reader->GetPresentation();
  presentation->GetMainSource()->SetProjectionHcML(PWStringRef(Projection()));
  presentation->SetViewsetHcML(PWStringRef(LookAround()));
  presentation->SetViewsetName(PWStringRef("Look Around"));
  presentation->SetDisplaySize(KsSizeF(960, 540));

  auto writer = KsMakeRef<MovieSerializer>();
  writer->SetPath(path);
  writer->SetPresentation(presentation);
  if (AppErrFailed(writer->InitUUIDForPresentationAndSourceDesc()) ||
      AppErrFailed(writer->SetInitMovieFromDescription(true))) {
    std::fprintf(stderr, "%s: the presentation could not be written\n", argv[1]);
    return 1;
  }
  return 0;
}
