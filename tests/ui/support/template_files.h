#pragma once
// Template files and logs for the template windows' tests: small templates
// written through the engine's template writer, copies of them under the
// menu's file names, the committed starter set, and a lap session log.
#include <QString>
#include <QStringList>
#include <string>

// A template of one text object named name and no inputs; false when it
// cannot be written.
bool WriteTextTemplate(const QString& path, const char16_t* name = u"Title");
// Empties the folder and fills it with n copies of the template, named
// prefix + two-digit number + ".qvt" from 1; their names in order.
QStringList FillTemplateFolder(const QString& folder, const QString& templatePath, int n,
                               const QString& prefix = "Project - T");
// The starter set committed with the sources.
QString StarterTemplates();
QString StarterTemplate(const QString& fileName);
// A 10 Hz lap session of a car (three laps) written as CSV; its path.
std::string WriteLapSession(const std::string& folder);
