#pragma once
// What a settings-dialog test stands on: a scratch working directory (the settings file and
// the catalogues live there), factory settings in mSetting, engine commands counted instead
// of sent, and a fresh translator in gTranslator. Construct one per test function.

#include "settings/setting_record.h"
#include "support/temp_root.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

class QAbstractButton;
class QTranslator;

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
