#include "platform/text/FontCatalog.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <string_view>

namespace hc::text {
namespace {

// The sans-serif face the program installs, for when fontconfig finds none.
constexpr const char* kLastResortFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kFallbackFamily = "DejaVu Sans";

const char* GenericFamily(FontKind kind) {
  switch (kind) {
    case FontKind::Serif: return "serif";
    case FontKind::Mono: return "monospace";
    case FontKind::Script: return "cursive";
    case FontKind::Decorative: return "fantasy";
    case FontKind::Sans:
    case FontKind::Any: break;
  }
  return "sans-serif";
}

// "Helvetica-BoldOblique" names the family "Helvetica": documents written on
// other systems name fonts by their PostScript names.
std::string FamilyOf(const std::string& name) {
  static constexpr std::array<std::string_view, 14> kStyles = {
      "Bold", "Italic", "Oblique", "BoldItalic", "BoldOblique", "Regular", "Roman",
      "Light", "Medium", "Semibold", "Black", "Book", "LightItalic", "MediumItalic"};
  const size_t dash = name.rfind('-');
  if (dash == std::string::npos || dash == 0) return name;
  const std::string_view suffix = std::string_view(name).substr(dash + 1);
  for (std::string_view style : kStyles) {
    if (suffix == style) return name.substr(0, dash);
  }
  return name;
}

}  // namespace

FontCatalog& FontCatalog::Shared() {
  static FontCatalog catalog;
  return catalog;
}

FontCatalog::FontCatalog() {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) == 0) m_library = library;
  m_fontconfigReady = FcInit() == FcTrue;
}

FontCatalog::~FontCatalog() {
  for (auto& [key, face] : m_faces) {
    if (face->ftFace) FT_Done_Face(static_cast<FT_Face>(face->ftFace));
  }
  m_faces.clear();
  if (m_library) FT_Done_FreeType(static_cast<FT_Library>(m_library));
  // Fontconfig's caches would otherwise outlive every pointer to them.
  if (m_fontconfigReady) FcFini();
}

FontFace* FontCatalog::Load(const std::string& file, int index, bool wantBold, bool wantItalic, bool isBold,
                            bool isItalic) {
  if (!m_library || file.empty()) return nullptr;
  const bool syntheticBold = wantBold && !isBold;
  const bool syntheticItalic = wantItalic && !isItalic;
  const auto key = std::make_tuple(file, index, syntheticBold, syntheticItalic);
  if (const auto found = m_faces.find(key); found != m_faces.end()) return found->second.get();
  FT_Face face = nullptr;
  if (FT_New_Face(static_cast<FT_Library>(m_library), file.c_str(), index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  auto loaded = std::make_unique<FontFace>();
  loaded->ftFace = face;
  loaded->file = file;
  loaded->index = index;
  loaded->syntheticBold = syntheticBold;
  loaded->syntheticItalic = syntheticItalic;
  FontFace* result = loaded.get();
  m_faces.emplace(key, std::move(loaded));
  return result;
}

FontFace* FontCatalog::Match(const std::string& family, FontKind kind, bool bold, bool italic, char32_t character) {
  if (!m_fontconfigReady) return nullptr;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(GenericFamily(kind)));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcCharSet* charset = nullptr;
  if (character != 0) {
    charset = FcCharSetCreate();
    if (charset) {
      FcCharSetAddChar(charset, character);
      FcPatternAddCharSet(pattern, FC_CHARSET, charset);
    }
  }
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FontFace* face = nullptr;
  if (match) {
    FcChar8* file = nullptr;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcCharSet* matchedSet = nullptr;
    const bool covers = character == 0 ||
                        (FcPatternGetCharSet(match, FC_CHARSET, 0, &matchedSet) == FcResultMatch &&
                         FcCharSetHasChar(matchedSet, character));
    if (covers && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(match, FC_SLANT, 0, &slant);
      face = Load(reinterpret_cast<const char*>(file), index, bold, italic, weight >= FC_WEIGHT_DEMIBOLD,
                  slant != FC_SLANT_ROMAN);
    }
    FcPatternDestroy(match);
  }
  if (charset) FcCharSetDestroy(charset);
  FcPatternDestroy(pattern);
  return face;
}

TextErr FontCatalog::FaceFor(const std::string& name, FontKind kind, bool bold, bool italic, FontFace** out) {
  if (!out) return TextErr::BadArgument;
  const auto key = std::make_tuple(name, static_cast<int>(kind), bold, italic);
  if (const auto found = m_byRequest.find(key); found != m_byRequest.end()) {
    *out = found->second;
    return TextErr::Ok;
  }
  FontFace* face = Match(FamilyOf(name), kind, bold, italic, 0);
  if (!face) face = Match(kFallbackFamily, FontKind::Sans, bold, italic, 0);
  if (!face) face = Load(kLastResortFile, 0, bold, italic, false, false);
  if (!face) return TextErr::NoFont;
  if (m_byRequest.size() < 1024) m_byRequest.emplace(key, face);
  *out = face;
  return TextErr::Ok;
}

FontFace* FontCatalog::FaceForCharacter(char32_t character, bool bold, bool italic) {
  const auto key = std::make_tuple(character, bold, italic);
  if (const auto found = m_byCharacter.find(key); found != m_byCharacter.end()) return found->second;
  FontFace* face = Match(std::string(), FontKind::Any, bold, italic, character);
  if (face && FT_Get_Char_Index(static_cast<FT_Face>(face->ftFace), character) == 0) face = nullptr;
  if (m_byCharacter.size() < 4096) m_byCharacter.emplace(key, face);
  return face;
}

}  // namespace hc::text
