#pragma once
// The cover that lies over an empty port of a copier or burn-in frame: a disabled label in
// the port's colour (the mask) and, on it, the work-mode title.

#include "copier/copier_logic.h"

#include <QSize>
#include <QString>
#include <initializer_list>

class QGridLayout;
class QLabel;
class QWidget;

struct PortCover {
    QLabel* mask;
    QLabel* title;
};

// What the windows ask of a port frame with a cover: its port, its title, whether the cover
// is up. The frame hands its cover over once it has made it.
class CoveredPort {
public:
    void setPort(int port) { mPort = port; }
    int port() const { return mPort; }
    void setTitle(const QString& title);
    QString title() const;
    bool covered() const;
    const QLabel* mask() const { return mMask; }

protected:
    void setCover(const PortCover& cover) {
        mMask = cover.mask;
        mTitle = cover.title;
    }

    int mPort = 0;
    QLabel* mMask = nullptr;
    QLabel* mTitle = nullptr;
};

// Creates mask and title on `frame`, both shown, at the given sizes as far as the frame allows:
// the mask at least as large as the frame, the title no larger. An empty size makes that label
// as large as the frame. Both follow the frame when it resizes.
PortCover makePortCover(QWidget* frame, QSize maskSize, QSize titleSize, const QString& titleStyle);

// Fixes `frame` to sizes.frame when that is set and lays a cover of `sizes` over it, the mask
// in `maskStyle`.
PortCover coverFrame(QWidget* frame, const copier::CoverSizes& sizes, const QString& titleStyle,
                     const char* maskStyle);

// Shows mask and title with the mask in `maskStyle`.
void showPortCover(QLabel* mask, QLabel* title, const char* maskStyle);
void hidePortCover(QLabel* mask, QLabel* title);

// Gives every label and progress bar of a frame the point size, except `keep`; call it before
// the cover exists. Set one by one: under style sheets children do not inherit their frame's
// font.
void setFormFont(QWidget* frame, int points, std::initializer_list<const QWidget*> keep);

// Fonts of a copier frame, before its cover exists: 8 points, or 6 on compact frames, whose
// grid then drops its margins and spacing; 20 on machines below 9 ports, except `keepSmall`.
void setCopierFrameFonts(QWidget* frame, QGridLayout* grid, int portCount,
                         std::initializer_list<const QWidget*> keepSmall);
