// The capacity grading page: loading, greying, colour picks, reading back, and which grade
// a medium falls into.

#include "dialogs/capacity_grading.h"
#include "dialogs/settingdialog.h"
#include "dialogs/settingdialog_tf.h"
#include "dialogs/settingdlg.h"
#include "settings/capacity_grade.h"
#include "settings/settings.h"
#include "support/child_widget.h"
#include "support/modal_answer.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>
#include <memory>

namespace {

SettingRecord defaults() {
    SettingRecord r{};
    settings::loadDefaults(r);
    return r;
}

bool boundsEnabled(QWidget* page, int grade) {
    const QString n = QString::number(grade);
    const bool all = child<QLabel>(page, "capfil_label_low" + n)->isEnabled() &&
                     child<QLabel>(page, "capfil_label_high" + n)->isEnabled() &&
                     child<QSpinBox>(page, "capfil_low" + n)->isEnabled() &&
                     child<QSpinBox>(page, "capfil_high" + n)->isEnabled();
    const bool any = child<QLabel>(page, "capfil_label_low" + n)->isEnabled() ||
                     child<QLabel>(page, "capfil_label_high" + n)->isEnabled() ||
                     child<QSpinBox>(page, "capfil_low" + n)->isEnabled() ||
                     child<QSpinBox>(page, "capfil_high" + n)->isEnabled();
    if (all != any)
        qFatal("grade %d is partly greyed", grade);
    return all;
}

} // namespace

class TestCapacityGrading : public QObject {
    Q_OBJECT
private slots:
    void gradeOfCapacity_data();
    void gradeOfCapacity();
    void buttonNameToGrade_data();
    void buttonNameToGrade();
    void loadShowsBoundsAndGreysDisabledGrades();
    void tickingEnablesAtOnce();
    void pickedColourGoesToWorkingCopyAndButton();
    void cancelledColourChangesNothing();
    void foreignSenderIsIgnored();
    void switchesShowAndStoreTheFlags_data();
    void switchesShowAndStoreTheFlags();
    void storeReadsEnablesAndBounds();
    void boundsShowTheirWholeRange_data();
    void boundsShowTheirWholeRange();
};

void TestCapacityGrading::gradeOfCapacity_data() {
    QTest::addColumn<QVector<int>>("enabled"); // grades 1..9 switched on
    QTest::addColumn<qulonglong>("bytes");
    QTest::addColumn<int>("grade"); // 0-based, -1 none
    const qulonglong MiB = 1ull << 20;
    QTest::newRow("upper bound inclusive") << QVector<int>{1} << 9200 * MiB << 0;
    QTest::newRow("lower bound inclusive") << QVector<int>{1} << 6800 * MiB << 0;
    QTest::newRow("just below lower bound") << QVector<int>{1} << 6800 * MiB - 1 << -1;
    QTest::newRow("part of a MiB above upper still inside")
        << QVector<int>{1} << 9200 * MiB + MiB - 1 << 0;
    QTest::newRow("disabled grade never matches") << QVector<int>{} << 8000 * MiB << -1;
    QTest::newRow("second grade") << QVector<int>{1, 2} << 16000 * MiB << 1;
    QTest::newRow("beyond every grade")
        << QVector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 4000000 * MiB << -1;
    QTest::newRow("64-bit capacity") << QVector<int>{9} << 2000000 * MiB << 8;
}

void TestCapacityGrading::gradeOfCapacity() {
    QFETCH(QVector<int>, enabled);
    QFETCH(qulonglong, bytes);
    QFETCH(int, grade);
    SettingRecord r = defaults();
    for (int n : enabled)
        r.capfil_enable[n - 1] = 1;
    QCOMPARE(capacityGradeOf(r, bytes), grade);
}

void TestCapacityGrading::buttonNameToGrade_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::newRow("first") << "capfil_color1" << 0;
    QTest::newRow("last") << "capfil_color9" << 8;
    QTest::newRow("zero") << "capfil_color0" << -1;
    QTest::newRow("no digit") << "capfil_color" << -1;
    QTest::newRow("letter") << "capfil_colorx" << -1;
    QTest::newRow("short name") << "ok" << -1;
}

void TestCapacityGrading::buttonNameToGrade() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QCOMPARE(dialogs::gradeIndexOfButton(name), index);
}

