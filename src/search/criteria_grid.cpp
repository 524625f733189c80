#include "search/criteria_grid.h"

#include "db/field_catalogue.h"
#include "table/date_format.h"

#include <QHeaderView>
#include <QLineEdit>

namespace search {

namespace {

constexpr int kLabelWidth = 200;
constexpr int kButtonWidth = 20;
constexpr int kCriterionWidth = 378;
constexpr int kGridWidth = 600;
const QColor kButtonGrey(128, 128, 128);

QString withSeparator(QString mask, char separator) {
    return mask.replace(QLatin1Char('/'), QLatin1Char(separator));
}

// What a cell stores of its editor: the text as shown (empty when only blanks). With a mask the
// shown text keeps the mask's literals and blanks in place, so that it goes back into a masked
// editor unchanged; text() would drop the blanks and shift what follows them.
QString shownText(const QLineEdit& editor) {
    const QString text = editor.inputMask().isEmpty() ? editor.text() : editor.displayText();
    return text.trimmed().isEmpty() ? QString() : text;
}

} // namespace

bool rowHasOptions(int row) {
    const db::FieldInfo* field = db::fieldByNumber(row);
    return field && (rowKind(row) != RowKind::Text || field->hasPickList());
}

CriterionEditRule criterionEditRule(int row, RowOperator op, char dateSeparator) {
    // Qt masks: "x" any character, optional; "0" a digit, optional; "9" a digit, required.
    // ">", "<" and the letters of "AND" are mask characters and so written escaped.
    switch (rowKind(row)) {
    case RowKind::Text:
        return {QString(), db::fieldByNumber(row)->size};
    case RowKind::Number:
        switch (op) {
        case RowOperator::Equal:
            return {QStringLiteral("= xxxxxxxxx")};
        case RowOperator::Greater:
            return {QStringLiteral("\\> xxxxxxxxx")};
        case RowOperator::Less:
            return {QStringLiteral("\\< xxxxxxxxx")};
        case RowOperator::Between:
            return {QStringLiteral("\\> xxxxxxxxx \\A\\N\\D \\< xxxxxxxx")};
        }
        break;
    case RowKind::Date:
        switch (op) {
        case RowOperator::Equal:
            return {withSeparator(QStringLiteral("= 00/00/9999"), dateSeparator)};
        case RowOperator::Greater:
            return {withSeparator(QStringLiteral("\\> 00/00/9999"), dateSeparator)};
        case RowOperator::Less:
            return {withSeparator(QStringLiteral("\\< 00/00/9999"), dateSeparator)};
        case RowOperator::Between:
            return {withSeparator(QStringLiteral("\\> 00/00/9999 \\A\\N\\D \\< 00/00/9999"),
                                  dateSeparator)};
        }
        break;
    }
    return {};
}

QWidget* CriteriaDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    const int row = index.row() + 1;
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("CriterionEditor"));
    const CriterionEditRule rule = criterionEditRule(
        row, operators_[static_cast<size_t>(index.row())], table::currentDateFormat().separator);
    editor->setInputMask(rule.inputMask);
    editor->setMaxLength(rule.inputMask.isEmpty() ? rule.maxLength : 32767);
    editor->setFrame(false);
    // The cell holds what the editor shows at every moment. Left to the view, a masked editor
    // is stored only when its mask is complete: a half-typed date or a one-sided range would
    // vanish when the user clicks a button or another cell, and a deleted date stay searched.
    connect(editor, &QLineEdit::textEdited, this,
            [this, editor] { emit const_cast<CriteriaDelegate*>(this)->commitData(editor); });
    return editor;
}

void CriteriaDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    // The cell follows the editor as the user types; putting the same text back would move the
    // cursor to the end after every key.
    auto* lineEdit = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (text != shownText(*lineEdit))
        lineEdit->setText(text);
}

void CriteriaDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    const QString text = shownText(*static_cast<QLineEdit*>(editor));
    if (text != index.data(Qt::EditRole).toString())
        model->setData(index, text, Qt::EditRole);
}

