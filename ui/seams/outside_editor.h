#pragma once
// Editing a file in another program and waiting until the user is done:
// the image editor of the background bitmap window.
//
// The editor is the command line kept under the user default "ImageEditor"
// when there is one, else the desktop's default application for the file's
// type (its desktop entry's command). In the command, %f, %F, %u or %U
// stands for the file (the last two as a file URL) and %% for a per cent
// sign; other field codes are dropped; without a file code the file comes
// last. Arguments with spaces are put in double quotes, as in desktop
// entries. Tests name a script of their own as the editor.
#include <QString>
#include <QStringList>

// The program and arguments that edit the file; empty when no editor is
// known. Main thread (it reads the settings).
QStringList OutsideEditorCommand(const QString& path);
// The command line with its field codes filled in for the file.
QStringList OutsideEditorExpand(const QString& commandLine, const QString& path);
// Runs the command and returns when the program has ended; false, with the
// reason, when it could not be started. Blocks: any thread but the GUI's.
bool OutsideEditorRunAndWait(const QStringList& command, QString* reason);
