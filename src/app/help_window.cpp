#include "app/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace app {

namespace {

const char* const kUnknownKeywordNote =
    "There is no help topic for \"%1\". Choose a keyword from the index on the left.";
const char* const kMissingPageNote = "The help topic \"%1\" could not be found.";

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), index_(HelpIndex::builtIn()) {
    setWindowTitle(QStringLiteral("Volumara Books 95 Help"));
    buildLayout();
    for (const HelpKeyword& entry : index_.keywords())
        keywordList_->addItem(entry.keyword);
    resize(760, 520);
    showTarget({QString::fromLatin1(kHelpContentsPage), {}}, false);
}

void HelpWindow::buildLayout() {
    contentsButton_ = new QPushButton(tr("&Contents"), this);
    backButton_ = new QPushButton(tr("&Back"), this);
    forwardButton_ = new QPushButton(tr("&Forward"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contentsButton_);
    buttons->addWidget(backButton_);
    buttons->addWidget(forwardButton_);
    buttons->addStretch();

    auto* indexPanel = new QWidget(this);
    auto* indexLayout = new QVBoxLayout(indexPanel);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    auto* typeLabel = new QLabel(tr("&Type the first letters of a keyword:"), indexPanel);
    keywordBox_ = new QLineEdit(indexPanel);
    typeLabel->setBuddy(keywordBox_);
    keywordList_ = new QListWidget(indexPanel);
    displayButton_ = new QPushButton(tr("&Display"), indexPanel);
    indexLayout->addWidget(typeLabel);
    indexLayout->addWidget(keywordBox_);
    indexLayout->addWidget(keywordList_, 1);
    indexLayout->addWidget(displayButton_);

    note_ = new QLabel(this);
    note_->setWordWrap(true);
    note_->setFrameShape(QFrame::StyledPanel);
    note_->setStyleSheet(QStringLiteral("QLabel { background: #fff8dc; padding: 4px; }"));
    note_->hide();
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    auto* pagePanel = new QWidget(this);
    auto* pageLayout = new QVBoxLayout(pagePanel);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(note_);
    pageLayout->addWidget(browser_, 1);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(indexPanel);
    splitter->addWidget(pagePanel);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 540});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(contentsButton_, &QPushButton::clicked, this, [this] { showContents(); });
    connect(backButton_, &QPushButton::clicked, this, [this] { goBack(); });
    connect(forwardButton_, &QPushButton::clicked, this, [this] { goForward(); });
    connect(browser_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { followLink(url.toString()); });
    connect(keywordBox_, &QLineEdit::textEdited, this,
            [this](const QString& text) { selectNearestKeyword(text); });
    connect(keywordBox_, &QLineEdit::returnPressed, this, [this] { openSelectedKeyword(); });
    connect(keywordList_, &QListWidget::itemActivated, this, [this] { openSelectedKeyword(); });
    connect(displayButton_, &QPushButton::clicked, this, [this] { openSelectedKeyword(); });
    auto* backKey = new QShortcut(QKeySequence::Back, this);
    connect(backKey, &QShortcut::activated, this, [this] { goBack(); });
    auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::showContents() {
    note_->hide();
    showTarget({QString::fromLatin1(kHelpContentsPage), {}}, true);
    bringUp();
}

void HelpWindow::showKeyword(const QString& keyword) {
    if (std::optional<HelpTarget> target = index_.find(keyword)) {
        note_->hide();
        keywordBox_->clear();
        selectNearestKeyword(keyword);
        if (!showTarget(*target, true))
            showNote(tr(kMissingPageNote).arg(keyword));
    } else {
        showNote(tr(kUnknownKeywordNote).arg(keyword.trimmed()));
        keywordBox_->setText(keyword.trimmed());
        selectNearestKeyword(keyword);
        keywordBox_->setFocus();
    }
    bringUp();
}

QString HelpWindow::noteText() const {
    return note_->text();
}

bool HelpWindow::noteVisible() const {
    return !note_->isHidden();
}

void HelpWindow::followLink(const QString& link) {
    std::optional<HelpTarget> target = parseHelpLink(link, current_.page);
    if (!target)
        return;
    note_->hide();
    if (!showTarget(*target, true))
        showNote(tr(kMissingPageNote).arg(link));
}

void HelpWindow::goBack() {
    if (back_.empty())
        return;
    forward_.push_back(current_);
    HelpTarget target = back_.back();
    back_.pop_back();
    note_->hide();
    showTarget(target, false);
}

void HelpWindow::goForward() {
    if (forward_.empty())
        return;
    back_.push_back(current_);
    HelpTarget target = forward_.back();
    forward_.pop_back();
    note_->hide();
    showTarget(target, false);
}

void HelpWindow::bringUp() {
    // A help window opened from a modal dialog must take input itself, or the dialog would keep
    // it from the user; opened from the main window it stays beside it.
    const bool fromModal =
        QApplication::activeModalWidget() != nullptr && QApplication::activeModalWidget() != this;
    const Qt::WindowModality wanted = fromModal ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    show();
    raise();
    activateWindow();
}

bool HelpWindow::showTarget(const HelpTarget& target, bool remember) {
    std::optional<QString> text = helpPageText(target.page);
    HelpTarget shown = target;
    if (!text) {
        shown = {QString::fromLatin1(kHelpContentsPage), {}};
        text = helpPageText(shown.page);
    }
    if (remember && !current_.page.isEmpty() && !(current_ == shown)) {
        back_.push_back(current_);
        forward_.clear();
    }
    if (shown.page != current_.page || browser_->document()->isEmpty()) {
        browser_->document()->setMarkdown(text.value_or(QString()));
        markHeadingAnchors(*browser_->document());
        browser_->setTextCursor(QTextCursor(browser_->document()));
    }
    current_ = shown;
    scrollToCurrent();
    // A window not yet shown has not laid the page out; scroll again once it has.
    QTimer::singleShot(0, this, [this] { scrollToCurrent(); });
    updateHistoryButtons();
    return shown.page == target.page;
}

void HelpWindow::scrollToCurrent() {
    if (current_.anchor.isEmpty())
        browser_->verticalScrollBar()->setValue(0);
    else
        browser_->scrollToAnchor(current_.anchor);
}

void HelpWindow::showNote(const QString& text) {
    note_->setText(text);
    note_->show();
}

void HelpWindow::selectNearestKeyword(const QString& text) {
    const int row = index_.nearest(text);
    if (row < 0)
        return;
    keywordList_->setCurrentRow(row);
    keywordList_->scrollToItem(keywordList_->item(row), QAbstractItemView::PositionAtTop);
}

void HelpWindow::openSelectedKeyword() {
    QListWidgetItem* item = keywordList_->currentItem();
    if (item == nullptr)
        return;
    showKeyword(item->text());
}

void HelpWindow::updateHistoryButtons() {
    backButton_->setEnabled(!back_.empty());
    forwardButton_->setEnabled(!forward_.empty());
}

} // namespace app
