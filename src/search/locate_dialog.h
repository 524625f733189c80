#pragma once

// Locate and Locate Next. The main window keeps one locate component (TMyLocateDialog) for the
// whole run, with its settings in memory; Locate shows the dialog (TMyLocateDlg, made for each
// use) and Locate Next repeats the last search from the current record without it. A search
// moves the viewed table once, to the record found.

#include "search/locate.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>
#include <QString>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace search {

inline constexpr const char* kNoMatchesFound = "No matches found";
inline constexpr const char* kNoMoreMatchesFound = "No more matches found";
inline constexpr const char* kNoActiveDataSet = "DataSource does not reference an active DataSet";
inline constexpr const char* kNoActiveTable = "DataSource does not refer to an active table!";

// What the locate component needs of the main window, which owns the viewed table.
class LocateHost {
public:
    virtual ~LocateHost() = default;
    virtual table::Table& bookTable() = 0;
    // Stores a record being edited in the grid; false when it could not be (the user was told).
    virtual bool postPendingEdit() = 0;
    // The table's record filter as a copy sharing nothing with the one the table runs; empty
    // when the table has none.
    virtual table::RecordFilter recordFilterCopy() = 0;
    // Makes the record found the current one of the table and the grid; false when it no longer
    // passes the filter (deleted meanwhile).
    virtual bool moveToRecord(uint32_t recno) = 0;
    virtual double windowSizeFactor() const = 0;
    virtual const widgets::UserFonts& userFonts() const = 0;
};

struct LocateSettings {
    QString caption = QStringLiteral("Locate Field Value");
    std::string searchField; // table field name
    QString searchValue;
    MatchType matchType = MatchType::PartialAtBeginning;
    bool caseSensitive = false;
    bool sortedFields = true; // the field list in alphabetical order
    int defaultButton = 1;    // 1: "&Next" is the default button, 0: "Fi&rst"
    int fieldSelection = 0;   // 0: every field, 1: only the fields the grid shows
    bool showMessages = true; // Locate Next reports "No more matches found"
};

class TMyLocateDialog {
public:
    // Everything given is the main window's and outlives the component.
    TMyLocateDialog(QWidget* owner, widgets::Seams& seams, const app::Settings& settings,
                    LocateHost& host);

    LocateSettings& settings() { return settings_; }
    const LocateSettings& settings() const { return settings_; }
    bool running() const { return running_; }

    // Locate: shows the dialog; true when it closed on a record found.
    bool Execute();
    // Locate Next: the stored search from the record after the current one, or the dialog when
    // no search value is stored.
    bool LocateNext();

    enum class FindResult { Found, NotFound, Failed };
    // The search itself; Failed when the user has been told why (no field, an engine error).
    FindResult find(const LocateCriteria& criteria, bool fromFirst);

private:
    void information(const char* text);
    uint32_t scanKeepingWindowsPainted(const LocateScan& scan);

    QWidget* owner_;
    widgets::Seams& seams_;
    const app::Settings& appSettings_;
    LocateHost& host_;
    LocateSettings settings_;
    bool running_ = false;
    friend class TMyLocateDlg;
};

class TMyLocateDlg : public QDialog {
    Q_OBJECT
public:
    TMyLocateDlg(TMyLocateDialog& component, QWidget* parent);

    QComboBox* fieldList() const { return fieldList_; }
    QLineEdit* valueEdit() const { return valueEdit_; }
    QCheckBox* caseBox() const { return caseBox_; }
    QRadioButton* matchButton(MatchType type) const {
        return matchButtons_[static_cast<size_t>(type)];
    }
    QPushButton* firstButton() const { return firstButton_; }
    QPushButton* nextButton() const { return nextButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    bool found() const { return found_; }

    // Fills the controls from the component's settings.
    void fillFrom(const LocateSettings& settings, const table::Table& table);
    // The controls' state into the settings (done on every close).
    void storeInto(LocateSettings& settings, const table::Table& table) const;

    void FirstButtonClick();
    void NextButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void paint(const app::ColourSet& colours);
    LocateCriteria criteria() const;
    void search(bool fromFirst);
    void fieldChosen();
    void setDefaultButton(QPushButton* button);

    TMyLocateDialog& component_;
    QGroupBox* fieldGroup_ = nullptr;
    QGroupBox* typeGroup_ = nullptr;
    QGroupBox* valueGroup_ = nullptr;
    QComboBox* fieldList_ = nullptr;
    QCheckBox* caseBox_ = nullptr;
    std::array<QRadioButton*, 3> matchButtons_{};
    QLineEdit* valueEdit_ = nullptr;
    QWidget* divider_ = nullptr;
    QPushButton* firstButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    bool filling_ = false;
    bool listDroppedDown_ = false;
    bool found_ = false;
};

} // namespace search
