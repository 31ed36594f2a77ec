#pragma once

#include "shell/settingsfile.h"

#include <QSize>

class QWidget;
class RichTextPad;
class SpeechSynth;

// Where the nine settings come from at exit and go to at start.
//
// The window is stored as its geometry without the frame (the rectangle setGeometry
// takes), so that a write followed by a read puts the window back exactly where it
// was, whatever frame the window manager draws. A maximised, full-screen or minimised
// window stores the normal geometry it returns to: a maximised size restored as a
// normal window would cover the screen without being maximised, and a minimised
// window reports no useful place.
namespace WindowSettings {

SettingsFile::Values collect(const SpeechSynth &synth, const QWidget &window,
                             const RichTextPad &pad);

// Applies the nine fields in file order, each right after its conversion: speed,
// further voice value, window width, height, left and top, pad background, pitch,
// font name. Stops at the first field that cannot be converted or that its target
// rejects and returns false; the fields before it stay applied.
bool apply(const QStringList &fields, SpeechSynth &synth, QWidget &window, RichTextPad &pad);

// Brings the window, as stored or as it is, within the available area of the screen
// that holds its top-left corner (or of the primary screen when none does): no
// larger than that area, no smaller than `minimum` (unless the area is), and wholly
// inside it. A place stored on a screen gone since, or a size no screen can hold,
// leaves nothing out of reach and costs no more memory than the screen.
void fitToScreen(QWidget &window, const QSize &minimum);

} // namespace WindowSettings
