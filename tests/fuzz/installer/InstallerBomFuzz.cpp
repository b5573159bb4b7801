// Feeds arbitrary text to the bill-of-materials and catalog reader, to the
// path rules that judge what it reads, and takes the bill's link entries as
// the links of a package to follow them to their ends, with the installer's
// limits on links.

#include "installer/Source/BOMXML.h"
#include "installer/Source/LinkResolver.h"
#include "installer/Source/PackageLinks.h"
#include "installer/Source/PackageUnpacker.h"
#include "installer/Source/PathRules.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using hc::installer::BOMXML;
using hc::installer::BomEntry;
using hc::installer::LinkResolver;
using hc::installer::PackageLinks;
using hc::installer::PackageUnpacker;
using hc::installer::PathRules;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (auto reader : {&BOMXML::billOfMaterials, &BOMXML::catalog}) {
    auto entries = reader(text);
    if (!entries) continue;
    PackageLinks links;
    for (const BomEntry& entry : *entries) {
      BOMXML::numberValue(entry, "size");
      BOMXML::numberValue(entry, "permissions");
      const std::string* path = BOMXML::stringValue(entry, "relativepath");
      const std::string* link = BOMXML::stringValue(entry, "link");
      if (!path) continue;
      PathRules::escapedForMessage(*path);
      auto components = PathRules::containedComponents(*path);
      if (!components) continue;
      if (link) {
        PathRules::linkStaysInside(*path, *link, "/Applications/Halcyon Player.app/Contents");
        links.add(*components, *link);
      }
    }
    LinkResolver resolver(
        "/Applications/Halcyon Player.app/Contents",
        [&links](const std::vector<std::string>& path) { return links.targetAt(path); },
        PackageUnpacker::kLinkSteps);
    for (const std::string& path : links.paths()) resolver.resolve(path);
  }
  return 0;
}
