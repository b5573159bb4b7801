#include "View/TextDisplay.h"

#include "PWFormat.h"
#include "Renderer/PanoRenderer.h"
#include "Utilities/HcPropertyBindingBase.h"
#include "Utilities/KsPropertyType.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A run of digits at `pos` no larger than the limit (an absent run is 0).
bool ReadSmallNumber(std::string_view text, size_t& pos, int limit) {
  int value = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    value = value * 10 + (text[pos] - '0');
    if (value > limit) return false;
    ++pos;
  }
  return true;
}

}  // namespace

TextDisplay::TextDisplay() = default;
TextDisplay::~TextDisplay() = default;

bool TextDisplay::IsValueFormat(std::string_view format) {
  int conversions = 0;
  for (size_t pos = 0; pos < format.size(); ++pos) {
    if (format[pos] != '%') continue;
    ++pos;
    if (pos < format.size() && format[pos] == '%') continue;
    while (pos < format.size() && std::string_view("-+ #0").find(format[pos]) != std::string_view::npos) ++pos;
    if (!ReadSmallNumber(format, pos, kMaxFieldWidth)) return false;
    if (pos < format.size() && format[pos] == '.') {
      ++pos;
      if (!ReadSmallNumber(format, pos, kMaxFieldWidth)) return false;
    }
    if (pos < format.size() && format[pos] == 'l') ++pos;
    if (pos >= format.size() || std::string_view("fFeEgGaA").find(format[pos]) == std::string_view::npos) {
      return false;
    }
    ++conversions;
  }
  return conversions == 1;
}

PWStringRef TextDisplay::FormatValue(float value) const {
  if (m_formatString.IsNull()) return {};
  return PWStringCreateWithFormat(m_formatString.View(), static_cast<double>(value));
}

eAppErr TextDisplay::Draw(const KsRect<int32_t>& frame, const KsRef<PanoView>&, const KsRef<PanoRenderer>& renderer,
                          float z) {
  if (!m_binding || m_formatString.IsNull()) return AppErr::kNoErr;
  if (!renderer) return KS_TRACE_ERR(AppErr::kNotReady, "Draw");
  const float px = static_cast<float>(frame.x) + static_cast<float>(frame.w) * m_drawPointPercent.x;
  const float py = static_cast<float>(frame.y) + static_cast<float>(frame.h) * m_drawPointPercent.y;
  float value = 0.0f;
  eAppErr err = m_binding->GetValue(&value);
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  err = renderer->RenderText(px, py, z, FormatValue(value));
  if (AppErrFailed(err)) return KS_TRACE_ERR(err, "Draw");
  return err;
}

KsRef<HcPropertyBindingBase> TextDisplay::GetPropertyBinding() const { return m_binding; }

eAppErr TextDisplay::SetPropertyBinding(const KsRef<HcPropertyBindingBase>& binding) {
  DidChangeCaller change(this, kPropertyBindingId);
  if (binding && binding->GetPropertyType() != KsPropertyType::kFloat) {
    return KS_TRACE_ERR(AppErr::kBadArgument, "SetPropertyBinding");
  }
  m_binding = binding;
  return AppErr::kNoErr;
}

eAppErr TextDisplay::SetFormatString(const PWStringRef& format) {
  if (!format.IsNull() && !IsValueFormat(format.View())) return KS_TRACE_ERR(AppErr::kBadArgument, "SetFormatString");
  DidChangeCaller change(this, kFormatStringId);
  m_formatString = format;
  return AppErr::kNoErr;
}

eAppErr TextDisplay::SetDrawPointPercent(const KsPointF& point) {
  DidChangeCaller change(this, kDrawPointPercentId);
  m_drawPointPercent = point;
  return AppErr::kNoErr;
}
