#include "app/tip_of_day.h"

#include "widgets/window_geometry.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <array>

namespace app {

namespace {

const std::array<const char*, kTipCount> kTips = {
    "You can rename database fields to your liking.",
    "You can optionally edit data directly on the Main Window Viewer.",
    "You can choose to see only those database fields you desire in the Main Window Viewer.",
    "You can choose the order in which the database fields appear in the Main Window Viewer.",
    "You can select the font for edit boxes allowing for support of foreign language input.",
    "You can do a global search and replace on any database field.",
    "You can select numeric and currency formats for reports to either match your Windows setup "
    "or to be a U.S. format.",
    "You can choose from among several date formats to be used through out the program.",
    "You can sort your data by any database field and go four levels deep.",
    "You can maintain multiple databases and Volumara will display the last five used in the "
    "menu for easy retrieval.",
    "You can easily import data from ASCII Delimited or DBase compatible files.",
    "You can export data to ASCII Delimited or DBase compatible files and choose which database "
    "fields to export and the order.",
    "When exporting data, you can limit the data to export by first doing a search.",
    "When printing a report, you can limit the data to print by first doing a search.",
    "You can preview reports, print reports to a text file or send them directly to the "
    "printer.",
    "You can design and build as many of your own report layouts as you like.",
    "You can choose to have speed buttons or large lettered buttons on the main window for quick "
    "program functions.",
    "You can choose among popular screen sizes allowing program windows to appear the size you "
    "prefer.",
    "You can choose the font style for text input, labels and buttons allowing for a more "
    "personal appearance.",
    "You can narrow the data that is displayed in the Main Window Viewer to just the result of a "
    "search.",
    "Logical OR searches can be performed: Find all records where the item = xxxx OR where the "
    "item = yyyy.",
    "User defined reports allow for Title Lines, Font Selection, Margin Settings, Page Numbers, "
    "Date On Pages and More.",
    "User defined reports allow for Column Headers, Vertical and Horizontal lines, Grouping of "
    "Data, Totals and More.",
    "A \"Browse Mode\" is available where a user has access to the data, but cannot change it.",
};

} // namespace

QString tipText(int number) {
    if (number < 1 || number > kTipCount)
        return {};
    return QString::fromLatin1(kTips[static_cast<size_t>(number - 1)]);
}

TTipOfDay::TTipOfDay(widgets::Seams& seams, Settings& settings, double windowSizeFactor,
                     QWidget* parent)
    : QDialog(parent), seams_(seams), settings_(settings), windowSizeFactor_(windowSizeFactor) {
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    buildLayout();
    showTips_->setChecked(settings_.showTips);
    showTip(seams_.random.bounded(kTipCount) + 1);
}

void TTipOfDay::buildLayout() {
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(white);

    auto* picture = new QLabel(panel);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto* heading = new QLabel(QStringLiteral("Did you know?"), panel);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    tipComment_ = new QLabel(panel);
    tipComment_->setWordWrap(true);
    tipComment_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    tipComment_->setMinimumHeight(64);

    auto* text = new QVBoxLayout;
    text->addWidget(heading);
    text->addWidget(tipComment_, 1);
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->addWidget(picture, 0, Qt::AlignTop);
    panelLayout->addLayout(text, 1);

    closeButton_ = new QPushButton(QStringLiteral("&Close"), this);
    nextButton_ = new QPushButton(QStringLiteral("&Next Tip"), this);
    showTips_ = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    closeButton_->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(closeButton_);
    buttons->addWidget(nextButton_);
    buttons->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(panel, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(showTips_);
    resize(420, 200);

    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(nextButton_, &QPushButton::clicked, this,
            [this] { showTip(tipNumber_ % kTipCount + 1); });
}

void TTipOfDay::showTip(int number) {
    tipNumber_ = number;
    tipComment_->setText(tipText(number));
}

void TTipOfDay::showEvent(QShowEvent* event) {
    if (!scaled_) {
        scaled_ = true;
        widgets::scaleAndCentre(*this, windowSizeFactor_, seams_.screen.size());
        setFixedSize(size()); // a dialog frame: not resizable
    }
    QDialog::showEvent(event);
}

void TTipOfDay::done(int result) {
    // Close, Escape and the window's close box all end here.
    settings_.showTips = showTips_->isChecked();
    QDialog::done(result);
}

void showTipOfDay(QWidget* parent, widgets::Seams& seams, Settings& settings,
                  double windowSizeFactor) {
    TTipOfDay tips(seams, settings, windowSizeFactor, parent);
    tips.exec();
}

} // namespace app
