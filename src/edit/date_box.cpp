#include "edit/date_box.h"

#include "edit/edit_fields.h"

namespace edit {

namespace {
constexpr QChar kBlank = QLatin1Char('_');
}

DateBox::DateBox(QWidget* parent) : QLineEdit(parent) {
    applyFormat(table::currentDateFormat());
}

void DateBox::applyFormat(const table::DateFormat& format) {
    const QString mask = dateInputMask(format);
    if (mask != mask_) {
        mask_ = mask;
        setInputMask(mask_);
    }
    clear();
}

QString DateBox::boxText() const {
    QString text = displayText();
    text.replace(kBlank, QLatin1Char(' '));
    return text;
}

void DateBox::setBoxText(const QString& text) {
    clear();
    if (text.trimmed().isEmpty()) {
        return;
    }
    // Place the characters one by one so that digits land in their places and the literals of
    // the mask are kept even when the text was written with another separator.
    QString filled = displayText();
    for (qsizetype i = 0; i < filled.size() && i < text.size(); ++i) {
        if (filled[i] == kBlank && text[i].isDigit()) {
            filled[i] = text[i];
        }
    }
    setText(filled);
}

} // namespace edit
