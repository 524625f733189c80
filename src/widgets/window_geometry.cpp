#include "widgets/window_geometry.h"

#include "widgets/record_grid.h"
#include "widgets/record_navigator.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include <cmath>

namespace widgets {

double factorForWindowSize(int windowSize) {
    switch (windowSize) {
    case 800:
        return 1.25;
    case 1024:
        return 1.6;
    case 1280:
        return 2.0;
    default:
        return 1.0;
    }
}

double startupFactor(int storedWindowSize, QSize screen) {
    const int width = screen.width();
    const int height = screen.height();
    if (storedWindowSize == 800 && width >= 800 && height >= 600)
        return 1.25;
    if (storedWindowSize == 1024 && width >= 1024 && height >= 768)
        return 1.6;
    if (storedWindowSize == 1280 && width >= 1280 && height >= 1024)
        return 2.0;
    return 1.0;
}

} // namespace widgets

// --- Components
// ------------------------------------------------------------------------------------

namespace widgets {

namespace {

bool isExactly(const QWidget& widget, const QMetaObject& meta) {
    return widget.metaObject() == &meta;
}

bool holdsWidgets(const QWidget& widget) {
    return !widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty();
}

// Widgets whose children are their own inner parts, not components of the window.
bool isComposite(const QWidget& widget) {
    return qobject_cast<const QAbstractButton*>(&widget) != nullptr ||
           qobject_cast<const QLabel*>(&widget) != nullptr ||
           qobject_cast<const QLineEdit*>(&widget) != nullptr ||
           qobject_cast<const QComboBox*>(&widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(&widget) != nullptr ||
           qobject_cast<const QAbstractScrollArea*>(&widget) != nullptr ||
           qobject_cast<const QTabBar*>(&widget) != nullptr ||
           qobject_cast<const RecordNavigator*>(&widget) != nullptr;
}

void collect(QWidget& parent, std::vector<QWidget*>& out) {
    if (auto* tabs = qobject_cast<QTabWidget*>(&parent)) {
        for (int page = 0; page < tabs->count(); ++page)
            if (QWidget* content = tabs->widget(page))
                collect(*content, out);
        return;
    }
    if (auto* scroll = qobject_cast<QScrollArea*>(&parent)) {
        if (QWidget* content = scroll->widget())
            collect(*content, out);
        return;
    }
    for (QObject* child : parent.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow())
            continue;
        out.push_back(widget);
        if (!isComposite(*widget) || qobject_cast<QScrollArea*>(widget) != nullptr)
            collect(*widget, out);
    }
}

qreal rounded(double factor) {
    return std::round(factor * 100.0) / 100.0;
}

int scaled(int value, qreal factor) {
    return static_cast<int>(std::lround(value * factor));
}

QSize scaledSize(QSize size, qreal factor) {
    return {scaled(size.width(), factor), scaled(size.height(), factor)};
}

QFont scaledFont(QFont font, qreal factor) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, scaled(font.pixelSize(), factor)));
    return font;
}

bool sameSize(const QFont& one, const QFont& other) {
    if (one.pointSizeF() > 0 || other.pointSizeF() > 0)
        return std::abs(one.pointSizeF() - other.pointSizeF()) < 0.001;
    return one.pixelSize() == other.pixelSize();
}

QFont withSizeOf(QFont font, const QFont& sized) {
    if (sized.pointSizeF() > 0)
        font.setPointSizeF(sized.pointSizeF());
    else if (sized.pixelSize() > 0)
        font.setPixelSize(sized.pixelSize());
    return font;
}

// Minimum and maximum sizes that were set on purpose follow the scale; the defaults stay.
void scaleLimits(QWidget& widget, qreal factor) {
    const QSize minimum = widget.minimumSize();
    const QSize maximum = widget.maximumSize();
    if (minimum.width() > 0 || minimum.height() > 0)
        widget.setMinimumSize(scaledSize(minimum, factor));
    QSize newMaximum = maximum;
    if (maximum.width() < QWIDGETSIZE_MAX)
        newMaximum.setWidth(scaled(maximum.width(), factor));
    if (maximum.height() < QWIDGETSIZE_MAX)
        newMaximum.setHeight(scaled(maximum.height(), factor));
    widget.setMaximumSize(newMaximum);
}

} // namespace

