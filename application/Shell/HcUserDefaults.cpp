#include "HcUserDefaults.h"

#include <QCoreApplication>

HcUserDefaults& HcUserDefaults::standardUserDefaults() {
  static HcUserDefaults* defaults = new HcUserDefaults();
  return *defaults;
}

HcUserDefaults::HcUserDefaults() : m_settings(std::make_unique<QSettings>()) {}

HcUserDefaults::HcUserDefaults(const QString& fileName, QObject* parent)
    : QObject(parent), m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {}

HcUserDefaults::~HcUserDefaults() = default;

void HcUserDefaults::registerDefaults(const QVariantMap& defaults) {
  for (auto it = defaults.begin(); it != defaults.end(); ++it) {
    const QVariant before = objectForKey(it.key());
    m_registered.insert(it.key(), it.value());
    if (objectForKey(it.key()) != before) emit valueChanged(it.key());
  }
}

QVariant HcUserDefaults::objectForKey(const QString& key) const {
  if (m_settings->contains(key)) return m_settings->value(key);
  return m_registered.value(key);
}

// QSettings hands back text for numbers read from its file; the conversions
// read it in the C locale whatever the user's locale.
bool HcUserDefaults::boolForKey(const QString& key) const {
  const QVariant value = objectForKey(key);
  if (value.typeId() == QMetaType::QString) {
    const QString text = value.toString().trimmed().toLower();
    return text == "true" || text == "yes" || text.toDouble() != 0.0;
  }
  return value.toBool();
}

float HcUserDefaults::floatForKey(const QString& key) const {
  return static_cast<float>(objectForKey(key).toDouble());
}

int HcUserDefaults::integerForKey(const QString& key) const {
  const QVariant value = objectForKey(key);
  bool ok = false;
  const int number = value.toInt(&ok);
  return ok ? number : static_cast<int>(value.toDouble());
}

QString HcUserDefaults::stringForKey(const QString& key) const { return objectForKey(key).toString(); }

void HcUserDefaults::setObject(const QVariant& value, const QString& key) {
  const QVariant before = objectForKey(key);
  m_settings->setValue(key, value);
  if (objectForKey(key) != before) emit valueChanged(key);
}

void HcUserDefaults::removeObjectForKey(const QString& key) {
  const QVariant before = objectForKey(key);
  m_settings->remove(key);
  if (objectForKey(key) != before) emit valueChanged(key);
}

void HcUserDefaults::synchronize() { m_settings->sync(); }
