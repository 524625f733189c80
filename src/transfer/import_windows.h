#pragma once

// Import: the source dialog (delimited text or dBASE, and the file), then the mapping dialog
// that lines the source's fields up against the 36 book fields and runs the import.

#include "transfer/transfer_host.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace transfer {

enum class ImportKind { Text = 1, Dbase = 2 };

class TMyImport : public QDialog {
    Q_OBJECT
public:
    // `labels`: the import fields in source order (UTF-8), at most 46.
    TMyImport(QWidget* parent, TransferHost& host, widgets::Seams& seams, ImportKind kind,
              QString path, const std::vector<std::string>& labels);

    // Grid rows 1..R (row 0 is the heading), columns 1..3.
    QString cellText(int row, int column) const;
    int rowCount() const;
    int currentRow() const;
    void setCurrentRow(int row, int column = 2);
    QTableWidget* ImportGrid() const { return grid_; }
    QString countText() const;

    void UpButtonClick();
    void DownButtonClick();
    void ImportGridDblClick();
    void StartButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void fillGrid(const std::vector<std::string>& labels);
    void swapImportCells(int a, int b);
    void applyColours();
    void showCount(uint32_t count);

    TransferHost& host_;
    widgets::Seams& seams_;
    ImportKind kind_;
    QString path_;
    int fieldCount_ = 0;
    QTableWidget* grid_ = nullptr;
    QCheckBox* skipFirstCheck_ = nullptr;
    QLabel* countLabel_ = nullptr;
    std::vector<QWidget*> minorTitles_;
    bool running_ = false;
    bool dressed_ = false;
};

class TImportFormat : public QDialog {
    Q_OBJECT
public:
    TImportFormat(QWidget* parent, TransferHost& host, widgets::Seams& seams);

    void FileButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void DoAscii();
    void DoDBF();
    void runMapping(ImportKind kind, const QString& path, const std::vector<std::string>& labels);

    TransferHost& host_;
    widgets::Seams& seams_;
    QRadioButton* asciiRadio_ = nullptr;
    QRadioButton* dbaseRadio_ = nullptr;
    bool dressed_ = false;
};

} // namespace transfer
