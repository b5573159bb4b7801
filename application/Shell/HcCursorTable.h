#pragma once

#include <QCursor>
#include <QString>
#include <map>
#include <optional>

// The custom navigation cursors: read on first use from "ArrowCursors.plist"
// in the resources' "Cursors" folder, an array of dictionaries with "name"
// (the PNG beside it, without extension), the hot spot "x", "y" and the
// cursor code "id" (a later entry replaces an earlier one with the same id).
// Kept for the run.
class HcCursorTable {
 public:
  static std::optional<QCursor> hcCursor(int code);
  // Reads a table from a cursors folder (what hcCursor loads once).
  static std::map<int, QCursor> load(const QString& cursorsFolder);
};
