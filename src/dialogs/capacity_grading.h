#pragma once
// The "容量分选" page: nine capacity grades, each a window in MB with a colour.
//
// How a dialog uses it: its form carries a QWidget promoted to CapacityGradingPage (header
// "dialogs/capacity_grading.h") on the grading tab; the dialog calls load(&mWorking, ...) as
// the last step of its constructor and store(mWorking) in its OK handler. Colours go into the
// working copy as they are picked; enables and bounds are read by store(). Widgets are
// looked up by name ("capfil_en%d", ...), so a grade whose widgets are missing is skipped.

#include "settings/setting_record.h"

#include <QString>
#include <QWidget>

#include <memory>

class QAbstractButton;

namespace Ui {
class CapacityGradingPage;
}

class CapacityGradingPage final : public QWidget {
    Q_OBJECT
public:
    explicit CapacityGradingPage(QWidget* parent = nullptr);
    ~CapacityGradingPage() override;

    // Shows the grades of `workingCopy` and remembers it for the colour picks. The switches
    // for grading after a test and after a format sit on other pages of the dialog; given,
    // they show the record's flags and are read back by store().
    void load(SettingRecord* workingCopy, QAbstractButton* afterTest = nullptr,
              QAbstractButton* afterFormat = nullptr);
    // Enables and bounds of the nine grades, and the switches, into `workingCopy`.
    void store(SettingRecord& workingCopy) const;

public slots:
    // Greys the bounds of every grade whose box is unticked.
    void capFilterslot();
    // Colour of the grade whose button sent the click; other senders are ignored.
    void onColorButtonPushed();

private:
    std::unique_ptr<Ui::CapacityGradingPage> ui;
    SettingRecord* mWorking = nullptr;
    QAbstractButton* mAfterTest = nullptr;
    QAbstractButton* mAfterFormat = nullptr;
};

namespace dialogs {
// Grade index 0..8 of a colour button named "capfil_color1" .. "capfil_color9", else -1.
int gradeIndexOfButton(const QString& objectName);
} // namespace dialogs
