#pragma once

class QLabel;
class QString;
class QWidget;

// Installs, once, the accessibility of the painted widgets (PictureWidget):
// each a chart whose name is its accessible name, whose description is its
// summary and whose children are its items. Call after the application
// object exists; later calls do nothing.
void installPictureAccessibility();

// A top-level widget read as a window with its title (else a plain QWidget
// reads as a filler). Call before it is shown.
void exposeAsWindow(QWidget *window);

// A plain-text label that names its input: the label is the input's buddy
// (assistive technology links them) and the input's accessible name is the
// caption without its colon.
QLabel *labelFor(const QString &caption, QWidget *input);
