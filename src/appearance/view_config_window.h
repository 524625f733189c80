#pragma once

// The "Viewer Configuration" window: six pages that set how the main window's record grid shows
// the book table. Check boxes, alignment, fonts and colours change the settings at once; the four
// grids are read back when the window closes, after the field names have been checked, and then
// the main window applies the whole configuration to its grid.

#include "appearance/view_config_editor.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace appearance {

class ViewConfigGrid;

// Opens the window modally and returns when it has closed. `applyViewerOptions` is the main
// window's way of putting the configuration on its grid (making every table field visible first);
// it runs once, after the window has stored its grids into `settings`.
void runViewConfig(QWidget* parent, app::Settings& settings, widgets::Seams& seams, double factor,
                   const widgets::UserFonts& fonts, std::function<void()> applyViewerOptions);

class TViewConfig : public QDialog {
    Q_OBJECT
public:
    // Notebook pages, in the order of their tabs.
    enum Page { TitlePage, LookPage, ShowPage, WidthsPage, OrderPage, NamesPage, PageCount };

    TViewConfig(QWidget* parent, app::Settings& settings, widgets::Seams& seams, double factor,
                const widgets::UserFonts& fonts, std::function<void()> applyViewerOptions);
    ~TViewConfig() override;

    // Every way of closing (Exit, the title bar, Escape) comes through here.
    void done(int result) override;

private:
    void buildWindow();
    QWidget* buildTitlePage();
    QWidget* buildLookPage();
    QWidget* buildShowPage();
    QWidget* buildWidthsPage();
    QWidget* buildOrderPage();
    QWidget* buildNamesPage();
    QLabel* addCaption(QWidget* page, const QString& text, int x, int y, bool major = true);
    QCheckBox* addCheckBox(QWidget* page, const QString& text, int y, bool& setting);
    QLineEdit* addFontBox(QWidget* page, const char* name, int x, int y);
    QLabel* addSwatch(QWidget* page, const char* name, int x, int y);

    void FormShow();
    void fillGrids();
    void setColors();
    void showFont(QLineEdit* box, const app::GridFontSettings& font);
    void showColour(QLabel* swatch, app::Colour colour);
    void chooseFont(app::GridFontSettings& font, QLineEdit* box);
    void chooseColour(app::Colour& colour, QLabel* swatch);

    void FieldsToDisplayDblClick(int row, int column);
    void UpButtonClick();
    void DownButtonClick();
    void DefaultsButtonClick();
    void HelpButtonClick();

    void readGridsIntoEditor();
    bool FormCloseQuery();
    void FormClose();
    void refuseOnNamesPage(int row, const QString& message);

    app::Settings& settings_;
    widgets::Seams& seams_;
    double factor_;
    widgets::UserFonts userFonts_;
    std::function<void()> applyViewerOptions_;
    ViewConfigEditor editor_;
    bool closing_ = false;

    QTabWidget* MyTabbedPage = nullptr;
    ViewConfigGrid* FieldsToDisplay = nullptr;
    ViewConfigGrid* FieldWidthGrid = nullptr;
    ViewConfigGrid* FieldOrderGrid = nullptr;
    ViewConfigGrid* FieldNameGrid = nullptr;
    QLineEdit* TitleFontBox = nullptr;
    QLineEdit* CellFontBox = nullptr;
    QLabel* TitleColorSwatch = nullptr;
    QLabel* CellColorSwatch = nullptr;
    std::vector<QLabel*> majorCaptions_;
    std::vector<QLabel*> minorCaptions_;
};

} // namespace appearance
