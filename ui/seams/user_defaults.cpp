#include "ui/seams/user_defaults.h"

#include <QFileInfo>
#include <QUrl>
#include <memory>

namespace {

struct DefaultsState {
  std::unique_ptr<QSettings> settings;
  bool disabled = false;
};

DefaultsState& state() {
  static DefaultsState defaults;
  return defaults;
}

} // namespace

QSettings* UserDefaults() {
  DefaultsState& s = state();
  if (s.disabled) return nullptr;
  if (!s.settings) s.settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Quelvatron", "Quelvatron");
  return s.settings.get();
}

void UserDefaultsUseFile(const QString& path) {
  state().disabled = false;
  state().settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

void UserDefaultsDisable() {
  state().settings.reset();
  state().disabled = true;
}

void UserDefaultsReset() {
  state().settings.reset();
  state().disabled = false;
}

bool UserDefaultsReadInt(const QString& key, int& value) {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains(key)) return false;
  bool ok = false;
  // Stored as text in the file: a value such as "720.0" or "abc" is no integer.
  qlonglong read = settings->value(key).toString().trimmed().toLongLong(&ok);
  if (!ok || read < INT32_MIN || read > INT32_MAX) return false;
  value = static_cast<int>(read);
  return true;
}

bool UserDefaultsReadDouble(const QString& key, double& value) {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains(key)) return false;
  bool ok = false;
  double read = settings->value(key).toString().trimmed().toDouble(&ok);
  if (!ok || read != read) return false;
  value = read;
  return true;
}

bool UserDefaultsReadBool(const QString& key, bool& value) {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains(key)) return false;
  QString text = settings->value(key).toString().trimmed().toLower();
  if (text == "true" || text == "1" || text == "yes") {
    value = true;
  } else if (text == "false" || text == "0" || text == "no") {
    value = false;
  } else {
    return false;
  }
  return true;
}

void UserDefaultsWrite(const QString& key, const QVariant& value) {
  QSettings* settings = UserDefaults();
  if (settings == nullptr) return;
  settings->setValue(key, value);
  settings->sync();
}

void UserDefaultsRemove(const QString& key) {
  QSettings* settings = UserDefaults();
  if (settings == nullptr) return;
  settings->remove(key);
  settings->sync();
}

QString UserDefaultsReadFolder(const QString& key) {
  QSettings* settings = UserDefaults();
  if (settings == nullptr || !settings->contains(key)) return QString();
  return QUrl(settings->value(key).toString()).toLocalFile();
}

void UserDefaultsWriteFolderOf(const QString& key, const QString& filePath) {
  UserDefaultsWrite(key, QUrl::fromLocalFile(QFileInfo(filePath).path() + "/").toString());
}
