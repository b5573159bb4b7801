#include "platform/text/StyledText.h"

namespace hc::text {

std::string StyledText::PlainText() const {
  std::string text;
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += '\n';
    for (const TextRun& run : paragraphs[i].runs) text += run.text;
  }
  return text;
}

}  // namespace hc::text
