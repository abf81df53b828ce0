#pragma once
// Changes to the port frames that cost no more than they must: each tick sets every figure
// again, mostly to what it already shows.

class QProgressBar;
class QString;
class QWidget;

// Sets a bar's value without the immediate repaint QProgressBar does on its own: the bar is
// painted with the rest of its frame when the event loop comes round, once per tick instead
// of once per bar and again with the frame.
void setBarValue(QProgressBar* bar, int value);

// Sets a style sheet unless the widget has it already: setting one repolishes the widget and
// every child, even when nothing changes.
void restyle(QWidget* widget, const QString& sheet);
