#pragma once

#include <string_view>
#include <vector>

// One class of the program as its class object answers for it.
struct ClassTableRow {
  const char* className;     // the implementation name
  const char* externalName;  // the class-map key and the type name in object data
  const char* parentName;    // null for the root
  bool isAbstract;
  bool isCollection;
};

const std::vector<ClassTableRow>& GetClassTable();
const ClassTableRow* FindClassTableRow(std::string_view className);
