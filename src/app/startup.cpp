#include "app/startup.h"

#include "app/command_line.h"
#include "app/net_thread.h"
#include "app/window_choice.h"
#include "base/globals.h"
#include "base/heap_tuning.h"
#include "base/log_file.h"
#include "base/translation.h"
#include "base/user_signals.h"
#include "burnin/mainwindowburnin.h"
#include "copier/mainwindowcopy.h"
#include "fleet/fleet_config.h"
#include "fleet/publisher.h"
#include "forms/screen.h"
#include "hardware/boardcontrol.h"
#include "hardware/led_control.h"
#include "hardware/pin_straps.h"
#include "hardware/power_off_latch.h"
#include "link/address.h"
#include "link/dataserver.h"
#include "link/engine_messages.h"
#include "platform/platform.h"
#include "results/journal.h"
#include "results/reader.h"
#include "settings/settings.h"
#include "tester/mainwindow.h"
#include "upgrade/startdialog.h"
#include "upgrade/upgrade.h"
#include "upgrade/upgradedialog.h"

#include <QApplication>
#include <QSysInfo>
#include <QTimer>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void logProfile() {
    LOGD("current %d %d %d %d\n\r", mSetting.port_count, mSetting.machine_type,
         mSetting.board_model, mSetting.machine_variant);
}

bool choosePlatform(const h2::Options& options) {
    std::string why;
    if (options.platform == "device") {
        if (!h2::deviceGuard("/proc/device-tree/compatible", &why)) {
            fprintf(stderr, "h2: %s\n", why.c_str());
            return false;
        }
        h2::setPlatform(h2::makeDevicePlatform());
        return true;
    }
    if (!h2::desktopRootAllowed(options.root, &why)) {
        fprintf(stderr, "h2: %s\n", why.c_str());
        return false;
    }
    h2::setPlatform(h2::makeDesktopPlatform(options.root));
    return true;
}

void createAndShowWindows() {
    const h2::WindowChoice choice =
        h2::chooseMainWindow(mSetting.machine_type, mSetting.machine_variant, mSetting.mode);
    if (mSetting.machine_type == 2) {
        LOGD("copy\n\r");
        if (choice.ssd)
            LOGD("ssd,port =%d\n\r", mSetting.port_count);
    }
    mainWindow = new MainWindow(nullptr, mSetting.port_count);
    mainWindow->setBoardPower(processBoardPower());
    if (choice.createCopier) {
        copyWindow = new MainWindowCopy(nullptr, mSetting.port_count);
        copyWindow->setBoardPower(processBoardPower());
    }
    if (choice.createBurnin)
        burninWindow = new MainWindowBurnin(nullptr, mSetting.port_count);
    switch (choice.shown) {
    case h2::MainKind::Copier:
        showMainWindow(copyWindow, choice.show);
        copyWindow->start();
        break;
    case h2::MainKind::Burnin:
        burninWindow->start(); // shows itself maximized
        break;
    case h2::MainKind::Tester:
        showMainWindow(mainWindow, choice.show);
        mainWindow->start();
        break;
    }
}

// The fleet publisher when a broker is configured; a bad file is logged once and ignored.
std::unique_ptr<fleet::Publisher> startFleet(const h2::Options& options,
                                             results::ResultSource* journal) {
    const std::string file = h2::platform().path(fleet::kConfigFile);
    const fleet::ConfigResult fleetConfig =
        fleet::readConfig(QString::fromStdString(file), QString::fromStdString(options.fleetBroker),
                          QSysInfo::machineHostName());
    if (!fleetConfig.error.isEmpty())
        LOGE("fleet: %s: %s, not publishing\n\r", file.c_str(), qPrintable(fleetConfig.error));
    if (!fleetConfig.enabled)
        return nullptr;
    // Results finished while the broker is away wait in the journal until acknowledged.
    if (journal)
        journal->setKeepUnsent(true);
    fleet::BrokerConfig config = fleetConfig.config;
    // Only the board reaches a broker on the factory network; development runs stay on
    // loopback, whatever the file says.
    config.anyBroker = options.platform == "device";
    auto publisher = std::make_unique<fleet::Publisher>(
        config, journal, [] { return mDataServer && mDataServer->connected(1); });
    publisher->start();
    return publisher;
}

} // namespace

