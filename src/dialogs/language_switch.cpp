#include "dialogs/language_switch.h"

#include "base/globals.h"
#include "base/translation.h"

#include <QCoreApplication>
#include <QTranslator>

bool switchLanguage(int currentLanguage, int chosenLanguage) {
    if (currentLanguage == chosenLanguage)
        return false;
    if (gTranslator) {
        loadTranslation(*gTranslator, chosenLanguage);
        QCoreApplication::installTranslator(gTranslator);
    }
    return true;
}
