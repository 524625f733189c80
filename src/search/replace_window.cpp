#include "search/replace_window.h"

#include "appearance/colour_painting.h"
#include "search/wait_cursor.h"
#include "table/date_format.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>

namespace search {

namespace {

constexpr std::array<const char*, 6> kCaptions{
    "Field ", "Text To Search For", "Replacement Text", "Processed", "Found", "Changed"};
// Records visited between looks at the clock, and the time a step may take before the window
// paints and answers again.
constexpr uint32_t kRecordsPerLook = 256;
constexpr qint64 kStepMilliseconds = 40;

} // namespace

TSearchAndReplace::TSearchAndReplace(QWidget* parent, widgets::Seams& seams,
                                     const app::Settings& settings, ReplaceContext& context,
                                     std::string undoPath, double windowFactor,
                                     const widgets::UserFonts& fonts)
    : QDialog(parent), seams_(seams), settings_(settings), context_(context),
      undoPath_(std::move(undoPath)), windowFactor_(windowFactor), fonts_(fonts) {
    setWindowTitle(QStringLiteral("Search and Replace"));
    setObjectName(QStringLiteral("TSearchAndReplace"));
    buildControls();
}

TSearchAndReplace::~TSearchAndReplace() {
    if (run_)
        endRun(false);
}

void TSearchAndReplace::buildControls() {
    for (size_t i = 0; i < captions_.size(); ++i)
        captions_[i] = new QLabel(QString::fromLatin1(kCaptions[i]), this);
    fieldList_ = new QComboBox(this);
    fieldList_->setObjectName(QStringLiteral("FieldList"));
    fieldList_->setEditable(false);
    fieldList_->setMaxVisibleItems(15);
    for (int field = 1; field <= db::kFieldCount; ++field)
        fieldList_->addItem(settings_.fieldLabel(field));
    fieldList_->setCurrentIndex(-1);
    searchEdit_ = new QLineEdit(this);
    searchEdit_->setObjectName(QStringLiteral("SearchText"));
    replacementEdit_ = new QLineEdit(this);
    replacementEdit_->setObjectName(QStringLiteral("ReplacementText"));
    confirmBox_ = new QCheckBox(QStringLiteral("Confirm Before Replacing"), this);
    confirmBox_->setObjectName(QStringLiteral("ConfirmBeforeReplacing"));
    startButton_ = new QPushButton(QStringLiteral("&Start Search"), this);
    startButton_->setObjectName(QStringLiteral("StartButton"));
    startButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("CancelButton"));
    connect(startButton_, &QPushButton::clicked, this, [this] { StartSearchClick(); });
    connect(cancelButton_, &QPushButton::clicked, this, &TSearchAndReplace::reject);
    connect(fieldList_, &QComboBox::currentIndexChanged, this, [this] { fieldChosen(); });
    captions_[0]->setBuddy(fieldList_);
    captions_[1]->setBuddy(searchEdit_);
    captions_[2]->setBuddy(replacementEdit_);

    auto* counterFrame = new QFrame(this);
    counterFrame->setFrameShape(QFrame::Box);
    auto* counterGrid = new QGridLayout(counterFrame);
    const std::array<const char*, 3> counterNames{"ProcessedCount", "FoundCount", "ChangedCount"};
    for (int i = 0; i < 3; ++i) {
        QLabel* caption = captions_[static_cast<size_t>(3 + i)];
        caption->setParent(counterFrame);
        caption->setAlignment(Qt::AlignCenter);
        auto* count = new QLabel(QStringLiteral("0"), counterFrame);
        count->setObjectName(QString::fromLatin1(counterNames[static_cast<size_t>(i)]));
        count->setAlignment(Qt::AlignCenter);
        counters_[static_cast<size_t>(i)] = count;
        counterGrid->addWidget(caption, 0, i);
        counterGrid->addWidget(count, 1, i);
    }

