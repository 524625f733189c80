#include "reports/preview_window.h"

#include "appearance/colour_painting.h"
#include "report_engine/pdf_file_device.h"
#include "reports/preview_logic.h"
#include "reports/preview_scroll_box.h"
#include "reports/print_range_window.h"
#include "widgets/menu_shortcuts.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

static void initPreviewIcons() {
    // Outside any namespace: the resource initialiser is a global function.
    Q_INIT_RESOURCE(preview_icons);
}

namespace reports {

namespace {

constexpr double kMarginPercent = 2.5;

const QString kBusyMessage =
    QStringLiteral("Previous print job has not yet finished.  Try again later.");

} // namespace

TMyPreview::TMyPreview(QWidget* parent, widgets::Seams& seams, app::Settings& settings,
                       QPrinter& printer, QIODevice& store, const QString& caption,
                       const widgets::UserFonts* fonts)
    : QDialog(parent), seams_(seams), settings_(settings), printerDevice_(printer), store_(store),
      fonts_(fonts) {
    initPreviewIcons();
    setObjectName(QStringLiteral("TMyPreview"));
    setWindowTitle(caption);
    setSizeGripEnabled(true);

    preview_.SetStream(&store_);
    printer_.SetStream(&store_);
    printer_.Title = caption.isEmpty() ? QStringLiteral("Report") : caption;
    preview_.ZoomInc = 10;
    preview_.SetMarginMethod(report_engine::MarginMethod::mmFixed);
    preview_.MarginPercent = kMarginPercent;
    preview_.Monochrome = false;
    preview_.OnZoomChange = [this](report_engine::TFilePreview&) { ZoomChanged(); };
    preview_.OnPageChange = [this](report_engine::TFilePreview&) { PageChanged(); };
    const auto showEngineError = [this](const QString& message) { showError(message); };
    preview_.ShowError = showEngineError;
    printer_.ShowError = showEngineError;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildMenus();
    buildToolBar(*layout);
    scrollBox_ = new PreviewScrollArea(this);
    // The page keeps its paper white and the box around it the usual dark grey.
    appearance::markColourPart(*scrollBox_, appearance::ColourPart::OwnColours);
    preview_.SetScrollBox(scrollBox_);
    layout->addWidget(scrollBox_, 1);

    const app::WindowRect& place = settings_.reportViewingWindow;
    move(place.left, place.top);
    resize(std::max(place.width, 200), std::max(place.height, 150));
}

TMyPreview::~TMyPreview() {
    // The fields lose focus while the dialog's children are destroyed: nothing of this window
    // may answer them then.
    zoomEdit_->disconnect(this);
    pageEdit_->disconnect(this);
}

QAction* TMyPreview::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}

QAction* TMyPreview::addCommand(QMenu& menu, const char* name, const QString& caption, int key,
                                std::function<void()> command) {
    QAction* item = menu.addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    if (key != 0)
        item->setShortcut(QKeySequence(static_cast<int>(Qt::CTRL) | key));
    item->setShortcutContext(Qt::WindowShortcut);
    connect(item, &QAction::triggered, this, [command = std::move(command)] { command(); });
    return item;
}

