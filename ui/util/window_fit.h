#pragma once
// Every window on the screen of the main window, whole where it fits; where
// it does not, its title bar and close button stay on the screen and its
// content scrolls inside it. Geometry in screen pixels, y down.
#include <QMargins>
#include <QRect>

class QWidget;

// The room the desktop's frame takes round the window's content (title bar
// and borders). A window not yet on the screen has no frame to measure:
// the last one measured stands for it, or a typical title bar.
QMargins WindowFrameMargins(const QWidget* window);

// The usable area of the screen holding the anchor (the main window), or of
// the window's own screen without one; empty when there is no screen.
QRect WindowScreenArea(QWidget* window, QWidget* anchor);

// Moves a top-level window so that its frame's top left corner lands on the
// point. The window is placed by its content, the frame reckoned round it:
// a frame the window system has not reported yet cannot misplace it.
void MoveWindowFrameTo(QWidget* window, QPoint frameTopLeft);

// Puts a top-level window, frame and all, inside that area: a larger one is
// made to scroll its content (its layout moves into a scroll area) and
// shrunk to the area; then it is moved in, top left corner first.
void FitWindowOnScreen(QWidget* window, QWidget* anchor);
// A window closed after it was made to scroll gets back its content, size
// and limits: each opening starts from the window's own size, which fits
// or not by what it shows then, whatever window was shown before it.
void EndWindowFit(QWidget* window);
