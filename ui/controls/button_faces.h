#pragma once
// Pictures of the buttons that show one (link and play buttons), drawn in
// code so that the program needs no picture files beside it. Known names:
// "Join" (linked), "UnJoin" (not linked), "Play-Green", "Pause-Blue". An
// unknown name gives a null icon.
#include <QIcon>
#include <QString>

QIcon ButtonFace(const QString& name);
