#pragma once
// What a settings-dialog test stands on: a scratch working directory (the settings file and
// the catalogues live there), factory settings in mSetting, engine commands counted instead
// of sent over a link that reads as connected, and a fresh translator in gTranslator.
// Construct one per test function.

#include "settings/setting_record.h"
#include "settings/settings.h"
#include "support/child_widget.h"
#include "support/temp_root.h"

#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTranslator>

#include <functional>
#include <memory>

class QAbstractButton;

// Factory settings of a machine (board model 3), as DialogBed stores them.
SettingRecord machineRecord(int portCount, int machineType = 0, int variant = 0);

class DialogBed {
public:
    explicit DialogBed(int portCount = 48, int machineType = 0, int variant = 0);
    ~DialogBed();

    QString workDir() const { return mWork.path(); }
    // The settings file as the dialog left it ("" when none was written).
    QByteArray storedFile() const;

    // Master-clear commands sent since construction, and whether the settings file already
    // held "MASTERCLEAR = 1" when the last one went out.
    static int masterClears();
    static bool lastMasterClearAfterStore();
    static int exportLogs();

    // Catalogues that load and install but translate nothing, named as the panel's.
    void writeCatalogues() const;
    QTranslator* translator() const { return mTranslator.get(); }
    // LanguageChange events the application received since construction.
    int languageChanges() const;

private:
    TempWorkDir mWork;
    std::unique_ptr<QTranslator> mTranslator;
    std::unique_ptr<QObject> mLanguageWatch;
};

// Runs a dialog modally; `actions` runs from inside its event loop, as an operator would act,
// and should end by pressing OK or Cancel. Returns exec()'s result.
int execWith(QDialog& dialog, const std::function<void()>& actions);
void pressOk(QDialog& dialog);
void pressCancel(QDialog& dialog);
// A left click in the middle-left of a check box or radio button (where its indicator is),
// after turning to the tab page that holds it.
void clickBox(QAbstractButton* button);

// Runs `Dialog` on the stored record: `actions` from inside its event loop, then OK (or
// Cancel). Returns exec()'s result.
template <typename Dialog>
int runDialog(const std::function<void(Dialog&)>& actions = {}, bool ok = true) {
    Dialog dialog;
    return execWith(dialog, [&] {
        if (actions)
            actions(dialog);
        if (ok)
            pressOk(dialog);
        else
            pressCancel(dialog);
    });
}

// Stores `stored`, then runs the dialog on it as runDialog does.
template <typename Dialog>
int openEditClose(const SettingRecord& stored, const std::function<void(Dialog&)>& edit,
                  bool ok = true) {
    commitSetting(stored);
    return runDialog<Dialog>(edit, ok);
}

// runDialog with OK, failing the test when the dialog does not end accepted.
template <typename Dialog> void acceptWith(const std::function<void(Dialog&)>& actions = {}) {
    QCOMPARE(runDialog<Dialog>(actions), int(QDialog::Accepted));
}

// Changes the stored record.
void editSetting(const std::function<void(SettingRecord&)>& change);

// The names of the checked buttons among `names`, comma-separated ("" when none is).
QString checkedButtons(QWidget* parent, const QStringList& names);

// The object name of the page `tabs` shows, and turning the tab widget that holds `page`
// to it.
QString currentPage(QWidget* dialog, const char* tabs = "tabCopy");
void showPage(QWidget* dialog, const char* page);

// The panel's dialogs are 630x633, and their layout must still fit once shown.
void checkDialogSize(QDialog& dialog);

// Language rows for checkLanguagePick: stored, picked (-1: none), catalogue installs on OK.
void addLanguageRows();

// Opens Dialog on `record` with language `stored`: the list must read "中文", "English" and
// show the stored language (any but 0 is English). Picks `picked` (-1: none) and presses OK;
// then the language stored, the catalogue installs and the catalogue loaded must follow.
template <typename Dialog>
void checkLanguagePick(const DialogBed& bed, SettingRecord record, int stored, int picked,
                       int installs) {
    bed.writeCatalogues();
    record.language = stored;
    QStringList items;
    openEditClose<Dialog>(record, [&](Dialog& d) {
        auto* box = child<QComboBox>(&d, "language");
        items << box->itemText(0) << box->itemText(1) << QString::number(box->currentIndex());
        if (picked >= 0)
            box->setCurrentIndex(picked);
    });
    const int shown = stored != 0 ? 1 : 0;
    QCOMPARE(items, (QStringList{QStringLiteral("中文"), "English", QString::number(shown)}));
    QCOMPARE(bed.languageChanges(), installs);
    QCOMPARE(mSetting.language, picked >= 0 ? picked : shown);
    const QString loaded = installs == 0 ? QString() : mSetting.language != 0 ? "en.qm" : "ch.qm";
    QCOMPARE(QFileInfo(bed.translator()->filePath()).fileName(), loaded);
}

// Master reset through Dialog: ticked then Cancel, nothing is stored or sent; ticked then OK,
// the flag is stored before the command goes out, once. Opened again the box shows the
// stored flag (`opensTicked`) or opens unticked; unticked on OK, nothing more is sent and
// the flag is cleared.
template <typename Dialog> void checkMasterReset(const DialogBed& bed, bool opensTicked) {
    {
        Dialog d;
        execWith(d, [&] {
            clickBox(child<QCheckBox>(&d, "master_reset"));
            pressCancel(d);
        });
    }
    QCOMPARE(DialogBed::masterClears(), 0);
    QCOMPARE(mSetting.MASTERCLEAR, 0);
    QVERIFY(bed.storedFile().isEmpty());

    acceptWith<Dialog>([](Dialog& d) { clickBox(child<QCheckBox>(&d, "master_reset")); });
    QCOMPARE(DialogBed::masterClears(), 1);
    QVERIFY(DialogBed::lastMasterClearAfterStore());
    QCOMPARE(mSetting.MASTERCLEAR, 1);

    bool shownTicked = !opensTicked;
    acceptWith<Dialog>([&](Dialog& d) {
        auto* box = child<QCheckBox>(&d, "master_reset");
        shownTicked = box->isChecked();
        if (shownTicked)
            clickBox(box);
    });
    QCOMPARE(shownTicked, opensTicked);
    QCOMPARE(DialogBed::masterClears(), 1);
    QCOMPARE(mSetting.MASTERCLEAR, 0);
}
