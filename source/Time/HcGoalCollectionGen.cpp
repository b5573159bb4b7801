#include "Time/HcGoalCollection.h"

HC_DEFINE_OBJECT_COLLECTION_CLASS(HcGoalCollection, HcGoal, "goals", "goal")
