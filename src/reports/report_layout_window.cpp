#include "reports/report_layout_window.h"

#include "appearance/colour_painting.h"
#include "db/field_catalogue.h"
#include "reports/qt_printer_device.h"
#include "reports/report_design.h"
#include "reports/report_miniature.h"
#include "reports/report_part_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace reports {

namespace {

int scaled(double value, double scale) {
    return static_cast<int>(std::lround(value * scale));
}

// The boxes of one line in the band from `top` to `bottom`.
void addLineBoxes(std::vector<LayoutBox>& boxes, const ReportLine& line, int lineNumber, int width,
                  int top, int bottom, const LayoutGeometry& geometry) {
    const double perCharacter = static_cast<double>(geometry.right() - geometry.left()) / width;
    int sum = 0;
    int x = geometry.left();
    for (int index = 0; index < kPartsPerLine; ++index) {
        const ReportPart& part = line[static_cast<size_t>(index)];
        if (part.width < 1)
            break;
        sum += part.width;
        const bool last =
            index == kPartsPerLine - 1 || line[static_cast<size_t>(index) + 1].width < 1;
        int right = last ? geometry.right()
                         : geometry.left() + static_cast<int>(std::lround(perCharacter * sum));
        right = std::min(right, geometry.right());
        boxes.push_back({lineNumber, index + 1, QRect(QPoint(x, top), QPoint(right, bottom))});
        x = right;
    }
}

} // namespace

int LayoutGeometry::left() const {
    return scaled(4, scale);
}
int LayoutGeometry::right() const {
    return scaled(629, scale);
}
int LayoutGeometry::bodyTop() const {
    return scaled(75, scale);
}
int LayoutGeometry::lineHeight() const {
    return scaled(20, scale);
}
int LayoutGeometry::totalsTop() const {
    return scaled(355, scale);
}
int LayoutGeometry::totalsBottom() const {
    return scaled(375, scale);
}

std::vector<LayoutBox> layoutBoxes(const ReportDefinition& definition, int width, bool showTotals,
                                   const LayoutGeometry& geometry) {
    std::vector<LayoutBox> boxes;
    const int lines = std::clamp(definition.numLines, 0, kBodyLineCount);
    for (int number = 1; number <= lines; ++number) {
        const int top = geometry.bodyTop() + (number - 1) * geometry.lineHeight();
        addLineBoxes(boxes, definition.line(number), number, width, top,
                     top + geometry.lineHeight(), geometry);
    }
    if (showTotals)
        addLineBoxes(boxes, definition.totalsLine, kTotalsLineNumber, width, geometry.totalsTop(),
                     geometry.totalsBottom(), geometry);
    return boxes;
}

std::optional<LayoutBox> boxAt(const std::vector<LayoutBox>& boxes, const LayoutGeometry& geometry,
                               QPoint point) {
    if (point.x() < geometry.left() || point.x() > geometry.right())
        return std::nullopt;
    int line = 0;
    if (point.y() >= geometry.totalsTop() && point.y() <= geometry.totalsBottom())
        line = kTotalsLineNumber;
    else if (point.y() >= geometry.bodyTop())
        line = (point.y() - geometry.bodyTop()) / geometry.lineHeight() + 1;
    for (const LayoutBox& box : boxes)
        if (box.line == line && box.rect.right() >= point.x())
            return box;
    return std::nullopt;
}

QRect freeLayoutRoom(const LayoutGeometry& geometry, int numLines, bool showTotals, int height) {
    const int gap = scaled(6, geometry.scale);
    const int heading = scaled(20, geometry.scale); // a band's heading sits above its top
    const int lines = std::clamp(numLines, 0, kBodyLineCount);
    const int bodyBottom = geometry.bodyTop() + lines * geometry.lineHeight() + 1;
    const QRect below(
        QPoint(geometry.left(), (showTotals ? geometry.totalsBottom() + 1 : bodyBottom) + gap),
        QPoint(geometry.right(), height - 1 - gap));
    if (!showTotals)
        return below.normalized();
    const QRect between(QPoint(geometry.left(), bodyBottom + gap),
                        QPoint(geometry.right(), geometry.totalsTop() - heading - gap));
    return (between.height() > below.height() ? between : below).normalized();
}

QString shortenToFit(const QString& text, const QFontMetrics& metrics, int room) {
    QString shown = text;
    while (!shown.isEmpty() && metrics.horizontalAdvance(shown) > room)
        shown.chop(1);
    return shown;
}

