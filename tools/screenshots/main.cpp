// Writes a PNG of every settings dialog, one per tab page, of the start dialog and of the
// upgrade dialog in each state, in Chinese and in English:
//   h2-dialog-shots OUTDIR [CATALOGUE_DIR]
// File names: dialog-NAME-PAGE-LANG.png (LANG "ch" or "en"). CATALOGUE_DIR holds en.qm
// (default: the build directory, two levels above this program).

#include "base/globals.h"
#include "dialogs/settingdialog.h"
#include "dialogs/settingdialog_tf.h"
#include "dialogs/settingdlg.h"
#include "dialogs/settingdlg_h2bn.h"
#include "dialogs/settingdlg_ssd.h"
#include "platform/platform.h"
#include "results/reader.h"
#include "results/results_page.h"
#include "results/schema.h"
#include "settings/settings.h"
#include "upgrade/startdialog.h"
#include "upgrade/upgradedialog.h"

#include <QApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

// The upgrade dialog as its refresh shows a step.
QDialog* upgradeAt(int percent, int state) {
    auto* dialog = new UpgradeDialog(nullptr);
    dialog->setStep(percent, state);
    dialog->displayui();
    return dialog;
}

// One dialog as a machine opens it. Add a row here for every new dialog.
struct DialogShot {
    const char* name;
    int ports, machineType, variant, mode;
    std::function<QDialog*()> make;
};

const DialogShot kShots[] = {
    {"tester", 48, 0, 0, 0, [] { return new SettingDialog; }},
    {"tf", 32, 0, 0, 0, [] { return new SettingDialog_tf; }},
    {"ssd", 8, 2, 2, 3, [] { return new SettingDlg_ssd; }},
    {"copier", 16, 1, 0, 3, [] { return new SettingDlg; }},
    {"burnin", 48, 1, 1, 7, [] { return new SettingDlg_h2bn; }},
    // The 8-port machine of variant 3 has no burn-in page.
    {"burnin-8port-v3", 8, 1, 3, 0, [] { return new SettingDlg_h2bn; }},
    {"start", 48, 0, 0, 0, [] { return new StartDialog(nullptr); }},
    // Machines of 8 ports or fewer show no brand lines.
    {"start-4port", 4, 2, 3, 3, [] { return new StartDialog(nullptr); }},
    {"upgrade-idle", 48, 0, 0, 0, [] { return upgradeAt(0, 0); }},
    {"upgrade-preparing", 48, 0, 0, 0, [] { return upgradeAt(10, 1); }},
    {"upgrade-upgrading", 48, 0, 0, 0, [] { return upgradeAt(40, 2); }},
    {"upgrade-finished", 48, 0, 0, 0, [] { return upgradeAt(100, 3); }},
    {"upgrade-failed", 48, 0, 0, 0, [] { return upgradeAt(20, 4); }},
    {"upgrade-nofile", 48, 0, 0, 0, [] { return upgradeAt(30, 5); }},
    {"upgrade-warning", 48, 0, 0, 0, [] { return upgradeAt(30, 9); }},
};

// A journal of the last hour for the Results page: a tester's mix of passes by capacity
// grade and failures by kind.
bool fillJournal() {
    const QString file = results::databaseFile();
    QDir().mkpath(QFileInfo(file).absolutePath());
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "shots-journal");
        db.setDatabaseName(file);
        QString error;
        ok = db.open() && results::ensureSchema(db, &error) &&
             QSqlQuery(db).exec(
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60) "
                 "INSERT INTO results (panel_time, port, mode, verdict, result_key, grade_index, "
                 "capacity_bytes, write_speed, read_speed) SELECT strftime('%Y-%m-%dT%H:%M:%S', "
                 "'now', 'localtime', (-61 + i) || ' minutes'), 1 + i * 7 % 48, 0, "
                 "CASE WHEN i % 6 = 0 THEN 'fail' ELSE 'pass' END, CASE i % 18 WHEN 0 THEN "
                 "'capacity_short' WHEN 6 THEN 'write_error' WHEN 12 THEN 'usb2' ELSE 'passed' END, "
                 "CASE WHEN i % 6 = 0 THEN NULL ELSE 1 + i % 3 END, (8 << (i % 3)) * 1000000000, "
                 "(18 + i % 7) * 1048576.0, (27 + i % 5) * 1048576.0 FROM n");
        db.close();
    }
    QSqlDatabase::removeDatabase("shots-journal");
    return ok;
}

void prepareSetting(const DialogShot& shot, int language) {
    SettingRecord r{};
    r.port_count = shot.ports;
    r.machine_type = shot.machineType;
    r.board_model = 3;
    r.machine_variant = shot.variant;
    settings::loadDefaults(r);
    r.mode = shot.mode;
    r.language = language;
    commitSetting(r);
}

QString fileName(const QString& dir, const char* name, const QString& page, int language) {
    return QStringLiteral("%1/dialog-%2-%3-%4.png")
        .arg(dir, QLatin1String(name), page,
             language ? QStringLiteral("en") : QStringLiteral("ch"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        fprintf(stderr, "usage: h2-dialog-shots OUTDIR [CATALOGUE_DIR]\n");
        return 2;
    }
    const QString out = args.at(1);
    const QString catalogues =
        args.size() > 2 ? args.at(2) : QCoreApplication::applicationDirPath() + "/../..";
    QDir().mkpath(out);
    QTemporaryDir root;
    h2::setPlatform(h2::makeDesktopPlatform(root.path().toStdString()));
    if (!fillJournal()) {
        fprintf(stderr, "cannot fill the results journal\n");
        return 1;
    }

    QTranslator translator;
    gTranslator = &translator;
    int written = 0, failed = 0;
    for (int language = 0; language <= 1; ++language) {
        if (language == 1 && !translator.load(QStringLiteral("en.qm"), catalogues)) {
            fprintf(stderr, "no en.qm in %s\n", qPrintable(catalogues));
            return 1;
        }
        QCoreApplication::installTranslator(&translator);
        for (const DialogShot& shot : kShots) {
            prepareSetting(shot, language);
            std::unique_ptr<QDialog> dialog(shot.make());
            // This run: the last half hour of the journal.
            if (auto* results = dialog->findChild<ResultsPage*>())
                results->setRunStart(QDateTime::currentDateTime().addSecs(-1800));
            dialog->show();
            auto* tabs = dialog->findChild<QTabWidget*>();
            const int pages = tabs ? tabs->count() : 1;
            for (int i = 0; i < pages; ++i) {
                if (tabs)
                    tabs->setCurrentIndex(i);
                QApplication::processEvents();
                const QString page = tabs ? tabs->widget(i)->objectName() : QStringLiteral("all");
                const QString file = fileName(out, shot.name, page, language);
                if (dialog->grab().save(file)) {
                    ++written;
                    printf("%s\n", qPrintable(file));
                } else {
                    ++failed;
                    fprintf(stderr, "cannot write %s\n", qPrintable(file));
                }
            }
        }
    }
    printf("%d pictures written\n", written);
    return failed ? 1 : 0;
}
