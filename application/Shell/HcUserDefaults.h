#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <memory>

// The player's user defaults: what the user set, kept in QSettings (XDG
// config), over a layer of registered defaults that is never written out.
// A key the user never set reads its registered value, else an empty value
// (0, NO, ""). Every change of a key's effective value is announced, so that
// bindings (the auto-pan delay of the real-time clock) follow it.
class HcUserDefaults : public QObject {
  Q_OBJECT
 public:
  // The process's defaults (the organisation and application names of the
  // QApplication choose the file; tests point QSettings elsewhere).
  static HcUserDefaults& standardUserDefaults();
  // A store over the given file, for tests.
  explicit HcUserDefaults(const QString& fileName, QObject* parent = nullptr);
  ~HcUserDefaults() override;

  // Registered values take the place of missing keys; later registrations
  // of a key replace earlier ones.
  void registerDefaults(const QVariantMap& defaults);

  QVariant objectForKey(const QString& key) const;
  bool boolForKey(const QString& key) const;
  float floatForKey(const QString& key) const;
  int integerForKey(const QString& key) const;
  QString stringForKey(const QString& key) const;

  void setObject(const QVariant& value, const QString& key);
  void setBool(bool value, const QString& key) { setObject(value, key); }
  void setFloat(float value, const QString& key) { setObject(static_cast<double>(value), key); }
  void setInteger(int value, const QString& key) { setObject(value, key); }
  // Takes the user's value away; the registered one shows again.
  void removeObjectForKey(const QString& key);
  void synchronize();

 signals:
  void valueChanged(const QString& key);

 private:
  HcUserDefaults();
  std::unique_ptr<QSettings> m_settings;
  QVariantMap m_registered;
};