void TestCapacityGrading::loadShowsBoundsAndGreysDisabledGrades() {
    SettingRecord r = defaults();
    for (int i = 0; i < 9; ++i)
        r.capfil_enable[i] = 1;
    r.capfil_enable[2] = 0;
    r.capfil_low[2] = 111;
    r.capfil_high[2] = 999999999;
    r.capfil_color[0] = 0x3500ab12; // hand-edited beyond 24 bits
    CapacityGradingPage page;
    page.load(&r);

    QVERIFY(!child<QCheckBox>(&page, "capfil_en3")->isChecked());
    QVERIFY(!boundsEnabled(&page, 3));
    QCOMPARE(child<QSpinBox>(&page, "capfil_low3")->value(), 111);
    QCOMPARE(child<QSpinBox>(&page, "capfil_high3")->value(), 999999999);
    QVERIFY(child<QToolButton>(&page, "capfil_color3")->isEnabled());
    for (int grade : {1, 2, 4, 9}) {
        QVERIFY(child<QCheckBox>(&page, QStringLiteral("capfil_en%1").arg(grade))->isChecked());
        QVERIFY(boundsEnabled(&page, grade));
    }
    QCOMPARE(child<QSpinBox>(&page, "capfil_high9")->value(), 2355200);
    QCOMPARE(child<QToolButton>(&page, "capfil_color1")->styleSheet(),
             QStringLiteral("background:#00ab12"));
    QCOMPARE(child<QToolButton>(&page, "capfil_color2")->styleSheet(),
             QStringLiteral("background:#ffff00"));
}

void TestCapacityGrading::tickingEnablesAtOnce() {
    SettingRecord r = defaults();
    CapacityGradingPage page;
    page.load(&r);
    page.show();
    auto* box = child<QCheckBox>(&page, "capfil_en3");
    QVERIFY(!boundsEnabled(&page, 3));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QVERIFY(box->isChecked());
    QVERIFY(boundsEnabled(&page, 3));
    QVERIFY(!boundsEnabled(&page, 4));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    QVERIFY(!boundsEnabled(&page, 3));
    // Ticking only greys; the record learns the enables on store().
    QCOMPARE(r.capfil_enable[2], 0);
}

void TestCapacityGrading::pickedColourGoesToWorkingCopyAndButton() {
    SettingRecord r = defaults();
    CapacityGradingPage page;
    page.load(&r);
    page.show();
    QColor offered;
    QString title;
    auto answered = answerModal<QColorDialog>([&](QColorDialog* d) {
        offered = d->currentColor();
        title = d->windowTitle();
        d->setCurrentColor(QColor(0, 0, 255));
        d->accept();
    });
    QTest::mouseClick(child<QToolButton>(&page, "capfil_color2"), Qt::LeftButton);
    QVERIFY(*answered);
    QCOMPARE(offered, QColor(0xff, 0xff, 0x00));
    QCOMPARE(title, QStringLiteral("Select Color"));
    QCOMPARE(r.capfil_color[1], 0x0000FF);
    QCOMPARE(child<QToolButton>(&page, "capfil_color2")->styleSheet(),
             QStringLiteral("background:#0000ff"));
    QCOMPARE(r.capfil_color[0], 0x0000FF); // grade 1 keeps its own default
    QCOMPARE(r.capfil_color[2], 0x00FF00);
}

void TestCapacityGrading::cancelledColourChangesNothing() {
    SettingRecord r = defaults();
    CapacityGradingPage page;
    page.load(&r);
    page.show();
    auto answered = answerModal<QColorDialog>([](QColorDialog* d) {
        d->setCurrentColor(Qt::red);
        d->reject();
    });
    QTest::mouseClick(child<QToolButton>(&page, "capfil_color7"), Qt::LeftButton);
    QVERIFY(*answered);
    QCOMPARE(r.capfil_color[6], 0xE6D8EF);
    QCOMPARE(child<QToolButton>(&page, "capfil_color7")->styleSheet(),
             QStringLiteral("background:#e6d8ef"));
}

void TestCapacityGrading::foreignSenderIsIgnored() {
    SettingRecord r = defaults();
    const SettingRecord before = r;
    CapacityGradingPage page;
    page.load(&r);
    page.show();
    // A tool button of another form that happens to carry a grade button's name, and a
    // push button: neither may open the colour dialog or touch the record.
    QToolButton impostor;
    impostor.setObjectName("capfil_color1");
    QPushButton other;
    connect(&impostor, &QToolButton::clicked, &page, &CapacityGradingPage::onColorButtonPushed);
    connect(&other, &QPushButton::clicked, &page, &CapacityGradingPage::onColorButtonPushed);
    auto answered = answerModal<QColorDialog>([](QColorDialog* d) { d->reject(); }, 300);
    impostor.click();
    other.click();
    QTest::qWait(400);
    QVERIFY(!*answered);
    QVERIFY(memcmp(&r, &before, sizeof r) == 0);
}

