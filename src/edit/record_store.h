#pragma once

// Moving a book record between the book table and the form: loading the current record into
// form values, and writing form values as a new or changed record without ever leaving a
// half-written record behind.

#include "edit/edit_fields.h"
#include "table/table.h"

#include <QString>

#include <optional>
#include <stdexcept>

namespace edit {

// The text of each control for the table's current record: fields as the engine writes them,
// dates as `dateBoxText`, the check box ticked exactly for "Yes".
FormValues loadCurrentRecord(const table::Table& table, const table::DateFormat& format);

// The values of a cleared form: everything empty, the four money boxes "0", not checked out.
FormValues clearedValues();

// A character that the table's code page cannot hold, and the field it was typed into.
struct UnstorableCharacter {
    int fieldNumber = 0;
    QString character;
};
std::optional<UnstorableCharacter> findUnstorableCharacter(const FormValues& values,
                                                           table::Codepage codepage);

// Raised by storeRecord when the engine refuses a value or the record; the table is then as it
// was before the store began.
class StoreError : public std::runtime_error {
public:
    StoreError(int fieldNumber, const std::string& message)
        : std::runtime_error(message), fieldNumber_(fieldNumber) {}
    // The engine refused the value of one field: its message can name the field otherwise.
    StoreError(int fieldNumber, const table::FieldValueError& refusal)
        : std::runtime_error(refusal.what()), fieldNumber_(fieldNumber), refusal_(refusal) {}
    int fieldNumber() const { return fieldNumber_; } // 0 when no single field is to blame
    // The message with the field called `label` (the user's name for it) where the engine gave
    // the field's name in the table.
    std::string naming(const QString& label) const {
        return refusal_ ? refusal_->naming(label.toStdString()) : what();
    }

private:
    int fieldNumber_;
    std::optional<table::FieldValueError> refusal_;
};

// Inserts a new record (`asNewRecord`) or changes the current one, assigning every field from
// the form: texts as typed (the user-defined fields trimmed), dates from their boxes (an empty
// box stores a blank date), CHECKOUT "Yes" or "No". The dates must already have been checked.
// On success the stored record is current.
void storeRecord(table::Table& table, const FormValues& values, bool asNewRecord,
                 const table::DateFormat& format, int currentYear);

} // namespace edit
