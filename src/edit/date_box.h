#pragma once

// A date entry box: a fixed mask of two digits, two digits and four digits separated by the
// date separator in force. Its text keeps unfilled places as spaces, so that an untouched box
// reads "  /  /    " whatever was typed around it.

#include "table/date_format.h"

#include <QLineEdit>

namespace edit {

class DateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

    // Puts in the mask of `format`; the box is emptied.
    void applyFormat(const table::DateFormat& format);
    // The box's text with every unfilled place as a space.
    QString boxText() const;
    // Shows `text` (a date written to fit the mask, or empty); empties the box when it does not
    // fit.
    void setBoxText(const QString& text);

private:
    QString mask_;
};

} // namespace edit
