#pragma once
// What a settings-dialog test stands on: a scratch working directory (the settings file and
// the catalogues live there), factory settings of a machine in mSetting, engine commands
// counted instead of sent over a link that reads as connected, and a fresh translator in
// gTranslator. Construct one per test function.

#include "settings/setting_record.h"
#include "support/child_widget.h"
#include "support/temp_root.h"

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>

class QAbstractButton;

class DialogBed : public QObject {
public:
    explicit DialogBed(int portCount = 48, int machineType = 0, int variant = 0);
    ~DialogBed();

    // The settings file as the dialog left it ("" when none was written).
    QByteArray storedFile() const;
    // The machine's factory settings with `keys` ("mode=3 copy_cap=-1") read over them as
    // the settings file would give them.
    SettingRecord record(const QString& keys = QString()) const;
    // The panel's catalogues, in the working directory.
    void writeCatalogues() const;

    // Master-clear commands sent since construction, and whether the settings file already
    // held "MASTERCLEAR = 1" when the last one went out; log export commands sent.
    static inline int masterClears = 0;
    static inline bool lastMasterClearAfterStore = false;
    static inline int exportLogs = 0;
    // LanguageChange events the application received since construction.
    int languageChanges = 0;
    QTranslator translator;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;

    TempWorkDir mWork;
    SettingRecord mMachine{};
};

// Runs a dialog modally; `actions` runs from inside its event loop, as an operator would act,
// and should end by pressing OK or Cancel. Returns exec()'s result.
int execWith(QDialog& dialog, const std::function<void()>& actions);
void pressOk(QDialog& dialog);
void pressCancel(QDialog& dialog);
// A left click near the left edge of a button (where a box's indicator is), after turning
// to the tab page that holds it, as the operator has to.
void clickBox(QAbstractButton* button);

// Runs `action` on every window of type T (a message box, a colour dialog) that shows while
// the returned timer lives, from inside the nested event loop that shows it, as an operator
// would answer it; the action should close it.
template <typename T> std::unique_ptr<QTimer> answerModals(std::function<void(T*)> action) {
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [action] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<T*>(w); window && window->isVisible())
                action(window);
        }
    });
    timer->start(10);
    return timer;
}
