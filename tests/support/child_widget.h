#pragma once
// Widgets of a form by object name, for tests that drive forms through their widgets.

#include <QString>
#include <QWidget>

// The child widget of `parent` called `name`; a missing one ends the run, naming it.
template <typename T = QWidget> T* child(QWidget* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found)
        qFatal("no widget %s", qPrintable(name));
    return found;
}
