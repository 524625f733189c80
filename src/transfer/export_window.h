#pragma once

// The Export dialog: which fields go out in which order, the whole table or the search's
// records, delimited text (with or without a header line) or a new dBASE table.

#include "transfer/transfer_host.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace table {
class Table;
}

namespace transfer {

class TMyExport : public QDialog {
    Q_OBJECT
public:
    TMyExport(QWidget* parent, TransferHost& host, widgets::Seams& seams);

    // Grid rows 1..36 (row 0 is the heading), columns 1 and 2.
    QString cellText(int row, int column) const;
    int currentRow() const;
    void setCurrentRow(int row);
    QTableWidget* ExportGrid() const { return grid_; }

    void UpButtonClick();
    void DownButtonClick();
    void DefaultsButtonClick();
    void ExportGridDblClick();
    void StartExportButtonClick();
    // The grid's order and Yes/No back into the settings.
    void UpdateConfigs();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void fillGrid();
    void setRow(int row, int fieldNumber, bool included);
    void swapRows(int a, int b);
    void applyColours();
    void chooseKind(bool dbase);
    void DoAscii();
    void DoDBase();
    // The record loop: `write` gets every record to export; false when it failed (the user
    // has been told).
    bool runRecordLoop(const std::function<void(const table::Table&)>& write);
    std::vector<std::string> headerTitles(const std::vector<int>& numbers) const;
    void complete();

    TransferHost& host_;
    widgets::Seams& seams_;
    QTableWidget* grid_ = nullptr;
    QRadioButton* entireRadio_ = nullptr;
    QRadioButton* searchRadio_ = nullptr;
    QRadioButton* asciiRadio_ = nullptr;
    QRadioButton* dbaseRadio_ = nullptr;
    QCheckBox* firstRowCheck_ = nullptr;
    QProgressBar* MyGauge_ = nullptr;
    std::vector<QWidget*> minorTitles_;
    std::vector<QPushButton*> buttons_;
    bool running_ = false;
    bool dressed_ = false;
};

} // namespace transfer