// The drawing of the boxes, and the clicks on them.
class LayoutArea : public QWidget {
public:
    LayoutArea(TRepLayout& window, const app::Settings& settings, const ReportDefinition& copy,
               int width, bool showTotals, double scale)
        : QWidget(&window), window_(window), settings_(settings), copy_(copy), width_(width),
          showTotals_(showTotals) {
        geometry_.scale = scale;
        setObjectName(QStringLiteral("LayoutArea"));
        setFixedWidth(scaled(633, scale));
        // The whole drawing of the bands; the room below them is the miniature's.
        const int bodyBottom = geometry_.bodyTop() + std::clamp(copy_.numLines, 0, kBodyLineCount) *
                                                         geometry_.lineHeight();
        setMinimumHeight(showTotals ? scaled(380, scale) : bodyBottom + scaled(5, scale));
        refresh();
    }

    // `widget` takes the room the bands leave, wherever there is most of it.
    void setFreeRoomWidget(QWidget* widget) {
        freeRoom_ = widget;
        placeFreeRoomWidget();
    }

    void refresh() {
        boxes_ = layoutBoxes(copy_, width_, showTotals_, geometry_);
        update();
    }
    const std::vector<LayoutBox>& boxes() const { return boxes_; }

protected:
    void resizeEvent(QResizeEvent*) override { placeFreeRoomWidget(); }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(8 * geometry_.scale);
        painter.setFont(font);
        const QFontMetrics metrics(font);
        painter.setPen(palette().color(QPalette::WindowText));
        if (copy_.numLines > 0)
            painter.drawText(geometry_.left(), geometry_.bodyTop() - scaled(6, geometry_.scale),
                             QStringLiteral("Report Body"));
        if (showTotals_)
            painter.drawText(geometry_.left(), geometry_.totalsTop() - scaled(6, geometry_.scale),
                             QStringLiteral("Report Totals"));
        for (const LayoutBox& box : boxes_)
            paintBox(painter, metrics, box);
    }

    void mousePressEvent(QMouseEvent* event) override {
        pressed_ = event->button() == Qt::LeftButton
                       ? boxAt(boxes_, geometry_, event->position().toPoint())
                       : std::nullopt;
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        const auto released = boxAt(boxes_, geometry_, event->position().toPoint());
        const auto pressed = std::exchange(pressed_, std::nullopt);
        if (event->button() != Qt::LeftButton || !pressed || !released ||
            pressed->line != released->line || pressed->part != released->part)
            return;
        window_.openPart(released->line, released->part);
    }

private:
    void paintBox(QPainter& painter, const QFontMetrics& metrics, const LayoutBox& box) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawRect(box.rect);
        const ReportLine& line =
            box.line == kTotalsLineNumber ? copy_.totalsLine : copy_.line(box.line);
        const ReportPart& part = line[static_cast<size_t>(box.part - 1)];
        QString text;
        Qt::Alignment align = Qt::AlignLeft;
        QColor colour = Qt::black;
        if (part.isFiller()) {
            text = QStringLiteral("Filler");
            align = Qt::AlignHCenter;
            colour = Qt::darkGreen;
        } else if (part.isLabel()) {
            text = part.labelText;
            align = Qt::AlignRight;
            colour = Qt::red;
        } else {
            const int number = db::fieldNumberByName(part.item.toStdString());
            text = box.line != kTotalsLineNumber && number > 0 ? settings_.fieldLabel(number)
                                                               : part.item;
        }
        const QRect inner = box.rect.adjusted(2, 1, -1, 0);
        const QString shown = shortenToFit(text, metrics, inner.width());
        if (shown != text)
            align = Qt::AlignLeft;
        painter.setPen(colour);
        painter.drawText(inner, static_cast<int>(align | Qt::AlignVCenter), shown);
    }

    void placeFreeRoomWidget() {
        if (freeRoom_ != nullptr)
            freeRoom_->setGeometry(
                freeLayoutRoom(geometry_, copy_.numLines, showTotals_, size().height()));
    }

    TRepLayout& window_;
    QWidget* freeRoom_ = nullptr;
    const app::Settings& settings_;
    const ReportDefinition& copy_;
    int width_;
    bool showTotals_;
    LayoutGeometry geometry_;
    std::vector<LayoutBox> boxes_;
    std::optional<LayoutBox> pressed_;
};

