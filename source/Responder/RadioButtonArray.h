#pragma once

#include <vector>

#include "Responder/MouseResponder.h"
#include "PWString.h"

class KsStringCollection;
class SourceCollection;

// Turns the vector objects of an overlay view into a row of radio buttons:
// button i is the view's vector object i (a source display), named by entry
// i of ButtonNames, and shows the source "<name>Up" or "<name>Down" of
// SourceCollection; exactly the current button shows its down image. A
// press and release over the same button selects it: the subclass acts on
// the selection (ButtonSelected) and, when that succeeds, the button becomes
// current. While a button is pressed and the pointer is over it, its image
// is inverted.
class RadioButtonArray : public MouseResponder {
  HC_CLASS_HEADER(RadioButtonArray)
 public:
  enum : int32_t {
    kSourceCollectionId = 300,
    kButtonNamesId = 301,
    kCurrentButtonNameId = 302,
    kCurrentButtonIndexId = 303,
  };

  RadioButtonArray();
  ~RadioButtonArray() override;

  bool MouseDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseRightDown(const KsPointF& point, uint32_t* cursor) override;
  void MouseRightUp(const KsPointF& point, uint32_t* cursor) override;
  bool MouseMoved(const KsPointF& point, uint32_t* cursor) override;
  // Called before the button becomes current: whether it may (a failed
  // selection leaves the current button as it was).
  virtual bool ButtonSelected(uint32_t index) = 0;

  KsRef<SourceCollection> GetSourceCollection() const;
  eAppErr SetSourceCollection(const KsRef<SourceCollection>& sources);
  KsRef<KsStringCollection> GetButtonNames() const;
  // None gives an empty list.
  eAppErr SetButtonNames(const KsRef<KsStringCollection>& names);
  PWStringRef GetCurrentButtonName() const;
  // The stored index clamped to the buttons (the count less one past the
  // end; with no buttons the unsigned form of -1).
  uint32_t GetCurrentButtonIndex() const;
  // Stores the index, forgets a press in progress and shows the images
  // again; does not call ButtonSelected.
  eAppErr SetCurrentButtonIndex(uint32_t index);
  int32_t GetPressedButton() const { return m_pressed; }

 private:
  uint32_t ButtonCount() const;
  void BuildButtonImages();
  bool ButtonContainsPoint(uint32_t index, const KsPointF& point) const;
  void ShowButton(uint32_t index, bool down);
  void Refresh(const KsPointF& point);

  KsRef<SourceCollection> m_sourceCollection;
  KsRef<KsStringCollection> m_buttonNames;
  uint32_t m_currentButtonIndex = 0;
  int32_t m_pressed = -1;
  std::vector<KsRef<SourceCollection>> m_buttonImages;
  bool m_built = false;
};
HC_CLASS_OBJECT(RadioButtonArray, MouseResponder)
