#pragma once
// Presses on a main window as the operator's finger does and answers the settings dialog the
// press opens. The answer runs inside the dialog's own event loop.

#include <QString>
#include <functional>

class QDialog;
class QWidget;

// Presses on `window`; a dialog that opens is handed to `answer` (which should end it with
// OK or Cancel). Returns the class name of the dialog, or "" when none opened.
QString pressAndAnswer(QWidget& window, const std::function<void(QDialog&)>& answer);

// Answers: OK after ticking the named mode button (none for an empty name), or Cancel.
std::function<void(QDialog&)> chooseAndAccept(const char* modeButton);
std::function<void(QDialog&)> cancel();
