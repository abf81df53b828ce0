#include "forms/copier_forms.h"

#include <QMainWindow>
#include <QPushButton>
#include <QtGlobal>

namespace forms {

namespace {

// Caption object names differ between forms; values and the mode label never do.
struct CaptionNames {
    const char* names[6];
};
const CaptionNames kCaptions = {{"label", "label_2", "label_3", "label_4", "label_5", "label_6"}};
const CaptionNames kCaptions6 = {
    {"label_13", "label_14", "label_15", "label_16", "label_17", "label_18"}};
const CaptionNames kCaptionsGeneral = {
    {"label_7", "label_8", "label_9", "label_10", "label_11", "label_12"}};

// Two columns of three counters beside the mode in a 180-pixel band (the 8-port copier's),
// wide and tall enough for the English captions and five-digit totals at 16 points.
std::vector<StripLabel> bandStrip(const CaptionNames& c) {
    return {
        {"workingMode", "H2Test", LabelRole::Mode, QRect(70, 60, 321, 41)},
        {c.names[0], QT_TRANSLATE_NOOP("MainWindowCopy", "总数"), LabelRole::Caption,
         QRect(650, 45, 151, 31)},
        {"totalWorked", "0", LabelRole::Value, QRect(830, 45, 111, 31)},
        {c.names[1], QT_TRANSLATE_NOOP("MainWindowCopy", "成功总数"), LabelRole::Caption,
         QRect(650, 85, 151, 31)},
        {"totalSuccess", "0", LabelRole::Value, QRect(832, 85, 111, 31)},
        {c.names[2], QT_TRANSLATE_NOOP("MainWindowCopy", "失败总数"), LabelRole::Caption,
         QRect(650, 125, 151, 31)},
        {"totalFail", "0", LabelRole::Value, QRect(832, 125, 111, 31)},
        {c.names[3], QT_TRANSLATE_NOOP("MainWindowCopy", "工作中"), LabelRole::Caption,
         QRect(1000, 45, 151, 31)},
        {"currentWorking", "0", LabelRole::Value, QRect(1168, 45, 111, 31)},
        {c.names[4], QT_TRANSLATE_NOOP("MainWindowCopy", "当前成功"), LabelRole::Caption,
         QRect(1000, 85, 151, 31)},
        {"currentSuccess", "0", LabelRole::Value, QRect(1170, 85, 111, 31)},
        {c.names[5], QT_TRANSLATE_NOOP("MainWindowCopy", "当前失败"), LabelRole::Caption,
         QRect(1000, 125, 151, 31)},
        {"currentFail", "0", LabelRole::Value, QRect(1170, 125, 111, 31)},
    };
}

// One line of counters for the strips in the first grid row. It starts right of the master
// frame that the 121-port form carries in its strip and ends before the lowest-speed button.
std::vector<StripLabel> lineStrip(const CaptionNames& c) {
    return {
        {"workingMode", "H2Test", LabelRole::Mode, QRect(132, 36, 256, 41)},
        {c.names[0], QT_TRANSLATE_NOOP("MainWindowCopy", "总数"), LabelRole::Caption,
         QRect(390, 40, 71, 31)},
        {"totalWorked", "0", LabelRole::Value, QRect(465, 40, 71, 31)},
        {c.names[1], QT_TRANSLATE_NOOP("MainWindowCopy", "成功总数"), LabelRole::Caption,
         QRect(540, 40, 111, 31)},
        {"totalSuccess", "0", LabelRole::Value, QRect(655, 40, 71, 31)},
        {c.names[2], QT_TRANSLATE_NOOP("MainWindowCopy", "失败总数"), LabelRole::Caption,
         QRect(730, 40, 111, 31)},
        {"totalFail", "0", LabelRole::Value, QRect(845, 40, 71, 31)},
        {c.names[3], QT_TRANSLATE_NOOP("MainWindowCopy", "工作中"), LabelRole::Caption,
         QRect(920, 40, 91, 31)},
        {"currentWorking", "0", LabelRole::Value, QRect(1015, 40, 71, 31)},
        {c.names[4], QT_TRANSLATE_NOOP("MainWindowCopy", "当前成功"), LabelRole::Caption,
         QRect(1090, 40, 111, 31)},
        {"currentSuccess", "0", LabelRole::Value, QRect(1205, 40, 71, 31)},
        {c.names[5], QT_TRANSLATE_NOOP("MainWindowCopy", "当前失败"), LabelRole::Caption,
         QRect(1280, 40, 111, 31)},
        {"currentFail", "0", LabelRole::Value, QRect(1395, 40, 71, 31)},
    };
}

const std::vector<StripLabel> kBand = bandStrip(kCaptions);
const std::vector<StripLabel> kBand6 = bandStrip(kCaptions6);
const std::vector<StripLabel> kLine = lineStrip(kCaptions);
const std::vector<StripLabel> kLineGeneral = lineStrip(kCaptionsGeneral);

const QRect kTopBand(0, 0, 1920, 180);
const QRect kBelowBand(0, 180, 1920, 900);
const QRect kGridStrip(0, 0, 1916, 113);

// Both windows' strips translate their captions under the copier's context.
constexpr const char* kContext = "MainWindowCopy";

WindowForm band(const char* name, int ports, int rows, int columns) {
    WindowForm f;
    f.name = name;
    f.context = kContext;
    f.portCount = ports;
    f.rows = rows;
    f.columns = columns;
    f.lastPort = ports;
    f.strip = StripPlace::Band;
    f.stripRect = kTopBand;
    f.containerRect = kBelowBand;
    f.stripLabels = &kBand;
    if (ports <= 8) {
        f.captionPoints = 16;
        f.modePoints = 20;
    }
    return f;
}

WindowForm gridRow(const char* name, int ports, int rows, int columns) {
    WindowForm f;
    f.name = name;
    f.context = kContext;
    f.portCount = ports;
    f.rows = rows;
    f.columns = columns;
    f.lastPort = ports;
    f.strip = StripPlace::GridRow;
    f.stripRect = kGridStrip;
    f.stripLabels = &kLine;
    return f;
}

// The button that names the slowest target; the window fills in its text.
void addLowestSpeedButton(QWidget* strip, QRect at) {
    auto* button = new QPushButton(strip);
    button->setObjectName(QStringLiteral("lowest_speed"));
    button->setGeometry(at);
    QFont font = button->font();
    font.setPointSize(16);
    button->setFont(font);
}

const QRect kLowestSpeed(1490, 10, 71, 51);

std::vector<WindowForm> makeCopierTable() {
    const char* title = "H2 COPIER";
    std::vector<WindowForm> t;
    t.push_back(band("MainWindowCopy_4", 4, 2, 2));
    WindowForm f6 = band("MainWindowCopy_6", 6, 2, 3);
    f6.stripLabels = &kBand6;
    t.push_back(f6);
    t.push_back(band("MainWindowCopy_8", 8, 2, 4));
    t.push_back(band("MainWindowCopy_10", 10, 2, 5));
    t.push_back(band("MainWindowCopy_12", 12, 3, 4));
    t.push_back(band("MainWindowCopy_16", 16, 4, 4));
    // Twenty frames row by row, an empty row, then the last four.
    WindowForm f24 = band("MainWindowCopy_24", 24, 6, 4);
    f24.gapBeforeRow = 5;
    f24.gapRows = 1;
    f24.spacing = 4;
    f24.margins = QMargins(4, 4, 4, 4);
    t.push_back(f24);
    t.push_back(gridRow("MainWindowCopy_32", 32, 4, 8));
    t.push_back(gridRow("MainWindowCopy_40", 40, 5, 8));
    t.push_back(gridRow("MainWindowCopy_48", 48, 6, 8));
    // The master beside the strip; two empty rows above the last row of targets.
    WindowForm f51 = gridRow("MainWindowCopy_51", 51, 5, 10);
    f51.firstPort = 2;
    f51.gapBeforeRow = 4;
    f51.gapRows = 2;
    f51.leadFrame = LeadFrame::BesideStrip;
    // Its strip ends about 1708 pixels in: the button moves left to leave the brand room at
    // the right end.
    f51.decorate = [](QMainWindow&, BuiltForm& built) {
        addLowestSpeedButton(built.strip, QRect(1475, 10, 71, 51));
    };
    f51.brandName = QRect(1554, 0, 150, 50);
    f51.brandLine = QRect(1568, 40, 136, 12);
    t.push_back(f51);
    WindowForm f64 = gridRow("MainWindowCopy_64", 64, 8, 8);
    f64.spacing = 2;
    f64.margins = QMargins(2, 2, 2, 2);
    t.push_back(f64);
    // The master inside the strip; targets by columns from the bottom.
    WindowForm f121 = gridRow("MainWindowCopy_121", 121, 8, 15);
    f121.firstPort = 2;
    f121.order = PortOrder::ColumnsBottomUp;
    f121.spacing = 1;
    f121.margins = QMargins(1, 1, 1, 1);
    f121.frameMax = QSize(126, 118);
    f121.stripRect = QRect(0, 0, 1916, 118);
    f121.leadFrame = LeadFrame::InStrip;
    f121.leadFrameRect = QRect(0, 0, 126, 118);
    f121.decorate = [](QMainWindow&, BuiltForm& built) {
        addLowestSpeedButton(built.strip, kLowestSpeed);
    };
    t.push_back(f121);
    // Every other count: 32 frames and a strip the window does not look for.
    WindowForm general = gridRow("MainWindowCopy", 0, 4, 8);
    general.lastPort = 32;
    general.stripName = "widget";
    t.push_back(general);
    for (WindowForm& f : t)
        f.title = title;
    return t;
}

std::vector<WindowForm> makeBurninTable() {
    std::vector<WindowForm> t;
    t.push_back(band("MainWindowBurnin_8", 8, 2, 4));
    WindowForm n8 = band("MainWindowBurnin_n8", 8, 1, 8);
    n8.variant = 3;
    n8.stripName = "widget";
    t.push_back(n8);
    t.push_back(band("MainWindowBurnin_10", 10, 2, 5));
    t.push_back(band("MainWindowBurnin_12", 12, 3, 4));
    t.push_back(band("MainWindowBurnin_16", 16, 4, 4));
    WindowForm tall16 = band("MainWindowBurnin_162", 16, 2, 8);
    tall16.variant = 4;
    tall16.stripName = "widget";
    t.push_back(tall16);
    WindowForm f20 = band("MainWindowBurnin_20", 20, 5, 4);
    f20.spacing = 2;
    f20.margins = QMargins(2, 3, 2, 2);
    t.push_back(f20);
    WindowForm f24 = band("MainWindowBurnin_24", 24, 6, 4);
    f24.stripRect = QRect(2, 2, 1916, 152);
    f24.containerRect = QRect(2, 156, 1916, 922);
    f24.margins = QMargins(0, 0, 0, 0);
    t.push_back(f24);
    t.push_back(gridRow("MainWindowBurnin_32", 32, 4, 8));
    t.push_back(gridRow("MainWindowBurnin_48", 48, 6, 8));
    WindowForm f64 = gridRow("MainWindowBurnin_64", 64, 8, 8);
    f64.spacing = 2;
    f64.margins = QMargins(2, 2, 2, 2);
    t.push_back(f64);
    for (int columns : {10, 12}) {
        WindowForm f = gridRow(columns == 10 ? "MainWindowBurnin_80" : "MainWindowBurnin_96",
                               8 * columns, 8, columns);
        f.order = PortOrder::ColumnsTopDown;
        f.spacing = 1;
        f.margins = QMargins(1, 1, 1, 1);
        t.push_back(f);
    }
    WindowForm general = gridRow("MainWindowBurnin", 0, 4, 8);
    general.lastPort = 32;
    general.stripName = "widget";
    general.stripLabels = &kLineGeneral;
    t.push_back(general);
    for (WindowForm& f : t)
        f.title = "H2 BURNIN";
    return t;
}

} // namespace

const std::vector<WindowForm>& copierForms() {
    static const std::vector<WindowForm> table = makeCopierTable();
    return table;
}

const std::vector<WindowForm>& burninForms() {
    static const std::vector<WindowForm> table = makeBurninTable();
    return table;
}

int burninFormVariant(int portCount, int machineType, int machineVariant) {
    if (portCount == 8)
        return machineType == 2 && machineVariant == 3 ? 3 : -1;
    return machineVariant;
}

} // namespace forms
