#pragma once

// How every window but the main one is sized and dressed when shown: the window-size factor
// scales it and centres it on the screen; the three long-lived windows first put back the
// geometry they had when created, so that scaling never compounds; the user fonts give labels,
// edit boxes and buttons their face and style.

#include "db/user_messages.h"

#include <QFont>
#include <QPointer>
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

// The kinds of component that design geometry, scaling and user fonts know. A window's
// components are its descendant widgets in creation order, not counting the inner parts of
// composite widgets (a combo box's line edit, a view's header and scroll bars, a tab bar).
enum class ComponentKind {
    Other,      // left alone by record and by user fonts (still moved and scaled as a whole); the
                // record grid and navigator count as one component of this kind each
    Button,     // QPushButton (also those of a QDialogButtonBox)
    Label,      // QLabel
    ListBox,    // QListView, QListWidget
    ToolButton, // QToolButton (speed buttons)
    Grid,       // QTableView, QTableWidget
    CheckBox,   // QCheckBox
    LineEdit,   // QLineEdit
    RadioButton,
    GroupBox,   // QGroupBox (radio groups)
    Panel,      // a plain QFrame or QWidget container holding other widgets
    Bevel,      // a plain QFrame holding nothing: a box or line drawn for looks
    MaskedEdit, // QLineEdit with an input mask, QAbstractSpinBox (date and number boxes)
    ComboBox,
    TabWidget,
};
ComponentKind componentKind(const QWidget& widget);
// The window's components in creation order (see ComponentKind), every kind included.
std::vector<QWidget*> windowComponents(QWidget& window);

// The geometry of a window's components as designed.
class DesignGeometry {
public:
    // Records the client size (and size limits and font of the window) and, for the first
    // kMaxRecordedComponents components of a kind other than Other, their geometry and font
    // size (not for bevels). Shows kTooManyComponentsMessage (caption "Error") through
    // `messages` when the window has more. The components beyond the limit, and those of kind
    // Other, are kept as well without counting, so that showing a window again never lets the
    // scale compound on any of them. Call once, when the window has been built.
    void record(QWidget& window, db::UserMessages& messages);
    // Puts the recorded geometry and font sizes back (components destroyed since are skipped).
    void restore(QWidget& window) const;
    bool recorded() const { return recorded_; }

    struct Component {
        QPointer<QWidget> widget;
        QRect geometry;
        QSize minimumSize;
        QSize maximumSize;
        qreal pointSize; // < 0 when not kept (bevels) or when the font is sized in pixels
        int pixelSize;   // < 0 unless the font is sized in pixels
    };

private:
    QSize clientSize_;
    QSize minimumSize_;
    QSize maximumSize_;
    QFont windowFont_;
    std::vector<Component> components_;
    std::vector<Component> others_; // beyond the limit, or of kind Other
    bool recorded_ = false;
};

// Scales the window and its components by round(factor * 100) / 100 and centres it on a screen
// of size `screen`: client size, size limits, every component's position and size, and font
// sizes (the window's own font, which the components inherit, and every font set on a
// component). Components placed by a layout follow the window. The top-left corner is kept on
// the screen when the window is larger than the screen. Windows that are shown again must
// restore their design geometry first, or the factor compounds.
void scaleAndCentre(QWidget& window, double factor, QSize screen);

struct UserFonts {
    QFont label;
    QFont edit;
    QFont button;
};

// Sets the family and style (bold, italic, underline, strike-out; not size or colour) of the
// window's components from the user fonts, by kind: the label font for Label, ListBox, CheckBox,
// RadioButton and GroupBox; the edit font for Grid, LineEdit, MaskedEdit and ComboBox; the
// button font for Button. Other kinds (tool buttons, panels, tab widgets ...) are left alone.
void applyUserFonts(QWidget& window, const UserFonts& fonts);

// What every window but the main one does when shown: put its design geometry back (when it
// keeps one), scale and centre it by the window-size factor, and give it the user fonts.
void prepareToShow(QWidget& window, const DesignGeometry* design, double factor, QSize screen,
                   const UserFonts& fonts);

} // namespace widgets
