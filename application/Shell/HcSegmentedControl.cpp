#include "HcSegmentedControl.h"

#include <QAbstractButton>
#include <QButtonGroup>

void HcSegmentedControl::unselectAllSegments(QButtonGroup* group) {
  if (!group) return;
  // An exclusive group keeps one button checked: lift that while clearing.
  const bool exclusive = group->exclusive();
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) {
    button->setChecked(false);
    button->update();
  }
  group->setExclusive(exclusive);
}
