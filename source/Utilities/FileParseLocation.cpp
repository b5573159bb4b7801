#include "Utilities/FileParseLocation.h"

#include <string>

PWStringRef FileParseLocation::CreateString() const {
  return PWStringRef("line " + std::to_string(m_line) + " column " + std::to_string(m_column));
}
