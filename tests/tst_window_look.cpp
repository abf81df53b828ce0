// What the operator sees of the main windows, form by form and in both languages: the texts
// of the status strips show whole and apart, and the cover of an empty port lies over its
// whole frame with its title inside the frame.

#include "forms/screen.h"
#include "burnin/framebn.h"
#include "burnin/mainwindowburnin.h"
#include "copier/copier_logic.h"
#include "copier/mainwindowcopy.h"
#include "forms/copier_forms.h"
#include "forms/tester_forms.h"
#include "link/status_block.h"
#include "platform/desktop_platform.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"
#include "tester/mode_title.h"

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>
#include <memory>

namespace {

enum class Kind { Tester, Copier, Burnin };

// Mode names the window writes into its strip's mode label.
QStringList modeNames(Kind kind) {
    QStringList names;
    if (kind == Kind::Tester) {
        for (int mode : {0, 1, 2, 8, 9, 10, 11})
            names << tester::modeName(mode);
    } else if (kind == Kind::Copier) {
        for (int mode : {3, 4, 5, 6, 12, 13, 1})
            names << copier::stripModeName(mode);
    } else {
        names << QStringLiteral("BURNIN");
    }
    return names;
}

const std::vector<forms::WindowForm>& table(Kind kind) {
    switch (kind) {
    case Kind::Tester:
        return forms::testerForms();
    case Kind::Copier:
        return forms::copierForms();
    case Kind::Burnin:
        break;
    }
    return forms::burninForms();
}

// Where a label's text reaches, from the label's left edge (labels are left-aligned).
int textWidth(const QLabel* label, const QString& text) {
    return label->fontMetrics().horizontalAdvance(text);
}

// Parts of the frame's own area that its shown cover leaves bare, or the title's text
// reaching past the frame; empty when the cover is sound.
QString coverFaults(const QWidget* frame, const QLabel* mask, const QLabel* title) {
    QStringList faults;
    const QRect maskRect(mask->mapTo(frame, QPoint(0, 0)), mask->size());
    if (!maskRect.contains(frame->rect()))
        faults << QStringLiteral("mask %1,%2 %3x%4 in a %5x%6 frame")
                      .arg(maskRect.x())
                      .arg(maskRect.y())
                      .arg(maskRect.width())
                      .arg(maskRect.height())
                      .arg(frame->width())
                      .arg(frame->height());
    const QRect titleRect(title->mapTo(frame, QPoint(0, 0)), title->size());
    const int flags = Qt::AlignCenter | (title->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect text = title->fontMetrics().boundingRect(titleRect, flags, title->text());
    if (!frame->rect().contains(text))
        faults << QStringLiteral("title text at %1,%2 %3x%4 in a %5x%6 frame")
                      .arg(text.x())
                      .arg(text.y())
                      .arg(text.width())
                      .arg(text.height())
                      .arg(frame->width())
                      .arg(frame->height());
    return faults.join(QStringLiteral("; "));
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class WindowLook : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void stripTextsFit_data();
    void stripTextsFit();
    void coversFillTheirFrames_data();
    void coversFillTheirFrames();

private:
    std::unique_ptr<QTemporaryDir> mRoot;
    QTranslator mEnglish;
};

void WindowLook::initTestCase() {
    mRoot = std::make_unique<QTemporaryDir>();
    QVERIFY(mRoot->isValid());
    h2::setPlatform(h2::makeDesktopPlatform(mRoot->path().toStdString()));
    const QString build = qEnvironmentVariable("H2_BINARY_DIR", QStringLiteral("."));
    QVERIFY2(mEnglish.load(QStringLiteral("en.qm"), build), qPrintable(build));
}

void WindowLook::cleanupTestCase() {
    QCoreApplication::removeTranslator(&mEnglish);
}

void WindowLook::stripTextsFit_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("english");
    const struct {
        Kind kind;
        const char* name;
    } kinds[] = {{Kind::Tester, "tester"}, {Kind::Copier, "copier"}, {Kind::Burnin, "burn-in"}};
    for (const auto& k : kinds) {
        const auto& forms = table(k.kind);
        for (int i = 0; i < int(forms.size()); ++i) {
            for (bool english : {false, true}) {
                QTest::addRow("%s %s %s", k.name, forms[i].name, english ? "en" : "ch")
                    << k.kind << i << english;
            }
        }
    }
}

// Captions in the language in force, the mode names the window writes and five-digit
// counters all fit their labels, and no two labels of a strip overlap.
void WindowLook::stripTextsFit() {
    QFETCH(Kind, kind);
    QFETCH(int, form);
    QFETCH(bool, english);
    if (english)
        QCoreApplication::installTranslator(&mEnglish);
    else
        QCoreApplication::removeTranslator(&mEnglish);

    const forms::WindowForm& f = table(kind)[size_t(form)];
    QMainWindow window;
    const forms::BuiltForm built =
        forms::buildForm(window, f, [](QWidget* parent, int) { return new QFrame(parent); });
    QVERIFY(built.strip);
    QStringList faults;
    QList<QLabel*> labels;
    for (const forms::StripLabel& entry : *f.stripLabels) {
        auto* label = built.strip->findChild<QLabel*>(QLatin1String(entry.name));
        QVERIFY2(label, entry.name);
        labels << label;
        QStringList texts;
        switch (entry.role) {
        case forms::LabelRole::Caption:
            texts << label->text();
            break;
        case forms::LabelRole::Value:
            texts << QStringLiteral("99999");
            break;
        case forms::LabelRole::Mode:
            texts << label->text() << modeNames(kind);
            break;
        }
        for (const QString& text : texts) {
            const int needed = textWidth(label, text);
            const int inkHeight = label->fontMetrics().tightBoundingRect(text).height();
            if (needed > label->width() || inkHeight > label->height())
                faults << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                              .arg(entry.name, text)
                              .arg(needed)
                              .arg(inkHeight)
                              .arg(label->width())
                              .arg(label->height());
        }
    }
    for (int a = 0; a < labels.size(); ++a) {
        for (int b = a + 1; b < labels.size(); ++b) {
            if (labels[a]->geometry().intersects(labels[b]->geometry()))
                faults << QStringLiteral("%1 overlaps %2")
                              .arg(labels[a]->objectName(), labels[b]->objectName());
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

void WindowLook::coversFillTheirFrames_data() {
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("ports");
    QTest::addColumn<int>("variant");
    QTest::addColumn<bool>("english");
    for (bool english : {false, true}) {
        const char* lang = english ? "en" : "ch";
        // Every count with a form of its own, and counts that take the general form.
        for (int ports : {4, 6, 8, 10, 12, 16, 20, 24, 28, 32, 40, 48, 51, 64, 121})
            QTest::addRow("copier %d %s", ports, lang) << Kind::Copier << ports << 0 << english;
        for (int ports : {8, 10, 12, 16, 20, 24, 32, 40, 48, 64, 80, 96})
            QTest::addRow("burn-in %d %s", ports, lang) << Kind::Burnin << ports << 0 << english;
        QTest::addRow("burn-in 16 tall %s", lang) << Kind::Burnin << 16 << 4 << english;
        for (int ports : {4, 8, 12, 16, 20, 24, 28, 32, 40, 48, 50, 51, 64, 80, 96, 121})
            QTest::addRow("tester %d %s", ports, lang) << Kind::Tester << ports << 0 << english;
        QTest::addRow("tester 16 wide %s", lang) << Kind::Tester << 16 << 4 << english;
    }
}

// Every frame of the laid-out window with its cover up: the cover hides the whole frame and
// the title reads whole inside it.
void WindowLook::coversFillTheirFrames() {
    QFETCH(Kind, kind);
    QFETCH(int, ports);
    QFETCH(int, variant);
    QFETCH(bool, english);
    if (english)
        QCoreApplication::installTranslator(&mEnglish);
    else
        QCoreApplication::removeTranslator(&mEnglish);
    SettingRecord r{};
    settings::loadDefaults(r);
    r.port_count = ports;
    r.machine_variant = variant;
    r.machine_type = kind == Kind::Copier ? 1 : 0;
    r.mode = kind == Kind::Copier ? 3 : kind == Kind::Burnin ? 7 : 0;
    commitSetting(r);
    Info.clear();
    StatusHeader header{};
    header.engineVersion = 0x24061501;
    Info.write(0, &header, sizeof(header));

    std::unique_ptr<QMainWindow> window;
    if (kind == Kind::Copier) {
        auto* w = new MainWindowCopy(nullptr, ports);
        window.reset(w);
        w->start();
        w->stop();
    } else if (kind == Kind::Burnin) {
        window.reset(new MainWindowBurnin(nullptr, ports));
    } else {
        auto* w = new MainWindow(nullptr, ports);
        window.reset(w);
        w->start();
        w->stop();
    }
    showMainWindow(window.get(), h2::ShowAs::Maximized);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->size(), QSize(kScreenWidth, kScreenHeight));

    QStringList faults;
    int covers = 0;
    const QList<QWidget*> frames =
        window->findChildren<QWidget*>(QRegularExpression("^frame_\\d+$"));
    for (QWidget* frame : frames) {
        // The cover is the frame's disabled label; its title is the mask's own label.
        QLabel* mask = nullptr;
        for (QLabel* l : frame->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!l->isEnabled())
                mask = l;
        }
        if (!mask || mask->isHidden())
            continue;
        auto* title = mask->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(title);
        title->ensurePolished();
        ++covers;
        const QString fault = coverFaults(frame, mask, title);
        if (!fault.isEmpty())
            faults << frame->objectName() + ": " + fault;
    }
    // Ports beyond the general form's frames have none; a first port may have no frame.
    QVERIFY(frames.size() >= std::min(ports, 32) - 1);
    QCOMPARE(covers, frames.size());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

QTEST_MAIN(WindowLook)
#include "tst_window_look.moc"