void TMyPreview::buildMenus() {
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    widgets::preferMenuShortcuts(*this, *bar);
    using report_engine::TFilePreview;

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    addCommand(*file, "MenuPrintPage", QStringLiteral("&Print Page"), Qt::Key_P,
               [this] { DoPrintPage(); });
    addCommand(*file, "MenuPrintReport", QStringLiteral("Print &Report"), Qt::Key_R,
               [this] { DoPrintReport(); });
    addCommand(*file, "MenuPrintRange", QStringLiteral("Print Ran&ge"), Qt::Key_G,
               [this] { DoPrintRange(); });
    addCommand(*file, "MenuPrinterSetup", QStringLiteral("Printer &Setup"), Qt::Key_S,
               [this] { DoPrinterSetup(); });
    addCommand(*file, "MenuSaveAsPdf", QStringLiteral("Save as &PDF\u2026"), 0,
               [this] { DoSaveAsPdf(); });
    file->addSeparator();
    addCommand(*file, "MenuExit", QStringLiteral("E&xit"), Qt::Key_X, [this] { close(); });

    QMenu* navigate = bar->addMenu(QStringLiteral("&Navigate"));
    addCommand(*navigate, "MenuPrevPage", QStringLiteral("&Previous Page"), Qt::Key_E,
               [this] { reportEngineError([this] { preview_.PrevPage(); }); });
    addCommand(*navigate, "MenuNextPage", QStringLiteral("&Next Page"), Qt::Key_N,
               [this] { reportEngineError([this] { preview_.NextPage(); }); });
    addCommand(*navigate, "MenuFirstPage", QStringLiteral("&First Page"), Qt::Key_F,
               [this] { reportEngineError([this] { preview_.PrintPage(1); }); });
    addCommand(*navigate, "MenuLastPage", QStringLiteral("&Last Page"), Qt::Key_L,
               [this] { reportEngineError([this] { preview_.PrintPage(preview_.Pages()); }); });

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    useColor_ = addCommand(*view, "MenuUseColor", QStringLiteral("Use Color"), Qt::Key_C,
                           [this] { DoUseColor(); });
    useColor_->setCheckable(true);
    // The check shows whether colour is used; the window opens in colour.
    useColor_->setChecked(true);
    const auto zoomTo = [this](double zoom) {
        return [this, zoom] { reportEngineError([this, zoom] { preview_.SetZoomFactor(zoom); }); };
    };
    QMenu* zoomIn = view->addMenu(QStringLiteral("Zoom &In"));
    zoomIn->menuAction()->setObjectName(QStringLiteral("MenuZoomIn"));
    addCommand(*zoomIn, "MenuZoom1to1", QStringLiteral("&1 : 1"), 0, zoomTo(100));
    addCommand(*zoomIn, "MenuZoom2to1", QStringLiteral("&2 : 1"), 0, zoomTo(200));
    QMenu* zoomOut = view->addMenu(QStringLiteral("Zoom &Out"));
    zoomOut->menuAction()->setObjectName(QStringLiteral("MenuZoomOut"));
    addCommand(*zoomOut, "MenuZoomOut1to1", QStringLiteral("1 : &1"), 0, zoomTo(100));
    addCommand(*zoomOut, "MenuZoomOut1to2", QStringLiteral("1 : &2"), 0, zoomTo(50));
    addCommand(*zoomOut, "MenuZoomOut1to3", QStringLiteral("1 : &3"), 0, zoomTo(33.3));
    addCommand(*zoomOut, "MenuZoomOut1to4", QStringLiteral("1 : &4"), 0, zoomTo(25));
    addCommand(*zoomOut, "MenuZoomOut1to5", QStringLiteral("1 : &5"), 0, zoomTo(20));
    addCommand(*view, "MenuZoomPageWidth", QStringLiteral("Zoom &Page Width"), Qt::Key_Z,
               [this] { reportEngineError([this] { preview_.ZoomPageWidth(); }); });
    addCommand(*view, "MenuZoomWholePage", QStringLiteral("Zoom &Whole Page"), Qt::Key_W,
               [this] { reportEngineError([this] { preview_.ZoomPage(); }); });

    // Ctrl+I and Ctrl+O belong to the two zoom submenus, which cannot run a command themselves:
    // the keys step the zoom as the Zoom In and Zoom Out buttons do.
    auto* stepIn = new QAction(this);
    stepIn->setObjectName(QStringLiteral("KeyZoomIn"));
    stepIn->setShortcut(QKeySequence(static_cast<int>(Qt::CTRL) | Qt::Key_I));
    connect(stepIn, &QAction::triggered, this,
            [this] { reportEngineError([this] { preview_.ZoomIn(); }); });
    auto* stepOut = new QAction(this);
    stepOut->setObjectName(QStringLiteral("KeyZoomOut"));
    stepOut->setShortcut(QKeySequence(static_cast<int>(Qt::CTRL) | Qt::Key_O));
    connect(stepOut, &QAction::triggered, this,
            [this] { reportEngineError([this] { preview_.ZoomOut(); }); });
    addAction(stepIn);
    addAction(stepOut);
}

