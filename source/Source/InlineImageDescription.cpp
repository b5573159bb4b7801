#include "Source/InlineImageDescription.h"

#include "platform/movfile/MovImageDescription.h"
#include "platform/playback/ImageBuffer.h"

bool InlineImageDescription::Parse(std::span<const uint8_t> description, InlineImageDescription* out) {
  hc::movfile::MovImageDescription parsed;
  if (hc::movfile::MovImageDescription::Parse(description, parsed) != hc::movfile::MovErr::Ok) return false;
  if (uint64_t{parsed.Width()} * parsed.Height() > hc::playback::kMaxImagePixels) return false;
  if (out) *out = {parsed.CodecType(), parsed.Width(), parsed.Height()};
  return true;
}

void InlineImageDescription::ApplyByteOrderRule(std::span<uint8_t> description) {
  if (description.size() != kFixedSize) return;
  uint8_t* clutId = description.data() + kClutIdOffset;
  if (clutId[0] == 0 && clutId[1] == 0) clutId[0] = clutId[1] = 0xFF;
}
