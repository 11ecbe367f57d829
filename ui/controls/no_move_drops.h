#pragma once
// No program that drags something onto a window of ours is ever told
// "move": a source told so may delete what it dragged, the file a project
// now uses. Our own drop targets answer copy or link (AnswerFileDrag); this
// also holds for widgets of Qt's own that take drops, such as a text field
// that takes a dragged path as text and would answer "move" when the
// source asks for it. Drags inside the program keep their own answers.
//
// Installed once on the application, on the GUI thread.
void NoMoveDropsInstall();