TRepLayout::TRepLayout(QWidget* parent, const widgets::Seams& seams, const app::Settings& settings,
                       ReportDefinition& definition, LayoutOptions options)
    : QDialog(parent), seams_(seams), settings_(settings), definition_(definition),
      copy_(definition), options_(std::move(options)) {
    setObjectName(QStringLiteral("TRepLayout"));
    setWindowTitle(QStringLiteral("Specify Report Layout"));
    const double scale = options_.scale;
    // The caption and the note sit above the body band, inside the drawing's own coordinates.
    area_ =
        new LayoutArea(*this, settings_, copy_, options_.designWidth, options_.showTotals, scale);
    auto* caption = new QLabel(QStringLiteral("Report: ") + definition_.reportName.left(38), area_);
    caption->setObjectName(QStringLiteral("ReportCaption"));
    appearance::markColourPart(*caption, appearance::ColourPart::MajorTitle);
    caption->setGeometry(scaled(4, scale), scaled(4, scale), scaled(620, scale), scaled(18, scale));
    auto* note = new QLabel(QStringLiteral("Using the left mouse button, click on the area where "
                                           "you would like to add or change the report layout."),
                            area_);
    note->setObjectName(QStringLiteral("Note"));
    note->setWordWrap(true);
    note->setGeometry(scaled(4, scale), scaled(24, scale), scaled(620, scale), scaled(34, scale));

    // The miniature fills the room the bands leave: between the body lines and the totals
    // line on a low screen, below the bands when the window can grow.
    miniature_ = new ReportMiniature(area_);
    miniature_->setSource([this] {
        if (options_.table == nullptr)
            return FirstPage{{}, QStringLiteral("No book table is open.")};
        std::optional<QtPrinterDevice> device;
        if (options_.printer != nullptr)
            device.emplace(*options_.printer);
        return runFirstPage(miniatureDefinition(), *options_.table, options_.context,
                            device ? &*device : nullptr);
    });
    area_->setFreeRoomWidget(miniature_);

    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(ok, &QPushButton::clicked, this, &TRepLayout::OkButtonClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    buttons_ = new QHBoxLayout;
    buttons_->addStretch(1);
    buttons_->addWidget(ok);
    buttons_->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->addWidget(area_, 1);
    layout->addLayout(buttons_);
    fitToScreen();
}

TRepLayout::~TRepLayout() = default;

const std::vector<LayoutBox>& TRepLayout::boxes() const {
    return area_->boxes();
}
QWidget* TRepLayout::drawingArea() const {
    return area_;
}

ReportDefinition TRepLayout::miniatureDefinition() const {
    ReportDefinition shown = options_.pending;
    shown.numLines = copy_.numLines;
    shown.lines = copy_.lines;
    shown.totalsLine = copy_.totalsLine;
    if (trial_)
        (trial_->first == kTotalsLineNumber ? shown.totalsLine : shown.line(trial_->first)) =
            trial_->second;
    return shown;
}

void TRepLayout::fitToScreen() {
    const double scale = options_.scale;
    const QSize screen = seams_.screen.size();
    const int buttons = buttons_->sizeHint().height() + layout()->spacing() + 8;
    // Room for the window's frame and caption, which the window does not know before it shows.
    const int frame = scaled(40, scale);
    const int wanted = area_->minimumHeight() + buttons + scaled(420, scale);
    const int height =
        std::max(std::min(wanted, screen.height() - frame), area_->minimumHeight() + buttons);
    resize(area_->width(), height);
    move(std::max(0, (screen.width() - width()) / 2),
         std::max(0, (screen.height() - height - frame) / 2));
}

void TRepLayout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (std::exchange(shown_, true))
        return;
    // The first page is made once the window is on the screen, as a report run is.
    QTimer::singleShot(0, miniature_, [this] { miniature_->refreshNow(); });
}

void TRepLayout::openPart(int line, int part) {
    const bool totals = line == kTotalsLineNumber;
    ReportLine& target = totals ? copy_.totalsLine : copy_.line(line);
    TReportPart partWindow(this, seams_, settings_, target, line, part, options_.designWidth);
    widgets::prepareToShow(partWindow, &partWindow.design(), options_.scale, seams_.screen.size(),
                           options_.fonts);
    appearance::applyColourSet(partWindow, settings_.colours(app::WindowGroup::Report));
    connect(&partWindow, &TReportPart::lineEdited, this, [this, line](const ReportLine& edited) {
        trial_.emplace(line, edited);
        miniature_->scheduleRefresh();
    });
    const bool accepted = partWindow.exec() == QDialog::Accepted && partWindow.result();
    // Whatever was tried, the miniature goes back to the working copy, changed or not.
    if (std::exchange(trial_, std::nullopt) || accepted)
        miniature_->scheduleRefresh();
    if (!accepted)
        return;
    target = *partWindow.result();
    area_->refresh();
}

void TRepLayout::OkButtonClick() {
    definition_ = copy_;
    accept();
}

} // namespace reports
