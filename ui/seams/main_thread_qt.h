#pragma once
// Hands the engine's main-thread work to the Qt event loop: posted jobs run
// in order on the GUI thread, and the engine's waits on that thread keep the
// loop served. Call on the GUI thread once the QApplication exists.
void MainThreadInstallQt();
// Takes the event loop away again (as the application object goes).
void MainThreadUninstallQt();
// True on the GUI thread.
bool IsGuiThread();
