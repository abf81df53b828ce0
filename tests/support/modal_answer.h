#pragma once
// Answers a modal window (message box, colour dialog, a dialog run by exec()) the way an
// operator would, from inside the nested event loop that shows it.

#include <QObject>
#include <QWidget>

#include <functional>
#include <memory>

// Looks every 10 ms for a visible top-level widget of `className`
// and runs `action` on it once. Gives up after `timeoutMs`. The returned flag turns true
// once the action ran.
std::shared_ptr<bool> answerModalNamed(const char* className, std::function<void(QWidget*)> action,
                                       int timeoutMs = 5000);

// Accepts the next message box, keeping its title in *title.
std::shared_ptr<bool> acceptMessageBox(QString* title, int timeoutMs = 5000);

template <typename T>
std::shared_ptr<bool> answerModal(std::function<void(T*)> action, int timeoutMs = 5000) {
    return answerModalNamed(
        T::staticMetaObject.className(), [action](QWidget* w) { action(static_cast<T*>(w)); },
        timeoutMs);
}
