#include "edit/record_store.h"

#include "db/pick_list.h"
#include "table/codepage.h"

namespace edit {

namespace {

int columnOf(const table::Table& table, int fieldNumber) {
    const db::FieldInfo* info = db::fieldByNumber(fieldNumber);
    return table.fieldIndexOrThrow(info->name);
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void assignField(table::Table& table, const FormValues& values, int number,
                 const table::DateFormat& format, int currentYear) {
    const int column = columnOf(table, number);
    if (number == field::CheckOut) {
        table.setText(column, values.checkedOut ? "Yes" : "No");
        return;
    }
    if (isDateField(number)) {
        const auto date = readDateBox(values.text(number), format, currentYear);
        if (!date) {
            throw StoreError(number, "'" + db::trimSpaces(values.text(number)).toStdString() +
                                         "' is not a valid date.");
        }
        if (date->isNull()) {
            table.setBlank(column);
        } else {
            table.setDate(column, *date);
        }
        return;
    }
    QString text = values.text(number);
    if (number >= field::UserDef1) {
        text = db::trimSpaces(text);
    }
    table.setText(column, text.toStdString());
}

} // namespace

FormValues loadCurrentRecord(const table::Table& table, const table::DateFormat& format) {
    FormValues values;
    for (int number = 1; number <= db::kFieldCount; ++number) {
        const int column = columnOf(table, number);
        if (isDateField(number)) {
            values.text(number) = dateBoxText(table.asDate(column), format);
        } else if (number == field::CheckOut) {
            values.checkedOut = table.asText(column) == "Yes";
        } else {
            values.text(number) = fromUtf8(table.asText(column));
        }
    }
    return values;
}

FormValues clearedValues() {
    FormValues values;
    for (int number : {field::Cost, field::Value, field::LowMarket, field::HighMarket}) {
        values.text(number) = QStringLiteral("0");
    }
    return values;
}

std::optional<UnstorableCharacter> findUnstorableCharacter(const FormValues& values,
                                                           table::Codepage codepage) {
    for (int number = 1; number <= db::kFieldCount; ++number) {
        std::string bad;
        if (!table::encodeFromUtf8(values.text(number).toStdString(), codepage, &bad)) {
            return UnstorableCharacter{number, fromUtf8(bad)};
        }
    }
    return std::nullopt;
}

void storeRecord(table::Table& table, const FormValues& values, bool asNewRecord,
                 const table::DateFormat& format, int currentYear) {
    int current = 0;
    try {
        if (asNewRecord) {
            table.insert();
        } else {
            table.edit();
        }
        for (current = 1; current <= db::kFieldCount; ++current) {
            assignField(table, values, current, format, currentYear);
        }
        current = 0;
        table.post();
    } catch (const table::TableError& error) {
        // Whatever was assigned so far stays in the buffer only: dropping it leaves the table
        // exactly as it was, and the user's text stays in the form to be corrected.
        if (table.state() == table::Table::State::Edit ||
            table.state() == table::Table::State::Insert) {
            table.cancel();
        }
        if (const auto* refusal = dynamic_cast<const table::FieldValueError*>(&error);
            refusal != nullptr && current != 0) {
            throw StoreError(current, *refusal);
        }
        throw StoreError(current, error.what());
    } catch (const StoreError&) {
        if (table.state() == table::Table::State::Edit ||
            table.state() == table::Table::State::Insert) {
            table.cancel();
        }
        throw;
    }
}

} // namespace edit