void TMyPreview::buildToolBar(QLayout& layout) {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    // A narrow window cuts the tool bar off on the right rather than growing past its stored size.
    bar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    bar->setMinimumWidth(1);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    const auto button = [&](const char* name, const char* icon, const QString& hint,
                            std::function<void()> command) {
        auto* speed = new QToolButton(bar);
        speed->setObjectName(QString::fromLatin1(name));
        speed->setIcon(QIcon(QStringLiteral(":/preview/%1.svg").arg(QLatin1String(icon))));
        speed->setToolTip(hint);
        speed->setAutoRaise(true);
        speed->setFocusPolicy(Qt::NoFocus);
        connect(speed, &QToolButton::clicked, this, [command = std::move(command)] { command(); });
        row->addWidget(speed);
        return speed;
    };
    button("SBZoomIn", "zoomin", QStringLiteral("Zoom In"),
           [this] { reportEngineError([this] { preview_.ZoomIn(); }); });
    button("SBZoomOut", "zoomout", QStringLiteral("Zoom Out"),
           [this] { reportEngineError([this] { preview_.ZoomOut(); }); });
    button("SBZoomPageWidth", "pagewidth", QStringLiteral("Zoom Page Width"),
           [this] { reportEngineError([this] { preview_.ZoomPageWidth(); }); });
    button("SBZoomPage", "wholepage", QStringLiteral("Zoom Whole Page"),
           [this] { reportEngineError([this] { preview_.ZoomPage(); }); });
    row->addSpacing(8);
    button("SBPrevPage", "prevpage", QStringLiteral("Prev Page"),
           [this] { reportEngineError([this] { preview_.PrevPage(); }); });
    button("SBNextPage", "nextpage", QStringLiteral("Next Page"),
           [this] { reportEngineError([this] { preview_.NextPage(); }); });
    row->addSpacing(8);
    button("SBPrint", "print", QStringLiteral("Print Page"), [this] { DoPrintPage(); });
    button("SBDone", "done", QStringLiteral("Done"), [this] { close(); });
    row->addSpacing(12);

    const auto field = [&](const QString& caption, const char* name, int characters) {
        auto* label = new QLabel(caption, bar);
        auto* edit = new QLineEdit(bar);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMaxLength(10);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(characters, u'0')) + 14);
        label->setBuddy(edit);
        row->addWidget(label);
        row->addWidget(edit);
        row->addSpacing(8);
        return edit;
    };
    zoomEdit_ = field(QStringLiteral("Zoom %"), "ZoomEdit", 6);
    pageEdit_ = field(QStringLiteral("Page #"), "PageEdit", 5);
    connect(zoomEdit_, &QLineEdit::editingFinished, this, [this] { ZoomEditDone(); });
    connect(pageEdit_, &QLineEdit::editingFinished, this, [this] { PageEditDone(); });
    pageLabel_ = new QLabel(QStringLiteral("Page 1 of 1"), bar);
    pageLabel_->setObjectName(QStringLiteral("PageLabel"));
    row->addWidget(pageLabel_);
    row->addStretch();
    layout.addWidget(bar);
}

// ---- Showing ---------------------------------------------------------------------------------

void TMyPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        if (fonts_ != nullptr)
            widgets::applyUserFonts(*this, *fonts_);
        appearance::applyColourSet(*this, settings_.colours(app::WindowGroup::Report));
        // After the layout has given the scroll box its size.
        QTimer::singleShot(0, this, [this] { startPreview(); });
    }
}

void TMyPreview::startPreview() {
    if (closing_)
        return;
    const bool ok = reportEngineError([this] {
        preview_.SetZoomFactor(100);
        preview_.Start();
    });
    if (!ok)
        reject(); // a store that cannot be shown leaves nothing to look at
}

void TMyPreview::ZoomChanged() {
    zoomEdit_->setText(zoomText(preview_.ZoomFactor()));
    if (preview_.Started())
        preview_.RedrawPage();
}

void TMyPreview::PageChanged() {
    pageEdit_->setText(QString::number(preview_.CurrentPage()));
    pageLabel_->setText(reports::pageLabel(preview_.CurrentPage(), 1, preview_.Pages()));
}

