#pragma once
// The per-user settings store: string values by application, section and key, kept in one INI
// file per application in the user's configuration folder. Sections and keys compare without
// regard to letter case, as the original store did; values are kept exactly, commas included.

#include <QString>

namespace rt {

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
// Returns false when the store could not be written.
bool SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);

// The folder that holds the stores (tests point it at a scratch folder). An empty folder
// restores the user's configuration folder.
void setSettingsFolder(const QString& folder);
QString settingsFolder();
// The file that holds one application's settings.
QString settingsFilePath(const QString& appName);

} // namespace rt
