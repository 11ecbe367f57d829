#pragma once
// The templates and styles shipped with the program, put where the
// template menu and the add-object toolbox look for them: the documents
// folder's "Templates", "Styles", "Video Positions" and "Images".
#include <QString>

// The shipped set: share/quelvatron/starter beside the installed program,
// else the one in the source tree the program was built from; empty when
// neither exists.
QString StarterSetFolder();
// Copies every file of the set's sub-folders that the documents folder
// lacks; a file of that name already there (the user's own, or one the
// user changed) is never replaced. The number of files copied.
int StarterSetInstall(const QString& from, const QString& documents);
