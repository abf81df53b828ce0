#include "dialogs/capacity_grading.h"

#include "base/log_file.h"
#include "settings/capacity_grade.h"
#include "ui_capacitygradingpage.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

namespace {

constexpr int kGrades = 9;

template <typename T> T* gradeWidget(const QWidget* page, const char* pattern, int grade) {
    return page->findChild<T*>(QString::asprintf(pattern, grade));
}

void enableBounds(const QWidget* page, int grade, bool on) {
    if (auto* w = gradeWidget<QLabel>(page, "capfil_label_low%d", grade))
        w->setEnabled(on);
    if (auto* w = gradeWidget<QLabel>(page, "capfil_label_high%d", grade))
        w->setEnabled(on);
    if (auto* w = gradeWidget<QSpinBox>(page, "capfil_low%d", grade))
        w->setEnabled(on);
    if (auto* w = gradeWidget<QSpinBox>(page, "capfil_high%d", grade))
        w->setEnabled(on);
}

} // namespace

namespace dialogs {

int gradeIndexOfButton(const QString& objectName) {
    static const int prefix = int(qstrlen("capfil_color"));
    if (objectName.size() <= prefix)
        return -1;
    const int index = objectName.at(prefix).unicode() - '1';
    return index >= 0 && index < kGrades ? index : -1;
}

} // namespace dialogs

CapacityGradingPage::CapacityGradingPage(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::CapacityGradingPage>()) {
    ui->setupUi(this);
}

CapacityGradingPage::~CapacityGradingPage() = default;

void CapacityGradingPage::load(SettingRecord* workingCopy, QAbstractButton* afterTest,
                               QAbstractButton* afterFormat) {
    mWorking = workingCopy;
    mAfterTest = afterTest;
    mAfterFormat = afterFormat;
    if (mAfterTest)
        mAfterTest->setChecked(workingCopy->capfil_test_enable != 0);
    if (mAfterFormat)
        mAfterFormat->setChecked(workingCopy->capfil_format_enable != 0);
    for (int grade = 1; grade <= kGrades; ++grade) {
        const int i = grade - 1;
        if (auto* box = gradeWidget<QCheckBox>(this, "capfil_en%d", grade)) {
            const bool on = workingCopy->capfil_enable[i] != 0;
            box->setChecked(on);
            enableBounds(this, grade, on);
            if (auto* low = gradeWidget<QSpinBox>(this, "capfil_low%d", grade))
                low->setValue(workingCopy->capfil_low[i]);
            if (auto* high = gradeWidget<QSpinBox>(this, "capfil_high%d", grade))
                high->setValue(workingCopy->capfil_high[i]);
            connect(box, &QCheckBox::clicked, this, &CapacityGradingPage::capFilterslot,
                    Qt::UniqueConnection);
        }
        if (auto* button = gradeWidget<QToolButton>(this, "capfil_color%d", grade)) {
            connect(button, &QToolButton::clicked, this, &CapacityGradingPage::onColorButtonPushed,
                    Qt::UniqueConnection);
            button->setStyleSheet(gradeStyleSheet(workingCopy->capfil_color[i]));
        }
    }
}

void CapacityGradingPage::store(SettingRecord& workingCopy) const {
    if (mAfterTest)
        workingCopy.capfil_test_enable = mAfterTest->isChecked() ? 1 : 0;
    if (mAfterFormat)
        workingCopy.capfil_format_enable = mAfterFormat->isChecked() ? 1 : 0;
    for (int grade = 1; grade <= kGrades; ++grade) {
        const int i = grade - 1;
        if (auto* box = gradeWidget<QCheckBox>(this, "capfil_en%d", grade))
            workingCopy.capfil_enable[i] = box->isChecked() ? 1 : 0;
        if (auto* low = gradeWidget<QSpinBox>(this, "capfil_low%d", grade))
            workingCopy.capfil_low[i] = low->value();
        if (auto* high = gradeWidget<QSpinBox>(this, "capfil_high%d", grade))
            workingCopy.capfil_high[i] = high->value();
    }
}

void CapacityGradingPage::capFilterslot() {
    for (int grade = 1; grade <= kGrades; ++grade) {
        if (auto* box = gradeWidget<QCheckBox>(this, "capfil_en%d", grade))
            enableBounds(this, grade, box->isChecked());
    }
}

void CapacityGradingPage::onColorButtonPushed() {
    auto* button = qobject_cast<QToolButton*>(sender());
    if (!button || !mWorking)
        return;
    const QByteArray name = button->objectName().toLocal8Bit();
    LOGD("%s\n\r", name.constData());
    const int index = dialogs::gradeIndexOfButton(button->objectName());
    // Only the nine grade buttons carry a grade; anything else connected here is ignored.
    if (index < 0 || button != gradeWidget<QToolButton>(this, "capfil_color%d", index + 1))
        return;
    LOGD("got button %d\n\r", index);

    const int32_t stored = mWorking->capfil_color[index];
    const QColor initial((stored >> 16) & 0xff, (stored >> 8) & 0xff, stored & 0xff, 255);
    const QColor color = QColorDialog::getColor(initial, window(), QStringLiteral("Select Color"));
    LOGD("get color (%d, %d,%d) valid %d\n\r", color.red(), color.green(), color.blue(),
         color.isValid() ? 1 : 0);
    if (color.isValid()) {
        mWorking->capfil_color[index] = color.red() * 65536 + color.green() * 256 + color.blue();
        button->setStyleSheet(gradeStyleSheet(mWorking->capfil_color[index]));
    }
    LOGD("0x%6x\n\r", unsigned(mWorking->capfil_color[index]));
}
