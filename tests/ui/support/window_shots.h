#pragma once
// Pictures of windows for a person to look at, written as PNG files into
// "ui-screenshots" beside the test program.
#include <QString>

class QWidget;

// True when the picture was written (and is not a sliver).
bool SaveWindowShot(QWidget* window, const QString& name);
