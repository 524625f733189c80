// The record edit form's design layout: pages, controls, buttons and menus, placed for a
// 640 x 480 screen and scaled from there by the window-size factor.

#include "appearance/colour_painting.h"
#include "edit/date_box.h"
#include "edit/pick_list_combo.h"
#include "edit/tmy_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

namespace edit {

namespace {

constexpr int kBodyWidth = 620;
constexpr int kBodyHeight = 374;
constexpr int kRowTop = 10;
constexpr int kRowStep = 28;
constexpr int kRowHeight = 22;
constexpr int kLeftLabel = 8;
constexpr int kRightLabel = 310;
constexpr int kLabelWidth = 128;
constexpr int kLeftControl = 140;
constexpr int kRightControl = 442;
constexpr int kFullWidth = 452;
constexpr int kItemLineTop = 264;

int rowTop(int row) {
    return kRowTop + row * kRowStep;
}

int controlLeft(bool rightColumn) {
    return rightColumn ? kRightControl : kLeftControl;
}

int maxLengthOf(int fieldNumber) {
    return db::fieldByNumber(fieldNumber)->size;
}

} // namespace

QLabel* TMyEdit::addLabel(QWidget* page, int fieldNumber, int row, bool rightColumn) {
    auto* label = new QLabel(QString::fromUtf8(db::fieldByNumber(fieldNumber)->label), page);
    label->setGeometry(rightColumn ? kRightLabel : kLeftLabel, rowTop(row), kLabelWidth,
                       kRowHeight);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Field labels: minor-title text on the window's background.
    appearance::markColourPart(*label, appearance::ColourPart::MinorTitle);
    labels_[static_cast<size_t>(fieldNumber - 1)] = label;
    return label;
}

void TMyEdit::addLineEdit(QWidget* page, int fieldNumber, int row, bool rightColumn, int width) {
    QLabel* label = addLabel(page, fieldNumber, row, rightColumn);
    auto* box = new QLineEdit(page);
    box->setGeometry(controlLeft(rightColumn), rowTop(row), width, kRowHeight);
    box->setMaxLength(maxLengthOf(fieldNumber));
    label->setBuddy(box);
    watch(box, fieldNumber);
}

void TMyEdit::addCombo(QWidget* page, int fieldNumber, int row, bool rightColumn, int width) {
    QLabel* label = addLabel(page, fieldNumber, row, rightColumn);
    auto* combo = new PickListCombo(*host_.pickLists().forField(fieldNumber), page);
    combo->setGeometry(controlLeft(rightColumn), rowTop(row), width, kRowHeight);
    combo->setMaxLength(maxLengthOf(fieldNumber));
    label->setBuddy(combo);
    watch(combo, fieldNumber);
    watch(combo->lineEdit(), fieldNumber);
    controls_[static_cast<size_t>(fieldNumber - 1)] = combo;
}

void TMyEdit::addDateBox(QWidget* page, int fieldNumber, int row, bool rightColumn,
                         QPushButton* blank) {
    QLabel* label = addLabel(page, fieldNumber, row, rightColumn);
    auto* box = new DateBox(page);
    const int left = controlLeft(rightColumn);
    box->setGeometry(left, rowTop(row), 90, kRowHeight);
    label->setBuddy(box);
    watch(box, fieldNumber);
    blank->setParent(page);
    blank->setGeometry(left + 96, rowTop(row) - 1, blank->text().size() > 7 ? 90 : 60,
                       kRowHeight + 2);
    blank->setAutoDefault(false);
    connect(blank, &QPushButton::clicked, this, [box] { box->setBoxText({}); });
    storingButtons_.append(blank);
}

void TMyEdit::watch(QWidget* control, int fieldNumber) {
    if (controls_[static_cast<size_t>(fieldNumber - 1)] == nullptr) {
        controls_[static_cast<size_t>(fieldNumber - 1)] = control;
    }
    control->setProperty("vlmField", fieldNumber);
    control->installEventFilter(this);
}

QSize TMyEdit::designSize(int menuBarHeight) {
    return {kBodyWidth, kBodyHeight + menuBarHeight};
}

void TMyEdit::buildPages() {
    auto* body = new QWidget(this);
    // The body takes whatever the window gives it below the menu bar: the window's design size
    // is set once (see designSize) and scaled from there, so the body must not hold a minimum
    // of its own that scaling would then compound.
    pages_ = new QTabWidget(body);
    pages_->setGeometry(8, 6, kBodyWidth - 16, 324);
    appearance::markColourPart(*pages_, appearance::ColourPart::OwnColours);
    for (int index = 0; index < kPageCount; ++index) {
        auto* page = new QWidget;
        pages_->addTab(page, pageCaption(static_cast<Page>(index)));
        pageWidgets_[static_cast<size_t>(index)] = page;
        appearance::markColourPart(*page, appearance::ColourPart::OwnColours);
    }
    layout()->addWidget(body);

    QWidget* description = pageWidgets_[0];
    addLineEdit(description, field::Title, 0, false, kFullWidth);
    addCombo(description, field::Author, 1, false, kFullWidth);
    addCombo(description, field::Publisher, 2, false, kFullWidth);
    addLineEdit(description, field::Editor, 3, false, 160);
    addCombo(description, field::BookType, 3, true, 150);
    addLineEdit(description, field::Volume, 4, false, 80);
    addLineEdit(description, field::Issue, 4, true, 80);
    addLineEdit(description, field::YearPub, 5, false, 50);
    addLineEdit(description, field::Edition, 5, true, 100);
    addLineEdit(description, field::Pages, 6, false, 60);
    addDateBox(description, field::PurchDate, 6, true, new QPushButton(tr("Blan&k")));
    addCombo(description, field::WherePurch, 7, false, 220);

    QWidget* catalog = pageWidgets_[1];
    addLineEdit(catalog, field::CatalogNum, 0, false, 120);
    addLineEdit(catalog, field::Sub1, 0, true, 60);
    addLineEdit(catalog, field::Sub2, 1, false, 60);
    addLineEdit(catalog, field::Dewey, 1, true, 150);
    addLineEdit(catalog, field::Isbn, 2, false, 150);
    addCombo(catalog, field::Category, 2, true, 150);
    addLineEdit(catalog, field::KeyWords, 3, false, kFullWidth);
    addCombo(catalog, field::Rating, 4, false, 150);
    addCombo(catalog, field::Location, 4, true, 150);

    QWidget* worth = pageWidgets_[2];
    addLineEdit(worth, field::Cost, 0, false, 100);
    addLineEdit(worth, field::Value, 1, false, 100);
    addLineEdit(worth, field::LowMarket, 2, false, 100);
    addLineEdit(worth, field::HighMarket, 3, false, 100);

    QWidget* library = pageWidgets_[3];
    checkOut_ =
        new QCheckBox(QString::fromUtf8(db::fieldByNumber(field::CheckOut)->label), library);
    checkOut_->setGeometry(kLeftControl, rowTop(0), 200, kRowHeight);
    watch(checkOut_, field::CheckOut);
    connect(checkOut_, &QCheckBox::clicked, this,
            [this](bool checked) { editor_.toggleCheckOut(checked); });
    addDateBox(library, field::CheckDate, 1, false, new QPushButton(tr("Blan&k Date")));
    addCombo(library, field::CheckName, 2, false, 220);

    QWidget* other = pageWidgets_[4];
    addCombo(other, field::Condition, 0, false, 150);
    addLineEdit(other, field::Description, 1, false, kFullWidth);
    for (int number = field::UserDef1; number <= field::UserDef6; ++number) {
        addLineEdit(other, number, 2 + number - field::UserDef1, false, 300);
    }

    for (int index = 1; index < kPageCount; ++index) {
        auto* itemLine = new QLabel(tr("Item"), pageWidgets_[static_cast<size_t>(index)]);
        itemLine->setGeometry(kLeftLabel, kItemLineTop, kBodyWidth - 40, kRowHeight);
        itemLine->setTextFormat(Qt::PlainText);
        appearance::markColourPart(*itemLine, appearance::ColourPart::OwnColours);
        itemLines_[static_cast<size_t>(index - 1)] = itemLine;
    }
}

void TMyEdit::buildButtons() {
    QWidget* body = pages_->parentWidget();
    struct FormButton {
        const char* caption;
        std::function<void()> run;
        bool stores;
    };
    const std::array<FormButton, 6> entries{{
        {"&Update && Exit", [this] { updateAndExit(); }, true},
        {"Up&date", [this] { editor_.updateRecord(); }, true},
        {"C&lear", [this] { editor_.clear(); }, true},
        {"E&xit", [this] { exitForm(); }, false},
        {"&Previous", [this] { editor_.move(Direction::Previous); }, false},
        {"&Next", [this] { editor_.move(Direction::Next); }, false},
    }};
    constexpr int width = 94;
    constexpr int gap = 8;
    int left = 8;
    for (const FormButton& entry : entries) {
        auto* button = new QPushButton(QString::fromUtf8(entry.caption), body);
        button->setGeometry(left, 338, width, 28);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, entry.run);
        if (entry.stores) {
            storingButtons_.append(button);
        }
        left += width + gap;
    }
}

