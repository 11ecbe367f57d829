#pragma once
// Pictures of windows for a person to look at, on request: with
// QV_SCREENSHOTS naming a folder, each is written there as "<name>.png";
// without it nothing is written.
#include <QString>

class QWidget;

void SaveWindowShot(QWidget* window, const QString& name);