CriteriaGrid::CriteriaGrid(const RowOperators& operators, QWidget* parent)
    : QTableWidget(kCriteriaRows, 3, parent) {
    setObjectName(QStringLiteral("SearchGrid"));
    setItemDelegateForColumn(kCriterionColumn, new CriteriaDelegate(operators, this));
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHorizontalHeaderLabels({QStringLiteral(" FIELD"), QString(), QString()});
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The criterion column takes what the scroll bar leaves of its width: nothing to scroll.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalHeader()->setStretchLastSection(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setTabKeyNavigation(true);
    for (int row = 1; row <= kCriteriaRows; ++row) {
        auto* label = new QTableWidgetItem;
        label->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row - 1, kLabelColumn, label);
        auto* button = new QTableWidgetItem;
        button->setFlags(Qt::ItemIsEnabled);
        if (rowHasOptions(row)) {
            button->setText(QStringLiteral("..."));
            button->setTextAlignment(Qt::AlignCenter);
            button->setBackground(kButtonGrey);
        }
        setItem(row - 1, kButtonColumn, button);
        setItem(row - 1, kCriterionColumn, new QTableWidgetItem);
    }
    designRowHeight_ = verticalHeader()->defaultSectionSize();
    setLevel(1);
    applyFactor(1.0);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == kButtonColumn && rowHasOptions(row + 1))
            emit optionsRequested(row + 1);
    });
    connect(this, &QTableWidget::currentCellChanged, this, [this](int, int column) {
        if (column == kCriterionColumn)
            openCurrentEditor();
    });
}

void CriteriaGrid::setFieldLabels(const QStringList& labels) {
    for (int row = 1; row <= kCriteriaRows && row <= labels.size(); ++row)
        item(row - 1, kLabelColumn)->setText(QLatin1Char(' ') + labels[row - 1]);
}

void CriteriaGrid::setLevel(int level) {
    horizontalHeaderItem(kCriterionColumn)
        ->setText(QStringLiteral(" SEARCH CRITERIA    (Level %1)").arg(level));
}

QString CriteriaGrid::headingText(int column) const {
    return horizontalHeaderItem(column) ? horizontalHeaderItem(column)->text() : QString();
}

void CriteriaGrid::applyFactor(double factor) {
    setColumnWidth(kLabelColumn, qRound(kLabelWidth * factor));
    setColumnWidth(kButtonColumn, qRound(kButtonWidth * factor));
    setColumnWidth(kCriterionColumn, qRound(kCriterionWidth * factor));
    setFixedWidth(qRound(kGridWidth * factor) + 20);
    verticalHeader()->setDefaultSectionSize(qRound(designRowHeight_ * factor));
}

QString CriteriaGrid::criterionText(int row) const {
    return item(row - 1, kCriterionColumn)->text();
}

void CriteriaGrid::setCriterionText(int row, const QString& text) {
    item(row - 1, kCriterionColumn)->setText(text);
    if (QWidget* editor = indexWidget(model()->index(row - 1, kCriterionColumn)))
        static_cast<QLineEdit*>(editor)->setText(text);
}

QLineEdit* CriteriaGrid::openEditor() const {
    if (currentIndex().column() != kCriterionColumn)
        return nullptr;
    return qobject_cast<QLineEdit*>(indexWidget(currentIndex()));
}

void CriteriaGrid::commitOpenEditor() {
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex()))
        commitData(editor);
}

CriteriaTexts CriteriaGrid::criteriaTexts() {
    commitOpenEditor();
    CriteriaTexts texts;
    for (int row = 1; row <= kCriteriaRows; ++row)
        texts[static_cast<size_t>(row - 1)] = criterionText(row).toStdString();
    return texts;
}

void CriteriaGrid::clearCriteria() {
    if (QWidget* editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    for (int row = 1; row <= kCriteriaRows; ++row)
        item(row - 1, kCriterionColumn)->setText(QString());
}

void CriteriaGrid::makeCurrent(int row) {
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    setCurrentCell(row - 1, kCriterionColumn);
    openCurrentEditor();
}

void CriteriaGrid::openCurrentEditor() {
    const QModelIndex index = currentIndex();
    if (index.isValid() && index.column() == kCriterionColumn && !indexWidget(index))
        edit(index);
}

} // namespace search
