#include "Renderer/HcVertexBuffer.h"
#include "View/HcGlyph.h"

HC_DEFINE_CLASS(HcGlyph, SourceDisplay, "HcGlyph")
void HcGlyph::HcGlyphClass::SetupProperties() {}
