#pragma once
// The engine's word that it wrote a style, template or profile file, as a
// Qt signal on the GUI thread, so every list of such files can reload.
#include <QObject>
#include <QString>

#include "io/files/written_files.h"

class WrittenFiles : public QObject {
  Q_OBJECT
public:
  // The one notifier; the first call installs it as the engine's listener.
  static WrittenFiles* instance();

signals:
  // Emitted at once when the file was written on the GUI thread, through
  // the event loop otherwise.
  void written(WrittenFileKind kind, const QString& path);

private:
  WrittenFiles() = default;
};