void TMyPreview::ZoomEditDone() {
    const std::optional<double> zoom = parseZoom(zoomEdit_->text());
    if (zoom && *zoom != preview_.ZoomFactor())
        reportEngineError([this, zoom] { preview_.SetZoomFactor(*zoom); });
    else
        zoomEdit_->setText(zoomText(preview_.ZoomFactor()));
}

void TMyPreview::PageEditDone() {
    if (!preview_.Started())
        return;
    const std::optional<int> page = parsePage(pageEdit_->text());
    // A page beyond the report shows its first or last page.
    if (page && *page != preview_.CurrentPage())
        reportEngineError([this, page] { preview_.PrintPage(*page); });
    else
        pageEdit_->setText(QString::number(preview_.CurrentPage()));
}

void TMyPreview::DoUseColor() {
    reportEngineError([this] {
        preview_.Stop();
        preview_.Monochrome = !preview_.Monochrome;
        useColor_->setChecked(!preview_.Monochrome);
        preview_.Start();
    });
}

// ---- Printing --------------------------------------------------------------------------------

void TMyPreview::printPages(int first, int last, int copies) {
    if (printer_.Printing()) {
        showError(kBusyMessage);
        return;
    }
    // "No printer" is what the printer seam says, not what the QPrinter remembers; a PDF file
    // chosen in the printer set-up prints all the same. (Without any queue Qt sets every new
    // printer to PDF output with no file: that is no printer.)
    const bool toPdfFile = printerDevice_.outputFormat() == QPrinter::PdfFormat &&
                           !printerDevice_.outputFileName().isEmpty();
    const bool installed = !seams_.printers.printerNames().isEmpty() || toPdfFile;
    printer_.SetPrinter(installed ? &printerAdapter_ : nullptr);
    reportEngineError([&] { printer_.PrintRange(first, last, copies); });
}

void TMyPreview::DoPrintPage() {
    if (preview_.Started())
        printPages(preview_.CurrentPage(), preview_.CurrentPage(), 1);
}

void TMyPreview::DoPrintReport() {
    printPages(0, 0, 0);
}

void TMyPreview::DoPrintRange() {
    int pages = 0;
    if (!reportEngineError([&] { pages = preview_.Pages(); }))
        return;
    TPrintRange range(this, seams_, settings_, pages);
    range.exec();
    if (range.confirmed())
        printPages(range.startPage(), range.endPage(), 1);
}

void TMyPreview::DoPrinterSetup() {
    seams_.printers.setUpPrinter(this, printerDevice_);
}

void TMyPreview::DoSaveAsPdf() {
    if (printer_.Printing()) {
        showError(kBusyMessage);
        return;
    }
    widgets::FileDialogRequest request;
    request.title = QStringLiteral("Save as PDF");
    request.directory = QDir::homePath();
    request.fileName = (windowTitle().isEmpty() ? QStringLiteral("Report") : windowTitle()) +
                       QStringLiteral(".pdf");
    request.filters = {QStringLiteral("PDF Files (*.pdf)")};
    request.defaultSuffix = QStringLiteral("pdf");
    const QString path = seams_.files.saveFileName(this, request);
    if (path.isEmpty())
        return;
    report_engine::PdfFileDevice pdf(path, report_engine::localePaper());
    printer_.SetPrinter(&pdf);
    reportEngineError([this] { printer_.PrintRange(0, 0, 1); });
    printer_.SetPrinter(nullptr);
}

// ---- Errors and closing ---------------------------------------------------------------------

void TMyPreview::showError(const QString& message) {
    seams_.messages.beep(db::BeepKind::Warning);
    seams_.messages.error(message.toStdString());
}

bool TMyPreview::reportEngineError(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const report_engine::EReportPrinter& e) {
        showError(e.message());
    }
    return false;
}

void TMyPreview::done(int result) {
    closing_ = true;
    preview_.Stop();
    settings_.reportViewingWindow = {x(), y(), width(), height()};
    QDialog::done(result);
}

} // namespace reports