void TMyEdit::buildMenus(QMenuBar& menuBar) {
    struct MenuEntry {
        const char* caption;
        QKeySequence shortcut;
        std::function<void()> run;
        bool stores;
    };
    const auto addActions = [this](QMenu* menu, const std::vector<MenuEntry>& entries) {
        for (const MenuEntry& entry : entries) {
            if (entry.caption == nullptr) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf8(entry.caption));
            action->setShortcut(entry.shortcut);
            connect(action, &QAction::triggered, this, entry.run);
            if (entry.stores) {
                storingActions_.append(action);
            }
        }
    };
    addActions(
        menuBar.addMenu(tr("&File")),
        {{"&Update && Exit", QKeySequence(tr("Ctrl+U")), [this] { updateAndExit(); }, true},
         {"Up&date Record", QKeySequence(tr("Ctrl+R")), [this] { editor_.updateRecord(); }, true},
         {"&Clear Record", QKeySequence(tr("Ctrl+L")), [this] { editor_.clear(); }, true},
         {"N&ew Record", QKeySequence(tr("Ctrl+E")), [this] { editor_.newRecord(); }, true},
         {nullptr, {}, {}, false},
         {"&Previous Record", QKeySequence(tr("Ctrl+P")),
          [this] { editor_.move(Direction::Previous); }, false},
         {"&Next Record", QKeySequence(tr("Ctrl+N")), [this] { editor_.move(Direction::Next); },
          false},
         {nullptr, {}, {}, false},
         {"E&xit", {}, [this] { exitForm(); }, false}});
    addActions(menuBar.addMenu(tr("&Edit")),
               {{"Cu&t", QKeySequence(tr("Ctrl+X")),
                 [this] { clipboardCommand([](QLineEdit& box) { box.cut(); }); }, true},
                {"&Copy", QKeySequence(tr("Ctrl+C")),
                 [this] { clipboardCommand([](QLineEdit& box) { box.copy(); }); }, true},
                {"&Paste", QKeySequence(tr("Ctrl+V")),
                 [this] { clipboardCommand([](QLineEdit& box) { box.paste(); }); }, true},
                {"&Delete", QKeySequence(tr("Ctrl+D")),
                 [this] {
                     clipboardCommand([](QLineEdit& box) {
                         if (box.hasSelectedText()) {
                             box.del();
                         }
                     });
                 },
                 true}});
    QAction* help = menuBar.addAction(tr("&Help"));
    help->setShortcuts({QKeySequence(tr("Ctrl+H")), QKeySequence(Qt::Key_F1)});
    connect(help, &QAction::triggered, this,
            [this] { seams_.help.showKeyword(QStringLiteral("Input Window")); });
}

} // namespace edit
