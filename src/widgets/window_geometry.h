#pragma once

// How every window but the main one is sized and dressed when shown: the window-size factor
// scales it and centres it on the screen; the three long-lived windows first put back the
// geometry they had when created, so that scaling never compounds; the user fonts give labels,
// edit boxes and buttons their face and style.

#include "db/user_messages.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace widgets {

inline constexpr int kMaxRecordedComponents = 121;
inline constexpr const char* kTooManyComponentsMessage = "Too many compenents to save dimensions.";

// Window sizes and their factors: 640 -> 1.0, 800 -> 1.25, 1024 -> 1.6, 1280 -> 2.0.
double factorForWindowSize(int windowSize);
// The factor in effect at start-up for a stored size on a screen: the stored size's factor when
// the screen holds it, else 1.0.
double startupFactor(int storedWindowSize, QSize screen);

// The geometry of a window's components as designed.
class DesignGeometry {
public:
    // Records the client size and, for the first kMaxRecordedComponents components of the kinds
    // that are scaled, their geometry and font size. Shows kTooManyComponentsMessage (caption
    // "Error") through `messages` when the window has more.
    void record(QWidget& window, db::UserMessages& messages);
    void restore(QWidget& window) const;
    bool recorded() const { return recorded_; }

private:
    struct Component {
        QWidget* widget;
        QRect geometry;
        qreal pointSize; // < 0 when not kept (bevels)
    };
    QSize clientSize_;
    std::vector<Component> components_;
    bool recorded_ = false;
};

// Scales the window and its components by round(factor * 100) / 100 and centres it on a screen
// of size `screen`.
void scaleAndCentre(QWidget& window, double factor, QSize screen);

struct UserFonts {
    QFont label;
    QFont edit;
    QFont button;
};

// Sets the family and style (not size or colour) of the window's components from the user fonts:
// the label font for labels, list boxes, check boxes, radio buttons and group boxes; the edit
// font for grids, edit boxes and combo boxes; the button font for buttons.
void applyUserFonts(QWidget& window, const UserFonts& fonts);

} // namespace widgets
