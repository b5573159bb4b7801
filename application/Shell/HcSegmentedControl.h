#pragma once

class QButtonGroup;

// Segmented controls are groups of checkable buttons here.
class HcSegmentedControl {
 public:
  // Leaves every segment unselected, whether the group is exclusive or not.
  static void unselectAllSegments(QButtonGroup* group);
};
