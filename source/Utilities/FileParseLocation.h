#pragma once

#include "Utilities/ParseLocation.h"

// A position in a text document.
class FileParseLocation : public ParseLocation {
 public:
  FileParseLocation(int line, int column) : m_line(line), m_column(column) {}
  // "line %i column %i".
  PWStringRef CreateString() const override;
  int GetLine() const { return m_line; }
  int GetColumn() const { return m_column; }

 private:
  int m_line;
  int m_column;
};
