#pragma once

// The record edit form: five tabbed pages holding the 36 fields of a book record, through which
// the user adds, changes and copies records. Created once at start-up and shown modally by the
// main window's Add, Edit and Copy commands; its behaviour lives in RecordEditor, and this
// window only builds and wires the widgets.

#include "edit/edit_host.h"
#include "edit/record_editor.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTabWidget;

namespace edit {

class DateBox;
class PickListCombo;

class TMyEdit : public QDialog, private EditView {
    Q_OBJECT
public:
    // Records the design layout, loads the nine pick lists from their files, sets the maximum
    // lengths and, in browse mode, makes the form read-only.
    TMyEdit(EditHost& host, widgets::Seams& seams, QWidget* parent = nullptr);
    ~TMyEdit() override;

    // The main window's Add, Edit and Copy commands: set the edit mode and show the form
    // modally. The host's displayCount() runs when the form closes.
    void execFor(EditMode mode);
    // The same without waiting for the form to close (window-modal).
    void openFor(EditMode mode);

    EditMode editMode() const { return editor_.mode(); }
    RecordEditor& editor() { return editor_; }

    // The control showing a field (a QLineEdit, PickListCombo, DateBox or, for CHECKOUT, the
    // "Checked Out" box), and its label (null for CHECKOUT).
    QWidget* control(int fieldNumber) const;
    QLabel* label(int fieldNumber) const;
    // The field whose control has (or last had) the focus within the form; 0 for none.
    int focusedField() const;
    Page currentPage() const;
    QString itemLineText() const;
    QAction* fileAction(const QString& text) const; // by caption, e.g. "Up&date Record"
    QPushButton* button(const QString& text) const; // by caption, e.g. "&Next"

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    // EditView
    FormValues values() const override;
    void setValues(const FormValues& values) override;
    void showField(int fieldNumber) override;

    // Building (edit_form_layout.cpp)
    static QSize designSize(int menuBarHeight);
    void buildPages();
    void buildButtons();
    void buildMenus(QMenuBar& menuBar);
    void addLineEdit(QWidget* page, int fieldNumber, int row, bool rightColumn, int width);
    void addCombo(QWidget* page, int fieldNumber, int row, bool rightColumn, int width);
    void addDateBox(QWidget* page, int fieldNumber, int row, bool rightColumn, QPushButton* blank);
    QLabel* addLabel(QWidget* page, int fieldNumber, int row, bool rightColumn);
    void watch(QWidget* control, int fieldNumber);

    // Showing
    void prepareForShowing();
    void applyFieldLabels();
    void applyEditWindowColours();
    void applyBrowseMode();

    // Commands
    void updateAndExit();
    void exitForm();
    void clipboardCommand(const std::function<void(QLineEdit&)>& operation);
    void refreshItemLine();
    int fieldOf(const QObject* object) const;

    EditHost& host_;
    widgets::Seams& seams_;
    RecordEditor editor_;
    widgets::DesignGeometry design_;

    QTabWidget* pages_ = nullptr;
    std::array<QWidget*, kPageCount> pageWidgets_{};
    std::array<QWidget*, db::kFieldCount> controls_{};
    std::array<QLabel*, db::kFieldCount> labels_{};
    std::array<QLabel*, 4> itemLines_{};
    QCheckBox* checkOut_ = nullptr;
    QList<QAction*> storingActions_; // disabled in browse mode
    QList<QPushButton*> storingButtons_;
};

} // namespace edit
