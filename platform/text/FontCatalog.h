#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include "platform/text/StyledText.h"
#include "platform/text/TextErr.h"

namespace hc::text {

// One loaded face. The catalog owns it for the life of the process; it is
// only touched with the catalog's lock held.
struct FontFace {
  void* ftFace = nullptr;  // FT_Face
  std::string file;
  int index = 0;
  // Drawn heavier or slanted by the rasteriser, the font itself being
  // regular or upright.
  bool syntheticBold = false;
  bool syntheticItalic = false;
};

// Finds fonts through fontconfig and loads them with FreeType. A named font
// that is missing falls back to the generic family the document gives, then
// to a sans-serif face (DejaVu Sans, installed with the program), then to any
// face fontconfig knows. FreeType is not safe to use from several threads at
// once: everything that touches a face holds Lock().
class FontCatalog {
 public:
  static FontCatalog& Shared();

  FontCatalog(const FontCatalog&) = delete;
  FontCatalog& operator=(const FontCatalog&) = delete;

  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(m_mutex); }

  // The face for a font of the document (name as it gives it, PostScript
  // style suffixes such as "-Bold" understood). Needs Lock() held. NoFont
  // when not even the fallback can be loaded.
  TextErr FaceFor(const std::string& name, FontKind kind, bool bold, bool italic, FontFace** out);
  // A face that has a glyph for the character, near the given style; null
  // when no installed font has one. Needs Lock() held.
  FontFace* FaceForCharacter(char32_t character, bool bold, bool italic);

 private:
  FontCatalog();
  ~FontCatalog();

  FontFace* Load(const std::string& file, int index, bool wantBold, bool wantItalic, bool isBold, bool isItalic);
  FontFace* Match(const std::string& family, FontKind kind, bool bold, bool italic, char32_t character);

  std::mutex m_mutex;
  void* m_library = nullptr;  // FT_Library
  bool m_fontconfigReady = false;
  std::map<std::tuple<std::string, int, bool, bool>, std::unique_ptr<FontFace>> m_faces;
  std::map<std::tuple<std::string, int, bool, bool>, FontFace*> m_byRequest;
  std::map<std::tuple<char32_t, bool, bool>, FontFace*> m_byCharacter;
};

}  // namespace hc::text
