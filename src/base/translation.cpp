#include "base/translation.h"

#include <QCoreApplication>
#include <QTranslator>

QString translationFileName(int language) {
    return language != 0 ? QStringLiteral("en.qm") : QStringLiteral("ch.qm");
}

bool loadTranslation(QTranslator& translator, int language) {
    const QString file = translationFileName(language);
    if (translator.load(file))
        return true;
    if (translator.load(file, QStringLiteral(H2_DATA_DIR)))
        return true;
    return translator.load(file, QCoreApplication::applicationDirPath());
}
