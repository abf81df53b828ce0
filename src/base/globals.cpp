#include "base/globals.h"

QApplication* gApp = nullptr;
QTranslator* gTranslator = nullptr;
QWidget* startDialog = nullptr;
std::atomic<int> alreadySendSetting{0};