    auto* form = new QGridLayout;
    form->addWidget(captions_[0], 0, 0);
    form->addWidget(fieldList_, 0, 1);
    form->addWidget(captions_[1], 1, 0);
    form->addWidget(searchEdit_, 1, 1);
    form->addWidget(captions_[2], 2, 0);
    form->addWidget(replacementEdit_, 2, 1);
    form->addWidget(confirmBox_, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(startButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(counterFrame);
    layout->addLayout(buttons);
    resize(400, 260);
}

void TSearchAndReplace::paint() {
    using appearance::ColourPart;
    const app::ColourSet& colours = settings_.colours(app::WindowGroup::Configure);
    appearance::paintColourPart(*this, ColourPart::Window, colours);
    for (QLabel* caption : captions_)
        appearance::paintColourPart(*caption, ColourPart::MajorTitle, colours);
    appearance::paintColourPart(*confirmBox_, ColourPart::Check, colours);
    appearance::paintColourPart(*searchEdit_, ColourPart::Edit, colours);
    appearance::paintColourPart(*replacementEdit_, ColourPart::Edit, colours);
}

void TSearchAndReplace::showEvent(QShowEvent* event) {
    if (!dressed_) {
        dressed_ = true;
        widgets::applyUserFonts(*this, fonts_);
        widgets::scaleAndCentre(*this, windowFactor_, seams_.screen.size());
        paint();
    }
    QDialog::showEvent(event);
}

// Both boxes are emptied and take the input rules of the field's kind.
void TSearchAndReplace::fieldChosen() {
    const db::FieldInfo* field = db::fieldByNumber(fieldList_->currentIndex() + 1);
    QString mask;
    int maxLength = 32767;
    if (field != nullptr) {
        switch (field->kind) {
        case db::FieldKind::Text:
            maxLength = field->size;
            break;
        case db::FieldKind::WholeNumber:
        case db::FieldKind::DecimalNumber:
            mask = QStringLiteral("xxxxxxxxx"); // nine characters, any of them optional
            maxLength = 9;
            break;
        case db::FieldKind::Date:
            mask =
                QStringLiteral("00/00/9999")
                    .replace(QLatin1Char('/'), QLatin1Char(table::currentDateFormat().separator));
            maxLength = 10;
            break;
        }
    }
    for (QLineEdit* box : {searchEdit_, replacementEdit_}) {
        box->setInputMask(mask);
        box->setMaxLength(mask.isEmpty() ? maxLength : 32767);
        box->clear();
    }
}

// A date box is read as shown, separators and blanks included, as the checks expect.
std::string TSearchAndReplace::boxText(const QLineEdit* box) const {
    const QString text = box->inputMask().isEmpty() ? box->text() : box->displayText();
    return text.toStdString();
}

void TSearchAndReplace::StartSearchClick() {
    if (run_)
        return;
    const DateReading dates{table::currentDateFormat(), seams_.clock.today().year()};
    const ReplaceValidation input =
        validateReplace(fieldList_->currentIndex() + 1, boxText(searchEdit_),
                        boxText(replacementEdit_), confirmBox_->isChecked(), dates);
    if (input.error != ReplaceInputError::None) {
        seams_.messages.error(replaceInputMessage(input.error));
        switch (input.error) {
        case ReplaceInputError::NoField:
            fieldList_->setFocus();
            break;
        case ReplaceInputError::SearchValue:
        case ReplaceInputError::SearchDate:
            searchEdit_->setFocus();
            break;
        default:
            replacementEdit_->setFocus();
            break;
        }
        return;
    }
    auto run = std::make_unique<ReplaceRun>(context_, input.request, undoPath_);
    lastCounters_ = {};
    showCounters();
    hourglass_ = std::make_unique<WaitCursor>();
    if (run->start() != ExclusiveTableRun::Start::Started) {
        hourglass_.reset();
        return; // the user has been told; the dialog stays open
    }
    runStarted_ = true;
    run_ = std::move(run);
    startButton_->setEnabled(false);
    cancelButton_->setEnabled(false);
    QTimer::singleShot(0, this, [this] { runSteps(); });
}

bool TSearchAndReplace::confirmChange(const std::string& title) {
    showCounters();
    hourglass_.reset(); // the question gets the normal pointer
    const db::MessageAnswer answer = seams_.messages.show(
        "Confirm", "Item = \"" + title + "\".  Change this record?", db::MessageIcon::Question,
        db::MessageButtons::YesNo, db::MessageAnswer::Yes);
    hourglass_ = std::make_unique<WaitCursor>();
    return answer == db::MessageAnswer::Yes;
}

void TSearchAndReplace::runSteps() {
    if (!run_)
        return;
    bool more = true;
    try {
        QElapsedTimer clock;
        clock.start();
        while (more && clock.elapsed() < kStepMilliseconds)
            more = run_->step(kRecordsPerLook,
                              [this](const std::string& title) { return confirmChange(title); });
    } catch (const std::exception& error) {
        lastCounters_ = run_->counters();
        showCounters();
        seams_.messages.error(error.what());
        endRun(false);
        return;
    }
    lastCounters_ = run_->counters();
    showCounters();
    if (more) {
        QTimer::singleShot(0, this, [this] { runSteps(); });
        return;
    }
    endRun(true);
}

void TSearchAndReplace::endRun(bool completed) {
    std::unique_ptr<ReplaceRun> run = std::move(run_);
    if (run) {
        lastCounters_ = run->counters();
        hourglass_.reset();
        run->finish();
    }
    startButton_->setEnabled(true);
    cancelButton_->setEnabled(true);
    if (!completed)
        return;
    seams_.messages.show("Finished", kReplaceCompleteMessage, db::MessageIcon::Information,
                         db::MessageButtons::Ok, db::MessageAnswer::Ok);
    accept();
}

void TSearchAndReplace::showCounters() {
    const std::array<uint32_t, 3> values{lastCounters_.processed, lastCounters_.found,
                                         lastCounters_.changed};
    for (size_t i = 0; i < counters_.size(); ++i)
        counters_[i]->setText(QString::number(values[i]));
}

// A run cannot be left half way: Escape and the close box wait for its end.
void TSearchAndReplace::reject() {
    if (!run_)
        QDialog::reject();
}

void TSearchAndReplace::closeEvent(QCloseEvent* event) {
    if (run_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace search
