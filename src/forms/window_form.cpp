#include "forms/window_form.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>

namespace forms {

namespace {
constexpr int kWindowWidth = 1920;
constexpr int kWindowHeight = 1080;
constexpr int kWindowPoints = 6;

// Sets the strip's captions again in the language in force whenever it changes.
class StripCaptions final : public QObject {
public:
    StripCaptions(QWidget* strip, const char* context) : QObject(strip), mContext(context) {
        strip->installEventFilter(this);
    }

    void add(QLabel* label, const char* source) {
        mCaptions.push_back({label, source});
        label->setText(QCoreApplication::translate(mContext.constData(), source));
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::LanguageChange) {
            for (const Caption& c : mCaptions) {
                if (c.label)
                    c.label->setText(QCoreApplication::translate(mContext.constData(), c.source));
            }
        }
        return false;
    }

private:
    struct Caption {
        QPointer<QLabel> label;
        const char* source; // a literal of the form tables
    };
    const QByteArray mContext;
    std::vector<Caption> mCaptions;
};

void addStripLabels(QWidget* strip, const WindowForm& form) {
    if (!form.stripLabels)
        return;
    auto* captions = new StripCaptions(strip, form.context);
    for (const StripLabel& entry : *form.stripLabels) {
        auto* label = new QLabel(strip);
        label->setObjectName(QString::fromLatin1(entry.name));
        label->setGeometry(entry.geometry);
        QFont font = label->font();
        font.setPointSize(entry.role == LabelRole::Mode ? form.modePoints : form.captionPoints);
        label->setFont(font);
        // The mode label is the window's to set; it starts with the form's text.
        if (entry.role == LabelRole::Caption)
            captions->add(label, entry.text);
        else if (entry.role == LabelRole::Mode)
            label->setText(QCoreApplication::translate(form.context, entry.text));
        else
            label->setText(QString::fromUtf8(entry.text));
    }
}
} // namespace

GridCell cellOfPort(const WindowForm& form, int port) {
    const int index = port - form.firstPort;
    if (port < form.firstPort || port > form.lastPort || form.rows <= 0 || form.columns <= 0 ||
        index >= form.rows * form.columns)
        return {};
    GridCell cell;
    switch (form.order) {
    case PortOrder::RowByRow:
        cell.row = index / form.columns;
        cell.column = index % form.columns;
        break;
    case PortOrder::ColumnsTopDown:
        cell.column = index / form.rows;
        cell.row = index % form.rows;
        break;
    case PortOrder::ColumnsBottomUp:
        cell.column = index / form.rows;
        cell.row = form.rows - 1 - index % form.rows;
        break;
    }
    if (form.gapBeforeRow >= 0 && cell.row >= form.gapBeforeRow)
        cell.row += form.gapRows;
    if (form.strip == StripPlace::GridRow)
        cell.row += 1;
    return cell;
}

const WindowForm& chooseForm(const std::vector<WindowForm>& table, int portCount, int variant) {
    const WindowForm* anyVariant = nullptr;
    const WindowForm* fallback = nullptr;
    for (const WindowForm& form : table) {
        if (form.portCount == 0 && !fallback)
            fallback = &form;
        if (form.portCount != portCount || portCount == 0)
            continue;
        if (form.variant == variant)
            return form;
        if (form.variant == -1 && !anyVariant)
            anyVariant = &form;
    }
    if (anyVariant)
        return *anyVariant;
    return fallback ? *fallback : table.front();
}

BuiltForm buildForm(QMainWindow& window, const WindowForm& form, const FrameFactory& makeFrame) {
    window.resize(kWindowWidth, kWindowHeight);
    QFont font = window.font();
    font.setPointSize(kWindowPoints);
    window.setFont(font);
    window.setStyleSheet(QString::fromLatin1(form.windowStyle));
    window.setWindowTitle(QString::fromUtf8(form.title));

    BuiltForm built;
    built.central = new QWidget(&window);
    built.central->setObjectName(QStringLiteral("centralWidget"));
    built.strip = new QWidget(built.central);
    built.strip->setObjectName(QString::fromLatin1(form.stripName));
    if (form.strip == StripPlace::Band) {
        built.strip->setGeometry(form.stripRect);
        built.gridParent = new QWidget(built.central);
        built.gridParent->setObjectName(QStringLiteral("gridLayoutWidget"));
        built.gridParent->setGeometry(form.containerRect);
    } else {
        built.gridParent = built.central;
        if (!form.stripRect.isEmpty()) {
            built.strip->setMaximumSize(form.stripRect.size());
            built.strip->setMinimumHeight(form.stripRect.height());
        }
    }
    built.grid = new QGridLayout(built.gridParent);
    built.grid->setObjectName(QStringLiteral("gridLayout"));
    built.grid->setSpacing(form.spacing);
    built.grid->setContentsMargins(form.margins);
    const bool besideStrip = form.leadFrame == LeadFrame::BesideStrip;
    if (form.strip == StripPlace::GridRow)
        built.grid->addWidget(built.strip, 0, besideStrip ? 1 : 0, 1,
                              besideStrip ? form.columns - 1 : form.columns);
    addStripLabels(built.strip, form);

    auto frameFor = [&](QWidget* parent, int port) {
        QWidget* frame = makeFrame(parent, port);
        frame->setObjectName(QStringLiteral("frame_%1").arg(port));
        frame->setStyleSheet(QString::fromLatin1(form.frameStyle));
        if (auto* qframe = qobject_cast<QFrame*>(frame))
            qframe->setFrameShape(QFrame::StyledPanel);
        return frame;
    };
    for (int port = form.firstPort; port <= form.lastPort; ++port) {
        const GridCell cell = cellOfPort(form, port);
        if (!cell.valid())
            continue;
        QWidget* frame = frameFor(built.gridParent, port);
        // Cells share the grid evenly whatever their texts ask for; the form fixes the grid.
        frame->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        if (!form.frameMax.isEmpty())
            frame->setMaximumSize(form.frameMax);
        built.grid->addWidget(frame, cell.row, cell.column);
    }
    if (besideStrip) {
        QWidget* lead = frameFor(built.gridParent, 1);
        lead->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        built.grid->addWidget(lead, 0, 0);
    } else if (form.leadFrame == LeadFrame::InStrip) {
        frameFor(built.strip, 1)->setGeometry(form.leadFrameRect);
    }
    // Frame rows and the empty rows of a gap share the height evenly.
    const int firstFrameRow = form.strip == StripPlace::GridRow ? 1 : 0;
    const int gridRows = form.rows + (form.gapBeforeRow >= 0 ? form.gapRows : 0);
    for (int row = 0; row < gridRows; ++row)
        built.grid->setRowStretch(firstFrameRow + row, 1);
    for (int column = 0; column < form.columns; ++column)
        built.grid->setColumnStretch(column, 1);

    window.setCentralWidget(built.central);
    if (form.decorate)
        form.decorate(window, built);
    return built;
}

} // namespace forms
