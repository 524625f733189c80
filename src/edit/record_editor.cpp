#include "edit/record_editor.h"

#include "edit/record_store.h"

namespace edit {

namespace {

const char* const kMovePrevious = "moving to the previous record?";
const char* const kMoveNext = "moving to the next record?";

} // namespace

std::optional<UpdateProblem> checkBeforeUpdate(const FormValues& values,
                                               const table::DateFormat& format, int currentYear) {
    if (!readDateBox(values.text(field::CheckDate), format, currentYear)) {
        return UpdateProblem{field::CheckDate, kInvalidCheckOutDate};
    }
    if (!readDateBox(values.text(field::PurchDate), format, currentYear)) {
        return UpdateProblem{field::PurchDate, kInvalidPurchaseDate};
    }
    const std::array<UpdateProblem, 4> money{{{field::Cost, kInvalidCost},
                                              {field::Value, kInvalidValue},
                                              {field::LowMarket, kInvalidLowMarket},
                                              {field::HighMarket, kInvalidHighMarket}}};
    for (const UpdateProblem& check : money) {
        if (!isMoneyAmount(values.text(check.fieldNumber))) {
            return check;
        }
    }
    return std::nullopt;
}

void CheckOutHold::take(const QString& dateText, const QString& personText) {
    date_ = dateText;
    person_ = personText;
}

void CheckOutHold::toggle(FormValues& values, bool nowChecked) {
    if (nowChecked) {
        values.text(field::CheckDate) = date_;
        values.text(field::CheckName) = person_;
    } else {
        date_ = values.text(field::CheckDate).left(10);
        person_ = values.text(field::CheckName).left(30);
        values.text(field::CheckDate).clear();
        values.text(field::CheckName).clear();
    }
    values.checkedOut = nowChecked;
}

RecordEditor::RecordEditor(EditorContext context, EditView& view)
    : context_(std::move(context)), view_(view) {
    for (int number = 1; number <= db::kFieldCount; ++number) {
        labels_[static_cast<size_t>(number - 1)] =
            QString::fromUtf8(db::fieldByNumber(number)->label);
    }
}

void RecordEditor::prepareShow() {
    if (mode_ == EditMode::Edit || mode_ == EditMode::Copy) {
        loadOrClear();
    } else {
        clear();
    }
    takeSavedValues();
}

bool RecordEditor::loadOrClear() {
    // An empty table (or a filter that admits nothing) has no record to show: the form starts
    // a new one instead of editing a record that is not there.
    if (context_.table.isEmpty()) {
        clear();
        mode_ = EditMode::Add;
        return false;
    }
    const FormValues values = loadCurrentRecord(context_.table, context_.dateFormat());
    view_.setValues(values);
    hold_.take(values.text(field::CheckDate), values.text(field::CheckName));
    return true;
}

void RecordEditor::clear() {
    FormValues values = view_.values();
    const bool wasCheckedOut = values.checkedOut;
    values = clearedValues();
    view_.setValues(values);
    if (wasCheckedOut) {
        hold_.take({}, {});
    }
}

bool RecordEditor::dataChanged() const {
    return !sameValues(view_.values(), saved_);
}

// The user sees the field's page and box before the message about it.
void RecordEditor::failAt(int fieldNumber, const std::string& message) {
    if (fieldNumber != 0) {
        view_.showField(fieldNumber);
    }
    context_.messages.error(message);
}

bool RecordEditor::update() {
    const FormValues values = view_.values();
    const table::DateFormat& format = context_.dateFormat();
    const int year = context_.currentYear();
    if (const auto problem = checkBeforeUpdate(values, format, year)) {
        failAt(problem->fieldNumber, problem->message);
        return false;
    }
    // Refused before anything is written, rather than stored as some other character.
    if (const auto bad = findUnstorableCharacter(values, context_.table.header().codepage)) {
        const QString label = labels_[static_cast<size_t>(bad->fieldNumber - 1)];
        failAt(bad->fieldNumber, QStringLiteral("The character '%1' in %2 cannot be stored in "
                                                "this database.  Please correct.")
                                     .arg(bad->character, label)
                                     .toStdString());
        return false;
    }
    const bool asNewRecord = mode_ == EditMode::Add || mode_ == EditMode::Copy;
    try {
        storeRecord(context_.table, values, asNewRecord, format, year);
    } catch (const StoreError& error) {
        // The table is as it was and the mode unchanged, so the next Update tries the same
        // insert or change again with the corrected text.
        const int number = error.fieldNumber();
        failAt(number, number != 0 ? error.naming(labels_[static_cast<size_t>(number - 1)])
                                   : std::string(error.what()));
        return false;
    }
    mode_ = EditMode::Edit;
    growPickLists(values);
    return true;
}

void RecordEditor::growPickLists(const FormValues& values) {
    for (int number : pickListUpdateOrder()) {
        if (db::PickList* list = context_.pickLists.forField(number)) {
            list->addValue(values.text(number));
        }
    }
}

bool RecordEditor::updateRecord() {
    if (!update()) {
        return false;
    }
    takeSavedValues();
    return true;
}

RecordEditor::Answer RecordEditor::askToUpdate(const std::string& question) {
    context_.messages.beep(db::BeepKind::Question);
    const db::MessageAnswer answer =
        context_.messages.show("Warning", question, db::MessageIcon::Question,
                               db::MessageButtons::YesNoCancel, db::MessageAnswer::No);
    switch (answer) {
    case db::MessageAnswer::Yes:
        return update() ? Answer::GoOn : Answer::Stay;
    case db::MessageAnswer::No:
        return Answer::GoOn;
    default:
        return Answer::Stay;
    }
}

void RecordEditor::move(Direction direction) {
    if (!context_.browseMode) {
        const std::string where = direction == Direction::Previous ? kMovePrevious : kMoveNext;
        std::optional<std::string> question;
        if (mode_ == EditMode::Add || mode_ == EditMode::Copy) {
            question = "This record has not been updated yet.  Update this record before " + where;
        } else if (dataChanged()) {
            question = "Data has changed.  Update this record before " + where;
        }
        if (question && askToUpdate(*question) == Answer::Stay) {
            return;
        }
    }
    if (direction == Direction::Previous) {
        context_.table.prior();
    } else {
        context_.table.next();
    }
    if (loadOrClear()) {
        mode_ = EditMode::Edit;
    }
    takeSavedValues();
}

void RecordEditor::newRecord() {
    if (dataChanged() &&
        askToUpdate("Data has changed.  Update this record before creating new one?") ==
            Answer::Stay) {
        return;
    }
    clear();
    mode_ = EditMode::Add;
    takeSavedValues();
}

bool RecordEditor::confirmExit() {
    if (context_.browseMode || !dataChanged()) {
        return true;
    }
    context_.messages.beep(db::BeepKind::Question);
    return context_.messages.show("Warning",
                                  "Data has changed.  Do you want to exit without updating?",
                                  db::MessageIcon::Question, db::MessageButtons::YesNo,
                                  db::MessageAnswer::No) == db::MessageAnswer::Yes;
}

void RecordEditor::toggleCheckOut(bool nowChecked) {
    FormValues values = view_.values();
    hold_.toggle(values, nowChecked);
    view_.setValues(values);
}

} // namespace edit