ComponentKind componentKind(const QWidget& widget) {
    if (qobject_cast<const RecordGrid*>(&widget) || qobject_cast<const RecordNavigator*>(&widget))
        return ComponentKind::Other;
    if (qobject_cast<const QPushButton*>(&widget))
        return ComponentKind::Button;
    if (qobject_cast<const QToolButton*>(&widget))
        return ComponentKind::ToolButton;
    if (qobject_cast<const QCheckBox*>(&widget))
        return ComponentKind::CheckBox;
    if (qobject_cast<const QRadioButton*>(&widget))
        return ComponentKind::RadioButton;
    if (qobject_cast<const QLabel*>(&widget))
        return ComponentKind::Label;
    if (auto* edit = qobject_cast<const QLineEdit*>(&widget))
        return edit->inputMask().isEmpty() ? ComponentKind::LineEdit : ComponentKind::MaskedEdit;
    if (qobject_cast<const QAbstractSpinBox*>(&widget))
        return ComponentKind::MaskedEdit;
    if (qobject_cast<const QComboBox*>(&widget))
        return ComponentKind::ComboBox;
    if (qobject_cast<const QTabWidget*>(&widget))
        return ComponentKind::TabWidget;
    if (qobject_cast<const QTableView*>(&widget))
        return ComponentKind::Grid;
    if (qobject_cast<const QListView*>(&widget))
        return ComponentKind::ListBox;
    if (qobject_cast<const QGroupBox*>(&widget))
        return ComponentKind::GroupBox;
    if (isExactly(widget, QFrame::staticMetaObject))
        return holdsWidgets(widget) ? ComponentKind::Panel : ComponentKind::Bevel;
    if (isExactly(widget, QWidget::staticMetaObject) && holdsWidgets(widget))
        return ComponentKind::Panel;
    return ComponentKind::Other;
}

std::vector<QWidget*> windowComponents(QWidget& window) {
    std::vector<QWidget*> components;
    collect(window, components);
    return components;
}

// --- Design geometry -------------------------------------------------------------------------

namespace {

DesignGeometry::Component designOf(QWidget& widget, bool keepsFont) {
    const QFont font = widget.font();
    return {&widget,
            widget.geometry(),
            widget.minimumSize(),
            widget.maximumSize(),
            keepsFont && font.pointSizeF() > 0 ? font.pointSizeF() : -1.0,
            keepsFont && font.pointSizeF() <= 0 ? font.pixelSize() : -1};
}

void restoreDesign(const DesignGeometry::Component& component) {
    QWidget* widget = component.widget.data();
    if (widget == nullptr)
        return;
    if (component.pointSize > 0 || component.pixelSize > 0) {
        QFont font = widget->font();
        if (component.pointSize > 0)
            font.setPointSizeF(component.pointSize);
        else
            font.setPixelSize(component.pixelSize);
        widget->setFont(font);
    }
    widget->setMinimumSize(component.minimumSize);
    widget->setMaximumSize(component.maximumSize);
    widget->setGeometry(component.geometry);
}

} // namespace

void DesignGeometry::record(QWidget& window, db::UserMessages& messages) {
    components_.clear();
    others_.clear();
    clientSize_ = window.size();
    minimumSize_ = window.minimumSize();
    maximumSize_ = window.maximumSize();
    windowFont_ = window.font();
    bool tooMany = false;
    for (QWidget* widget : windowComponents(window)) {
        const ComponentKind kind = componentKind(*widget);
        if (kind != ComponentKind::Other &&
            static_cast<int>(components_.size()) < kMaxRecordedComponents) {
            components_.push_back(designOf(*widget, kind != ComponentKind::Bevel));
            continue;
        }
        tooMany = tooMany || kind != ComponentKind::Other;
        // Everything else is kept too, quietly, so that scaling never compounds on it either:
        // the window would otherwise grow a little more each time it is shown.
        others_.push_back(designOf(*widget, widget->testAttribute(Qt::WA_SetFont)));
    }
    recorded_ = true;
    if (tooMany)
        messages.error(kTooManyComponentsMessage);
}

