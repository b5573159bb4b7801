#pragma once

#include <cstdint>
#include <string_view>

#include "PWString.h"
#include "View/HcVectorObject.h"

class HcPropertyBindingBase;

// Shows the current value of a float property of another object as text:
// the value is read through a binding, formatted with a printf-style format
// of one floating-point conversion, and drawn by the renderer at a point
// given as fractions of the vector view's frame.
class TextDisplay : public HcVectorObject {
  HC_CLASS_HEADER(TextDisplay)
 public:
  enum : int32_t { kPropertyBindingId = 300, kFormatStringId = 301, kDrawPointPercentId = 302 };
  // Widest field and most digits a format may ask for.
  static constexpr int kMaxFieldWidth = 64;

  TextDisplay();
  ~TextDisplay() override;

  // 0 without a binding or format (nothing drawn); a failure to read the
  // value or draw the text is returned.
  eAppErr Draw(const KsRect<int32_t>& frame, const KsRef<PanoView>& contextView, const KsRef<PanoRenderer>& renderer,
               float z) override;

  // Whether the format holds exactly one floating-point conversion ("%"
  // with flags, width and precision, then one of f F e E g G a A) besides
  // any number of "%%".
  static bool IsValueFormat(std::string_view format);

  KsRef<HcPropertyBindingBase> GetPropertyBinding() const;
  // -2 for a binding that doesn't resolve to a float property (the binding
  // held stays); null clears it.
  eAppErr SetPropertyBinding(const KsRef<HcPropertyBindingBase>& binding);
  PWStringRef GetFormatString() const { return m_formatString; }
  // -2 for a format that IsValueFormat refuses (the format held stays);
  // null is taken and draws nothing.
  eAppErr SetFormatString(const PWStringRef& format);
  KsPointF GetDrawPointPercent() const { return m_drawPointPercent; }
  eAppErr SetDrawPointPercent(const KsPointF& point);

  // The text the value shows as.
  PWStringRef FormatValue(float value) const;

 private:
  KsRef<HcPropertyBindingBase> m_binding;
  PWStringRef m_formatString{"%.2f"};
  KsPointF m_drawPointPercent{0.0f, 0.0f};
};
HC_CLASS_OBJECT(TextDisplay, HcVectorObject)
