// Feeds arbitrary text to the bill-of-materials and catalog reader and to
// the path rules that judge what it reads.

#include "installer/Source/BOMXML.h"
#include "installer/Source/PathRules.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using hc::installer::BOMXML;
using hc::installer::BomEntry;
using hc::installer::PathRules;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (auto reader : {&BOMXML::billOfMaterials, &BOMXML::catalog}) {
    auto entries = reader(text);
    if (!entries) continue;
    for (const BomEntry& entry : *entries) {
      BOMXML::numberValue(entry, "size");
      BOMXML::numberValue(entry, "permissions");
      const std::string* path = BOMXML::stringValue(entry, "relativepath");
      const std::string* link = BOMXML::stringValue(entry, "link");
      if (!path) continue;
      PathRules::isContainedRelativePath(*path);
      if (link) PathRules::linkStaysInside(*path, *link, "/Applications/Halcyon Player.app/Contents");
    }
  }
  return 0;
}
