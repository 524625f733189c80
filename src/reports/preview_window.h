#pragma once

// The preview window: the pages of a report run kept in a page store, one at a time at a
// chosen zoom, with printing of the current page, the whole report or a page range, and
// saving the pages as a PDF file, without running the report again.
//
//     QBuffer store;                      // filled by a TReportFiler run (SetStream(&store))
//     reports::TMyPreview preview(parent, seams, settings, mainPrinter, store, reportName);
//     preview.exec();                     // the store stays with the caller

#include "report_engine/file_preview.h"
#include "reports/qt_printer_device.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <functional>

class QAction;
class QIODevice;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QToolButton;

namespace reports {

class PreviewScrollArea;

class TMyPreview : public QDialog {
    Q_OBJECT
public:
    // `printer` is the program's printer (its queue and set-up), `store` the page store; both,
    // and `settings` and `fonts`, outlive the window. The user fonts dress its fields and
    // labels when given.
    TMyPreview(QWidget* parent, widgets::Seams& seams, app::Settings& settings, QPrinter& printer,
               QIODevice& store, const QString& caption, const widgets::UserFonts* fonts = nullptr);
    ~TMyPreview() override;

    report_engine::TFilePreview& MyFilePreview() { return preview_; }
    report_engine::TFilePrinter& MyFilePrinter() { return printer_; }
    PreviewScrollArea* scrollBox() const { return scrollBox_; }
    QLineEdit* zoomEdit() const { return zoomEdit_; }
    QLineEdit* pageEdit() const { return pageEdit_; }
    QLabel* pageLabel() const { return pageLabel_; }
    QAction* action(const QString& objectName) const;

    // The commands of the menus and buttons.
    void DoPrintPage();
    void DoPrintReport();
    void DoPrintRange();
    void DoPrinterSetup();
    void DoSaveAsPdf();
    void DoUseColor();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildToolBar(QLayout& layout);
    QAction* addCommand(QMenu& menu, const char* name, const QString& caption, int key,
                        std::function<void()> command);
    void startPreview();
    void ZoomChanged();
    void PageChanged();
    void ZoomEditDone();
    void PageEditDone();
    void printPages(int first, int last, int copies);
    void showError(const QString& message);
    bool reportEngineError(const std::function<void()>& work);

    widgets::Seams& seams_;
    app::Settings& settings_;
    QPrinter& printerDevice_;
    QtPrinterDevice printerAdapter_{printerDevice_};
    QIODevice& store_;
    report_engine::TFilePreview preview_;
    report_engine::TFilePrinter printer_;
    PreviewScrollArea* scrollBox_ = nullptr;
    QLineEdit* zoomEdit_ = nullptr;
    QLineEdit* pageEdit_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QAction* useColor_ = nullptr;
    const widgets::UserFonts* fonts_;
    bool started_ = false;
    bool closing_ = false;
};

} // namespace reports
