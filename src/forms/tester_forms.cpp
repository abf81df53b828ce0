#include "forms/tester_forms.h"

#include <QtGlobal>

namespace forms {

namespace {

// Two columns of three counters beside the mode, in a 180-pixel band. Labels are wider and
// taller than the captions strictly need, so that the English captions and five-digit totals
// stay whole at the small machines' 16 points.
const std::vector<StripLabel> kBlockStrip = {
    {"workingMode", "H2Test", LabelRole::Mode, QRect(70, 60, 281, 41)},
    {"label", QT_TRANSLATE_NOOP("MainWindow", "总数"), LabelRole::Caption, QRect(650, 45, 151, 31)},
    {"totalWorked", "0", LabelRole::Value, QRect(830, 45, 111, 31)},
    {"label_2", QT_TRANSLATE_NOOP("MainWindow", "成功总数"), LabelRole::Caption,
     QRect(650, 85, 151, 31)},
    {"totalSuccess", "0", LabelRole::Value, QRect(832, 85, 111, 31)},
    {"label_3", QT_TRANSLATE_NOOP("MainWindow", "失败总数"), LabelRole::Caption,
     QRect(650, 125, 151, 31)},
    {"totalFail", "0", LabelRole::Value, QRect(832, 125, 111, 31)},
    {"label_4", QT_TRANSLATE_NOOP("MainWindow", "工作中"), LabelRole::Caption,
     QRect(1000, 45, 151, 31)},
    {"currentWorking", "0", LabelRole::Value, QRect(1168, 45, 111, 31)},
    {"label_5", QT_TRANSLATE_NOOP("MainWindow", "当前成功"), LabelRole::Caption,
     QRect(1000, 85, 151, 31)},
    {"currentSuccess", "0", LabelRole::Value, QRect(1170, 85, 111, 31)},
    {"label_6", QT_TRANSLATE_NOOP("MainWindow", "当前失败"), LabelRole::Caption,
     QRect(1000, 125, 151, 31)},
    {"currentFail", "0", LabelRole::Value, QRect(1170, 125, 111, 31)},
};

// One line of counters, for the strips that sit in the first grid row.
const std::vector<StripLabel> kLineStrip = {
    {"workingMode", "H2Test", LabelRole::Mode, QRect(20, 30, 199, 31)},
    {"label", QT_TRANSLATE_NOOP("MainWindow", "总数"), LabelRole::Caption, QRect(220, 40, 91, 31)},
    {"totalWorked", "0", LabelRole::Value, QRect(320, 40, 61, 31)},
    {"label_2", QT_TRANSLATE_NOOP("MainWindow", "成功总数"), LabelRole::Caption,
     QRect(390, 40, 131, 31)},
    {"totalSuccess", "0", LabelRole::Value, QRect(530, 40, 71, 31)},
    {"label_4", QT_TRANSLATE_NOOP("MainWindow", "工作中"), LabelRole::Caption,
     QRect(610, 40, 131, 31)},
    {"currentWorking", "0", LabelRole::Value, QRect(750, 40, 91, 31)},
    {"label_5", QT_TRANSLATE_NOOP("MainWindow", "当前成功"), LabelRole::Caption,
     QRect(850, 40, 131, 31)},
    {"currentSuccess", "0", LabelRole::Value, QRect(990, 40, 111, 31)},
    {"label_3", QT_TRANSLATE_NOOP("MainWindow", "失败总数"), LabelRole::Caption,
     QRect(1110, 40, 151, 31)},
    {"totalFail", "0", LabelRole::Value, QRect(1270, 40, 81, 31)},
    {"label_6", QT_TRANSLATE_NOOP("MainWindow", "当前失败"), LabelRole::Caption,
     QRect(1360, 40, 131, 31)},
    {"currentFail", "0", LabelRole::Value, QRect(1500, 40, 111, 31)},
};

const QRect kTopBand(0, 0, 1920, 180);
const QRect kBelowBand(0, 180, 1920, 900);
const QRect kGridStrip(0, 0, 1916, 113);

WindowForm band(const char* name, int ports, int rows, int columns) {
    WindowForm f;
    f.name = name;
    f.portCount = ports;
    f.title = "SSD TESTER";
    f.rows = rows;
    f.columns = columns;
    f.lastPort = ports;
    f.strip = StripPlace::Band;
    f.stripRect = kTopBand;
    f.containerRect = kBelowBand;
    f.stripLabels = &kBlockStrip;
    if (ports <= 8) {
        f.captionPoints = 16;
        f.modePoints = 20;
    }
    return f;
}

WindowForm gridRow(const char* name, int ports, const char* title, int rows, int columns) {
    WindowForm f;
    f.name = name;
    f.portCount = ports;
    f.title = title;
    f.rows = rows;
    f.columns = columns;
    f.lastPort = ports;
    f.strip = StripPlace::GridRow;
    f.stripRect = kGridStrip;
    f.stripLabels = &kLineStrip;
    return f;
}

WindowForm spaced(WindowForm f, int spacing, QMargins margins) {
    f.spacing = spacing;
    f.margins = margins;
    return f;
}

std::vector<WindowForm> makeTable() {
    std::vector<WindowForm> t;
    t.push_back(band("MainWindow_4", 4, 2, 2));
    t.push_back(band("MainWindow_6", 6, 2, 3));
    t.push_back(band("MainWindow_8", 8, 2, 4));
    t.push_back(band("MainWindow_10", 10, 2, 5));
    t.push_back(band("MainWindow_12", 12, 3, 4));
    t.push_back(band("MainWindow_16", 16, 4, 4));
    WindowForm wide16 = band("MainWindow_162", 16, 2, 8);
    wide16.variant = 4;
    t.push_back(wide16);
    t.push_back(spaced(band("MainWindow_20", 20, 5, 4), 2, QMargins(2, 3, 2, 2)));
    WindowForm f24 = spaced(band("MainWindow_24", 24, 6, 4), 6, QMargins(0, 0, 0, 0));
    f24.stripRect = QRect(2, 2, 1916, 152);
    // Kept inside the 1920 x 1080 screen, so that the last row and column are whole.
    f24.containerRect = QRect(2, 156, 1916, 922);
    t.push_back(f24);
    t.push_back(gridRow("MainWindow_32", 32, "USB3.X TESTER", 4, 8));
    t.push_back(gridRow("MainWindow_40", 40, "USB3.X TESTER", 5, 8));
    t.push_back(gridRow("MainWindow_48", 48, "USB3.X TESTER", 6, 8));
    // Port 1 is not a tester port here; two empty rows sit above the last row.
    WindowForm f51 = gridRow("MainWindow_51", 51, "TF3.X TESTER", 5, 10);
    f51.firstPort = 2;
    f51.gapBeforeRow = 4;
    f51.gapRows = 2;
    t.push_back(f51);
    // Their frames have fixed sizes: side margins that keep the grid inside the screen.
    t.push_back(
        spaced(gridRow("MainWindow_64", 64, "USB3.X TESTER", 8, 8), 2, QMargins(1, 2, 1, 2)));
    WindowForm f80 =
        spaced(gridRow("MainWindow_80", 80, "H2 TESTER", 8, 10), 1, QMargins(0, 1, 1, 1));
    f80.order = PortOrder::ColumnsTopDown;
    t.push_back(f80);
    WindowForm f96 =
        spaced(gridRow("MainWindow_96", 96, "USB3.X TESTER", 8, 12), 1, QMargins(1, 1, 1, 1));
    f96.order = PortOrder::ColumnsTopDown;
    t.push_back(f96);
    WindowForm f121 =
        spaced(gridRow("MainWindow_121", 121, "H2 TESTER", 8, 15), 1, QMargins(1, 1, 1, 1));
    f121.firstPort = 2;
    f121.order = PortOrder::ColumnsBottomUp;
    f121.frameMax = QSize(126, 118);
    t.push_back(f121);
    // Every other count: 32 frames.
    WindowForm generic = gridRow("MainWindow", 0, "USB3.X TESTER", 4, 8);
    generic.lastPort = 32;
    t.push_back(generic);
    return t;
}

} // namespace

const std::vector<WindowForm>& testerForms() {
    static const std::vector<WindowForm> table = makeTable();
    return table;
}

} // namespace forms
