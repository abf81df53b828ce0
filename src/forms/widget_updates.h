#pragma once
// Changes to the port frames that cost no more than they must: each tick sets every figure
// again, mostly to what it already shows.

class QString;
class QWidget;

// Sets a style sheet unless the widget has it already: setting one repolishes the widget and
// every child, even when nothing changes.
void restyle(QWidget* widget, const QString& sheet);
