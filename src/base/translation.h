#pragma once

#include <QString>

class QTranslator;

// "en.qm" for a non-zero language, else "ch.qm".
QString translationFileName(int language);
// Loads the catalogue from the working directory, then the installed data directory, then
// beside the program. False when none was found (the Chinese source texts then show).
bool loadTranslation(QTranslator& translator, int language);