int runPanel(int argc, char** argv) {
    fixHeapThresholds();
    std::string error;
    const h2::Options options = h2::parseCommandLine(std::vector<std::string>(argv, argv + argc),
                                                     H2_DEFAULT_PLATFORM, &error);
    if (!error.empty() || options.help) {
        fprintf(options.help ? stdout : stderr, "%s%s%s", error.c_str(), error.empty() ? "" : "\n",
                h2::usageText());
        return options.help ? 0 : 2;
    }
    if (!choosePlatform(options))
        return 2;
    h2::appConfig() = options.config;

    // 1. application and translator
    std::vector<char*> qtArgv;
    for (const std::string& arg : options.qtArgs)
        qtArgv.push_back(const_cast<char*>(arg.c_str()));
    qtArgv.push_back(nullptr);
    int qtArgc = int(qtArgv.size()) - 1;
    QApplication app(qtArgc, qtArgv.data());
    auto* translator = new QTranslator;
    // 2.
    signal(SIGPIPE, SIG_IGN);
    // 3.
    Log_Init();
    // 4. power notices; the engine link sends the command
    UserSignalRelay signalRelay;
    signalRelay.install();
    UserSignalRelay::setAction(sendPowerNotice);
    // A stop request ends the event loop, so the threads below stop in order.
    struct sigaction stop {};
    stop.sa_handler = handle_sigusr1;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTERM, &stop, nullptr);
    QObject::connect(&signalRelay, &UserSignalRelay::caught, &app, [](int sig) {
        if (sig == SIGTERM)
            QCoreApplication::quit();
    });
    // 5. machine profile
    readFixSetting();
    logProfile();
    // 6. pin straps; larger machines keep the fixed machine file's profile
    if (mSetting.port_count <= 49) {
        settleProfileFromStraps(*Hardware::getInstance(), h2::realPause);
        logProfile();
    }
    // 7.
    gApp = &app;
    gTranslator = translator;
    // 8.
    registerClient();
    // 9.
    readSetting();
    // 10. installed even when loading failed: the Chinese source texts show then
    loadTranslation(*translator, mSetting.language);
    QCoreApplication::installTranslator(translator);
    // 11.
    logProfile();
    // 12. network wait
    int ipret;
    while ((ipret = get_server_ip()) != 0) {
        LOGD("net address is wrong ipret =%d\n\r", ipret);
        h2::platform().assignAddress("eth0", clientAddress(0));
        sleep(1);
    }
    // 13.
    NetThread netThread;
    netThread.start();
    // 14. board link server
    mDataServer = new DataServer;
    mDataServer->init(server_receive_callback, server_connect_callback);
    mDataServer->start();
    // 15. upgrade dialog, hidden, and the USB upgrade monitor
    auto* upgradeDialog = new UpgradeDialog(nullptr);
    auto* upgradeThread = new UpgradeThread;
    upgradeThread->init(upgradeDialog, mDataServer);
    upgradeThread->start(QThread::InheritPriority);
    // 16. board power
    if (mSetting.port_count == 121 || mSetting.port_count == 51) {
        mBoardControl = new BoardControl;
        mBoardControl->init();
        mBoardControl->start();
    }
    // 17. port lamps, after their lamp test
    LedControl* ledControl = nullptr;
    if (mSetting.port_count != 121) {
        ledControl = new LedControl(*Hardware::getInstance());
        ledControl->start();
    }
    // 18.
    LOGD("type %d\n\r", mSetting.machine_type);
    // The results journal, before the windows that record into it; the panel runs without.
    QString journalError;
    std::unique_ptr<results::Journal> journal =
        results::Journal::open(results::databaseFile(), &journalError);
    if (!journal)
        LOGE("results journal not opened: %s\n\r", qPrintable(journalError));
    results::setActiveJournal(journal.get());
    // 19.
    createAndShowWindows();
    // 20.
    if (alreadySendSetting == 0) {
        LOGD("will show Start \n\r");
        startDialog = new StartDialog(nullptr);
        startDialog->show();
    }

    // The windows and the link exist: the fleet publisher reads what they show.
    std::unique_ptr<fleet::Publisher> publisher = startFleet(options, journal.get());

    if (!options.screenshot.empty()) {
        const QString file = QString::fromStdString(options.screenshot);
        QTimer::singleShot(options.screenshotAfterMs, &app, [file] { grabScreen(file); });
    }
    if (options.quitAfterMs >= 0)
        QTimer::singleShot(options.quitAfterMs, &app, &QCoreApplication::quit);

    // 21.
    const int code = app.exec();
    // Its last word ("false" on the online topic) goes before the link closes; it reads the
    // journal, so it goes first.
    publisher.reset();
    // Written to the end before the process goes.
    results::setActiveJournal(nullptr);
    journal.reset();
    // An upgrade under way is not waited for: the process ends around it.
    upgradeThread->requestStop();
    if (upgradeThread->wait(2000))
        delete upgradeThread;
    // The link thread calls into the application (start dialog): stop it while that exists.
    mDataServer->stop();
    consolePrintf("status blocks taken %llu, dropped %llu\n", (unsigned long long)statusBlocksTaken,
                  (unsigned long long)statusBlocksDropped);
    // The hardware threads read globals that end with the process: let them finish first.
    if (ledControl)
        ledControl->stop();
    delete ledControl;
    if (mBoardControl)
        mBoardControl->stop();
    netThread.stop();
    QCoreApplication::removeTranslator(translator);
    delete translator;
    gTranslator = nullptr;
    gApp = nullptr;
    return code;
}
