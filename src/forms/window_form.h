#pragma once
// Main-window forms as data. Each port-count variant of a main window is one WindowForm row:
// grid shape, port order, status strip and spacing. One builder turns a row into widgets
// with the object names the windows look up ("centralWidget", "gridLayout", "frame_N",
// the strip and its labels). The frame widget itself comes from a factory, so every window
// kind (tester, copier, burn-in) shares the mechanism with its own table.

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

class QGridLayout;
class QMainWindow;
class QWidget;

namespace forms {

enum class PortOrder {
    RowByRow,        // first port top left, then to the right, then the next row
    ColumnsTopDown,  // column c holds ports first + rows*c (top) downwards
    ColumnsBottomUp, // column c holds ports first + rows*c (bottom) upwards
};

enum class StripPlace {
    Band,    // strip and frame container at fixed places in the central widget
    GridRow, // strip in grid row 0 across all columns, frames below it
};

// Port 1 placed apart from the port order, as the copier's master.
enum class LeadFrame {
    None,
    BesideStrip, // grid row 0, column 0; the strip takes the rest of the row
    InStrip,     // inside the strip at leadFrameRect
};

enum class LabelRole { Mode, Caption, Value };

struct StripLabel {
    const char* name;
    const char* text; // translated under the form's context, except values
    LabelRole role;
    QRect geometry;
};

struct BuiltForm {
    QWidget* central = nullptr;
    QGridLayout* grid = nullptr;
    QWidget* strip = nullptr;
    QWidget* gridParent = nullptr; // where the frames live
};

struct WindowForm {
    const char* name = "";              // form name, e.g. "MainWindow_48"
    int portCount = 0;                  // 0: the form of every count without one of its own
    int variant = -1;                   // machine_variant the row is for; -1 any
    const char* title = "";             // window title
    const char* context = "MainWindow"; // translation context of the strip captions
    const char* windowStyle = "background:rgb(117, 117, 117)";
    int rows = 0;    // frame rows (without the strip row and gap rows)
    int columns = 0; // frame columns
    int firstPort = 1;
    int lastPort = 0;
    PortOrder order = PortOrder::RowByRow;
    int gapBeforeRow = -1; // frame row in front of which gapRows empty grid rows sit
    int gapRows = 0;
    StripPlace strip = StripPlace::Band;
    QRect stripRect;     // Band: the strip; GridRow: its largest size
    QRect containerRect; // Band: the frame container
    const char* stripName = "StatusWidget";
    const std::vector<StripLabel>* stripLabels = nullptr;
    int spacing = 6;
    QMargins margins{11, 11, 11, 11};
    int captionPoints = 12; // captions and values
    int modePoints = 16;    // the work-mode label
    QSize frameMax;         // empty: no limit
    LeadFrame leadFrame = LeadFrame::None;
    QRect leadFrameRect;
    const char* frameStyle = "background:#fff";
    // The brand lines in the strip: "Tervan拷贝机" and "-KALMO技术-" below it.
    QRect brandName{1716, 0, 150, 50};
    QRect brandLine{1730, 40, 150, 12};
    // Extra widgets some forms carry (a frame inside the strip, a button); may be empty.
    std::function<void(QMainWindow&, BuiltForm&)> decorate;
};

struct GridCell {
    int row = -1;
    int column = -1;
    bool valid() const { return row >= 0 && column >= 0; }
};

// Grid cell of a port in the form's grid layout (strip row and gap rows counted); invalid
// for a port the form has no frame for.
GridCell cellOfPort(const WindowForm& form, int port);

// The row for a machine: an exact variant match first, then the row for any variant of the
// count, then the row with port count 0.
const WindowForm& chooseForm(const std::vector<WindowForm>& table, int portCount, int variant);

// Makes one frame for a port; the builder names, styles and places it.
using FrameFactory = std::function<QWidget*(QWidget* parent, int port)>;

// Builds the form into an empty main window.
BuiltForm buildForm(QMainWindow& window, const WindowForm& form, const FrameFactory& makeFrame);

} // namespace forms