void TestCapacityGrading::storeReadsEnablesAndBounds() {
    SettingRecord r = defaults();
    CapacityGradingPage page;
    page.load(&r);
    child<QCheckBox>(&page, "capfil_en5")->setChecked(true);
    child<QSpinBox>(&page, "capfil_low5")->setValue(7);
    child<QSpinBox>(&page, "capfil_high5")->setValue(3); // no ordering check
    SettingRecord out = defaults();
    out.capfil_enable[0] = 1; // page shows grade 1 off: store must clear it
    page.store(out);
    QCOMPARE(out.capfil_enable[4], 1);
    QCOMPARE(out.capfil_low[4], 7);
    QCOMPARE(out.capfil_high[4], 3);
    QCOMPARE(out.capfil_enable[0], 0);
    QCOMPARE(out.capfil_low[8], 1740800);
}

void TestCapacityGrading::switchesShowAndStoreTheFlags_data() {
    QTest::addColumn<int>("afterTest");
    QTest::addColumn<int>("afterFormat");
    QTest::newRow("both off") << 0 << 0;
    QTest::newRow("after a test") << 1 << 0;
    QTest::newRow("after a format") << 0 << 1;
    QTest::newRow("both on") << 1 << 1;
}

// The switches on the dialog's other pages show the record's flags; only the test switch is
// flipped before store().
void TestCapacityGrading::switchesShowAndStoreTheFlags() {
    QFETCH(int, afterTest);
    QFETCH(int, afterFormat);
    SettingRecord r = defaults();
    r.capfil_test_enable = afterTest;
    r.capfil_format_enable = afterFormat;
    QCheckBox testSwitch, formatSwitch;
    testSwitch.setChecked(afterTest == 0);
    formatSwitch.setChecked(afterFormat == 0);
    CapacityGradingPage page;
    page.load(&r, &testSwitch, &formatSwitch);
    QCOMPARE(testSwitch.isChecked(), afterTest != 0);
    QCOMPARE(formatSwitch.isChecked(), afterFormat != 0);
    testSwitch.setChecked(afterTest == 0);
    SettingRecord out = defaults();
    out.capfil_test_enable = 7;
    out.capfil_format_enable = 7;
    page.store(out);
    QCOMPARE(out.capfil_test_enable, afterTest == 0 ? 1 : 0);
    QCOMPARE(out.capfil_format_enable, afterFormat);

    // A page loaded without switches leaves the flags to its dialog.
    CapacityGradingPage bare;
    bare.load(&r);
    out.capfil_test_enable = 7;
    bare.store(out);
    QCOMPARE(out.capfil_test_enable, 7);
}

void TestCapacityGrading::boundsShowTheirWholeRange_data() {
    QTest::addColumn<int>("dialog");
    QTest::addColumn<bool>("english");
    for (bool english : {false, true}) {
        const char* lang = english ? "en" : "ch";
        QTest::addRow("tester %s", lang) << 0 << english;
        QTest::addRow("copier %s", lang) << 1 << english;
        QTest::addRow("TF %s", lang) << 2 << english;
    }
}

// Every dialog that carries the page, laid out as shown: each bound box shows its largest
// value, nine digits, whole.
void TestCapacityGrading::boundsShowTheirWholeRange() {
    QFETCH(int, dialog);
    QFETCH(bool, english);
    QTranslator translator;
    if (english) {
        QVERIFY(translator.load(QStringLiteral("en.qm"), qEnvironmentVariable("H2_BINARY_DIR")));
        QCoreApplication::installTranslator(&translator);
    }
    settings::loadDefaults(mSetting);
    std::unique_ptr<QDialog> d;
    if (dialog == 0)
        d = std::make_unique<SettingDialog>();
    else if (dialog == 1)
        d = std::make_unique<SettingDlg>();
    else
        d = std::make_unique<SettingDialog_tf>();
    auto* page = d->findChild<CapacityGradingPage*>();
    QVERIFY(page);
    for (auto* tabs : d->findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(page))
                tabs->setCurrentIndex(i);
        }
    }
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    QStringList cut;
    for (auto* box : page->findChildren<QSpinBox*>()) {
        QCOMPARE(box->maximum(), 999999999);
        const auto* edit = box->findChild<QLineEdit*>();
        const int needed = edit->fontMetrics().horizontalAdvance(QStringLiteral("999999999"));
        // A line edit keeps a couple of pixels of margin on either side of its text.
        if (needed + 4 > edit->width())
            cut << QStringLiteral("%1 %2/%3").arg(box->objectName()).arg(needed).arg(edit->width());
    }
    QCoreApplication::removeTranslator(&translator);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(' ')));
}

QTEST_MAIN(TestCapacityGrading)
#include "tst_capacity_grading.moc"
