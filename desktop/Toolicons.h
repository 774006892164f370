// The pictures of the main window's tool bar and status lamps, drawn in code
// so the program carries no image files: a floppy disk, a cassette tape, a
// screen being saved, a magnifier, the full-screen corners, a speed gauge, a
// clock and the reset arrow; and the lamp of the status bar, off and on.
#pragma once

#include <QIcon>
#include <QPixmap>

enum class TToolIcon { Disk, Tape, SaveScreen, Zoom, FullScreen, Performance, Timer, Reset };

QIcon ToolIcon(TToolIcon which);

// The status bar's lamp picture: 16 x 16, dark when off, lit red when on.
QPixmap LampPixmap(bool on);
