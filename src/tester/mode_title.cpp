#include "tester/mode_title.h"

#include "base/version.h"

#include <QCoreApplication>

namespace tester {

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("MainWindow", text);
}

// Whole templates of the modes whose titles are translated as one text.
struct Templates {
    int mode;
    const char* withEngine;
    const char* panelOnly;
};
const Templates kTemplates[] = {
    {8, QT_TRANSLATE_NOOP("MainWindow", "H2写入\nV%L1\nV%L2\n"),
     QT_TRANSLATE_NOOP("MainWindow", "H2写入\nV%L1\n\n")},
    {9, QT_TRANSLATE_NOOP("MainWindow", "H2校验\nV%L1\nV%L2\n"),
     QT_TRANSLATE_NOOP("MainWindow", "H2校验\nV%L1\n\n")},
    {10, QT_TRANSLATE_NOOP("MainWindow", "擦除\nV%L1\nV%L2\n"),
     QT_TRANSLATE_NOOP("MainWindow", "擦除\nV%L1\n\n")},
    {11, QT_TRANSLATE_NOOP("MainWindow", "协议分析\nV%L1\nV%L2\n"),
     QT_TRANSLATE_NOOP("MainWindow", "协议分析\nV%L1\n\n")},
};

const Templates* wholeTemplate(int mode) {
    for (const Templates& t : kTemplates) {
        if (t.mode == mode)
            return &t;
    }
    return nullptr;
}

// Fills a template with the versions; the engine's only when it has reported one.
QString withVersions(const QString& withEngine, const QString& panelOnly, uint32_t engine) {
    if (engine != 0)
        return withEngine.arg(hexVersion(kPanelVersion), hexVersion(engine));
    return panelOnly.arg(hexVersion(kPanelVersion));
}

QString nameTitle(const QString& name, uint32_t engine) {
    return withVersions(name + QStringLiteral("\nV%L1\nV%L2\n"),
                        name + QStringLiteral("\nV%L1\n\n"), engine);
}

} // namespace

QString modeName(int mode) {
    switch (mode) {
    case 1:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "格式化"));
    case 2:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "H5测试"));
    case 8:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "H2写入"));
    case 9:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "H2校验"));
    case 10:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "擦除"));
    case 11:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "协议分析"));
    default:
        return translated(QT_TRANSLATE_NOOP("MainWindow", "H2测试"));
    }
}

QString startTitle(int mode, uint32_t engineVersion) {
    if (mode == 10 || mode == 11) {
        const Templates* t = wholeTemplate(mode);
        return withVersions(translated(t->withEngine), translated(t->panelOnly), engineVersion);
    }
    return nameTitle(modeName(mode), engineVersion);
}

QString settingTitle(int mode, uint32_t engineVersion) {
    if (const Templates* t = wholeTemplate(mode))
        return withVersions(translated(t->withEngine), translated(t->panelOnly), engineVersion);
    switch (mode) {
    case 1:
        return nameTitle(QStringLiteral("Format"), engineVersion);
    case 2:
        return nameTitle(QStringLiteral("H5test   "), engineVersion);
    default:
        return nameTitle(QStringLiteral("H2test   "), engineVersion);
    }
}

} // namespace tester
