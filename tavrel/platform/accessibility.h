#pragma once

class QWidget;

// What a screen reader learns of the widgets Qt describes poorly on Linux:
// - a combo box is named by its label (the name the program gave it, or the label
//   whose buddy it is) and gives its text as its value; Qt's own interface names
//   it by its text, so that a list of fonts is announced as "Arial" rather than
//   "Select Font:". It keeps what Qt's offers: the list and the edit field as
//   children, and the action that opens and closes the list;
// - a plain frame that holds controls is a pane, not a window of its own;
// - the handle of a splitter is a separator;
// - a window that is a plain widget is a window, not a filler;
// - the pad's caret is the text's current position, the word being read aloud
//   included (see PadAccessible).
namespace Accessibility {

// Installs the interfaces for every widget of the program; idempotent. Call before
// the first window is shown.
void install();

// Names the controls below `root` that have no name of their own: scroll bars by
// their direction, buttons that show only an icon by their tooltip (a line edit's
// clear button and a tool bar's button for more tools by what they do).
void nameUnnamed(QWidget *root);

} // namespace Accessibility
