#pragma once

#include "General/KsTypeSafeCollection.h"
#include "Time/HcGoal.h"

// The goals of a transition: "goals" with "goal" elements in HcML.
class HcGoalCollection : public KsTypeSafeCollection<HcGoal> {
  HC_CLASS_HEADER(HcGoalCollection)
};
HC_OBJECT_COLLECTION_CLASS_OBJECT(HcGoalCollection)
