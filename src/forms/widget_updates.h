#pragma once
// Changes to the port frames that cost no more than they must: each tick sets every figure
// again, mostly to what it already shows.

class QString;
class QWidget;

// Port frames paint their own style-sheet background and are marked opaque, so that a changed
// figure does not paint the window and the grid under the frame again. Call from paintEvent
// before the base class's; `makeOpaque` once at construction.
void makeOpaque(QWidget* frame);
void paintOwnBackground(QWidget* frame);

// Sets a style sheet unless the widget has it already: setting one repolishes the widget and
// every child, even when nothing changes.
void restyle(QWidget* widget, const QString& sheet);
