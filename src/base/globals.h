#pragma once
// Process-wide objects of the panel, created once at start-up.

#include <atomic>

class QApplication;
class QTranslator;
class QWidget;

extern QApplication* gApp;
extern QTranslator* gTranslator;

// The start dialog while it is shown, else null; only the GUI thread touches it.
extern QWidget* startDialog;

// 1 once a settings message has gone to a board.
extern std::atomic<int> alreadySendSetting;
