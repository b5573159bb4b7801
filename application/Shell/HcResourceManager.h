#pragma once

#include <QString>
#include <QVector>

#include "platform/runtime/Object.h"

class QAction;
class QMenu;

// The HcML resources that ship with the application: the projection and
// viewset definitions in the resources' "Projections" and "Viewsets" folders
// (subfolders included, in sorted order), read once and loaded into every
// opened movie's context at "hc://Projections" and "hc://Viewsets".
class HcResourceManager {
 public:
  struct Entry {
    QString name;  // the file's path in the folder, less a leading order number and ".hcml"
    QString path;
    QString hcml;  // with every "&ViewsetDir;" replaced by the file's folder (XML-escaped)
  };

  // The shared instance, made on first use from the application's resources.
  static HcResourceManager& defaultResourceManager();
  // An instance over another resources folder (tests).
  explicit HcResourceManager(const QString& resourceFolder);

  const QVector<Entry>& projections() const { return m_projections; }
  const QVector<Entry>& viewsets() const { return m_viewsets; }

  // Sends the context proxy "loadHcML:atRoot:" for every entry, in order.
  void loadProjectionsIntoContext(hc::runtime::Id context) const;
  void loadViewsetsIntoContext(hc::runtime::Id context) const;
  // The first viewset's name; empty when there is none.
  QString defaultViewsetName() const;

  // One item per projection, each carrying its entry's index.
  void populateProjectionMenu(QMenu* menu) const;
  // Of the entry an item of that menu stands for; empty for any other item.
  QString hcmlForMenuItem(const QAction* item) const;
  QString pathForMenuItem(const QAction* item) const;
  QString nameForMenuItem(const QAction* item) const;

  // Reads every ".hcml" file (exact extension) below the folder.
  static QVector<Entry> loadResourceFolder(const QString& folder);
  // The display name of a path relative to its resource folder.
  static QString nameForRelativePath(const QString& relativePath);

 private:
  const Entry* entryForMenuItem(const QAction* item) const;

  QVector<Entry> m_projections;
  QVector<Entry> m_viewsets;
};
