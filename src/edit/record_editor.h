#pragma once

// The record edit form's behaviour, free of widgets: edit mode, saved values and change
// detection, the checks before an update, storing and pick-list growth, moving between
// records, New Record, Exit, and the held check-out values. The window implements EditView and
// forwards each command here.

#include "db/pick_list.h"
#include "db/user_messages.h"
#include "edit/edit_fields.h"
#include "table/table.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace edit {

inline constexpr const char* kInvalidCheckOutDate =
    "Invalid check out date specified.  Please correct.";
inline constexpr const char* kInvalidPurchaseDate =
    "Invalid purchase date specified.  Please correct.";
inline constexpr const char* kInvalidCost = "Invalid cost specified.  Please correct.";
inline constexpr const char* kInvalidValue = "Invalid value specified.  Please correct.";
inline constexpr const char* kInvalidLowMarket =
    "Invalid low market value specified.  Please correct.";
inline constexpr const char* kInvalidHighMarket =
    "Invalid high market value specified.  Please correct.";

// What the logic needs of the window.
class EditView {
public:
    virtual ~EditView() = default;
    virtual FormValues values() const = 0;
    // Fills every control; setting the check box here does not run the check-out toggle.
    virtual void setValues(const FormValues& values) = 0;
    // Switches to the page of the field and puts the focus on its control.
    virtual void showField(int fieldNumber) = 0;
};

// The first problem that stops an update, in the order the checks run: check-out date,
// purchase date, cost, value, low market, high market.
struct UpdateProblem {
    int fieldNumber;
    const char* message;
};
std::optional<UpdateProblem> checkBeforeUpdate(const FormValues& values,
                                               const table::DateFormat& format, int currentYear);

// The date and person kept while "Checked Out" is cleared, restored when it is ticked again.
class CheckOutHold {
public:
    // After a record is loaded: keep what the boxes now show.
    void take(const QString& dateText, const QString& personText);
    // The user ticked or cleared the box: updates `values` (the box state included).
    void toggle(FormValues& values, bool nowChecked);
    const QString& date() const { return date_; }
    const QString& person() const { return person_; }

private:
    QString date_;
    QString person_;
};

struct EditorContext {
    table::Table& table;
    db::PickLists& pickLists; // the same lists that the grid's drop-downs show
    db::UserMessages& messages;
    std::function<int()> currentYear;
    std::function<const table::DateFormat&()> dateFormat;
    bool browseMode = false;
};

enum class Direction { Previous, Next };

class RecordEditor {
public:
    RecordEditor(EditorContext context, EditView& view);

    EditMode mode() const { return mode_; }
    void setMode(EditMode mode) { mode_ = mode; }
    bool browseMode() const { return context_.browseMode; }
    // Field labels by field number - 1, used in messages that name a field.
    void setFieldLabels(const std::array<QString, db::kFieldCount>& labels) { labels_ = labels; }

    // The form is being shown: load the current record (edit, copy) or clear (add), then take
    // the saved values.
    void prepareShow();
    // The Update command; true when the record was stored.
    bool update();
    // "Up&date": update and, on success, take the saved values again.
    bool updateRecord();
    void clear();
    void newRecord();
    void move(Direction direction);
    // Exit: true when the form may close.
    bool confirmExit();
    void toggleCheckOut(bool nowChecked);

    bool dataChanged() const;
    const FormValues& savedValues() const { return saved_; }
    const CheckOutHold& checkOutHold() const { return hold_; }

private:
    enum class Answer { Update, GoOn, Stay };
    Answer askToUpdate(const std::string& question);
    bool loadOrClear();
    void takeSavedValues() { saved_ = view_.values(); }
    void failAt(int fieldNumber, const std::string& message);
    void growPickLists(const FormValues& values);

    EditorContext context_;
    EditView& view_;
    EditMode mode_ = EditMode::Add;
    FormValues saved_;
    CheckOutHold hold_;
    std::array<QString, db::kFieldCount> labels_;
};

} // namespace edit
