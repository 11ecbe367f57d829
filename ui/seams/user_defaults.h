#pragma once
// The user's settings, under the documented key names. Tests point them at
// a file of their own, or take them away to stand for a system that has
// none.
#include <QSettings>
#include <QString>

// The settings store, or null when there is none.
QSettings* UserDefaults();
// Settings kept in an INI file of the caller's choice (tests).
void UserDefaultsUseFile(const QString& path);
// No settings store at all.
void UserDefaultsDisable();
// Back to the user's own settings.
void UserDefaultsReset();

// Typed reads: false (value left alone) when the key is absent or does not
// hold a value of that type.
bool UserDefaultsReadInt(const QString& key, int& value);
bool UserDefaultsReadDouble(const QString& key, double& value);
bool UserDefaultsReadBool(const QString& key, bool& value);
// A folder kept as a file URL ("OutputDir"), as a local path; "" when absent.
QString UserDefaultsReadFolder(const QString& key);
// Stores the folder of the file as a file URL under the key.
void UserDefaultsWriteFolderOf(const QString& key, const QString& filePath);
// Writes and flushes at once; nothing without a store.
void UserDefaultsWrite(const QString& key, const QVariant& value);
void UserDefaultsRemove(const QString& key);