void DesignGeometry::restore(QWidget& window) const {
    if (!recorded_)
        return;
    window.setFont(windowFont_);
    for (const Component& component : components_)
        restoreDesign(component);
    for (const Component& component : others_)
        restoreDesign(component);
    // The window last: a layout still holding the scaled components would keep the window at
    // its scaled size, and the next scaling would start from there.
    if (QLayout* layout = window.layout()) {
        layout->invalidate();
        layout->activate();
    }
    window.setMinimumSize(minimumSize_);
    window.setMaximumSize(maximumSize_);
    window.resize(clientSize_);
}

// --- Scaling -----------------------------------------------------------------------------------

void scaleAndCentre(QWidget& window, double factor, QSize screen) {
    const qreal scale = rounded(factor);
    if (scale > 0 && scale != 1.0) {
        const std::vector<QWidget*> components = windowComponents(window);
        // Each component's font as it is now, before the window's new font reaches those that
        // inherit their size: a font set on a component for its face alone still inherits its
        // size, and scaling what it shows after the window's change would scale it twice.
        std::vector<QFont> before;
        before.reserve(components.size());
        for (QWidget* widget : components)
            before.push_back(widget->font());
        window.setFont(scaledFont(window.font(), scale));
        for (size_t i = 0; i < components.size(); ++i) {
            QWidget* widget = components[i];
            if (!widget->testAttribute(Qt::WA_SetFont))
                continue;
            const QFont wanted = scaledFont(before[i], scale);
            if (!sameSize(widget->font(), wanted))
                widget->setFont(withSizeOf(widget->font(), wanted));
        }
        for (QWidget* widget : components) {
            const QRect geometry = widget->geometry();
            scaleLimits(*widget, scale);
            widget->setGeometry(scaled(geometry.x(), scale), scaled(geometry.y(), scale),
                                scaled(geometry.width(), scale), scaled(geometry.height(), scale));
        }
        const QSize client = window.size();
        scaleLimits(window, scale);
        window.resize(scaledSize(client, scale));
    }
    // The frame counts once the window has been shown; before, only the client area is known.
    const QSize outer = window.isVisible() ? window.frameGeometry().size() : window.size();
    window.move(std::max(0, (screen.width() - outer.width()) / 2),
                std::max(0, (screen.height() - outer.height()) / 2));
}

// --- User fonts ----------------------------------------------------------------------------------

namespace {
const QFont* userFontFor(ComponentKind kind, const UserFonts& fonts) {
    switch (kind) {
    case ComponentKind::Label:
    case ComponentKind::ListBox:
    case ComponentKind::CheckBox:
    case ComponentKind::RadioButton:
    case ComponentKind::GroupBox:
        return &fonts.label;
    case ComponentKind::Grid:
    case ComponentKind::LineEdit:
    case ComponentKind::MaskedEdit:
    case ComponentKind::ComboBox:
        return &fonts.edit;
    case ComponentKind::Button:
        return &fonts.button;
    default:
        return nullptr;
    }
}
} // namespace

void applyUserFonts(QWidget& window, const UserFonts& fonts) {
    for (QWidget* widget : windowComponents(window)) {
        const QFont* source = userFontFor(componentKind(*widget), fonts);
        if (source == nullptr)
            continue;
        QFont font = widget->font();
        font.setFamilies(source->families().isEmpty() ? QStringList{source->family()}
                                                      : source->families());
        font.setFamily(source->family());
        font.setWeight(source->weight());
        font.setItalic(source->italic());
        font.setUnderline(source->underline());
        font.setStrikeOut(source->strikeOut());
        // A size the component shares with its parent stays inherited, so that scaling the
        // window afterwards scales it once, with the window; a size of its own stays its own.
        const QWidget* parent = widget->parentWidget();
        if (parent != nullptr && sameSize(widget->font(), parent->font()))
            font.setResolveMask(font.resolveMask() & ~uint(QFont::SizeResolved));
        widget->setFont(font);
    }
}

void prepareToShow(QWidget& window, const DesignGeometry* design, double factor, QSize screen,
                   const UserFonts& fonts) {
    if (design != nullptr)
        design->restore(window);
    scaleAndCentre(window, factor, screen);
    applyUserFonts(window, fonts);
}

} // namespace widgets
