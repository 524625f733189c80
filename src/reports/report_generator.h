#pragma once

// Turning a report definition and the records of the current view into pages. The generator
// installs its handlers on a report engine (before the run, page header, page body, page footer,
// after the run) and the engine calls them page by page: the body walks the book table in the
// order of its selected index through its filter, laying out each record's lines, the group
// headings and totals, and the closing totals. In text-file mode every line goes to the text
// file instead, while the engine's cursor moves exactly as for the printed report, so that the
// engine's line counting breaks the file's pages where the printed report breaks them.

#include "db/book_database.h"
#include "db/field_catalogue.h"
#include "report_engine/base_report.h"
#include "reports/report_definition.h"
#include "settings/display_formats.h"
#include "table/table.h"

#include <QDate>
#include <QSaveFile>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

class QIODevice;

namespace app {
struct Settings;
}

namespace reports {

enum class OutputMode { Printer = 1, Preview = 2, TextFile = 3 };

inline constexpr const char* kGroupSentinel = "zzxkytrweq";

// What a run takes from the rest of the program besides the definition and the table.
struct ReportContext {
    std::array<QString, db::kFieldCount> fieldLabels; // column headers, by field number - 1
    db::SortLevels sortLevels{};
    app::NumberFormatter numbers{app::kUsFormat, app::kUsFormat, app::RegionalNumbers{}};
    QDate today; // for the page footer, written in the date format in force
};

// Field labels, sort levels and number formats of `settings`.
ReportContext reportContextFrom(const app::Settings& settings, QDate today);

// A run that cannot go on (a text file that cannot be written, margins that leave no room).
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The engine of an output mode, set up as the status window runs it: the printer engine for the
// printer, the file engine otherwise, writing its pages to `pageStore` (kept in memory when
// null); job title "Test Report", half-inch margins, the definition's orientation, every page
// output however many there are. `printer` is borrowed and may be null when no printer is
// installed.
std::unique_ptr<report_engine::TBaseReport> createReportEngine(OutputMode mode,
                                                               report_engine::PrintDevice* printer,
                                                               QIODevice* pageStore,
                                                               bool landscape);

// A line cut to the report's width: a part that crosses the width is narrowed to what is left,
// parts after it end the line. Lines longer than the width would run off the paper.
ReportLine clipLine(const ReportLine& line, int reportWidth);

class ReportGenerator {
public:
    // The table must be open; the run moves its cursor and puts it back afterwards.
    ReportGenerator(ReportDefinition definition, table::Table& table, ReportContext context,
                    OutputMode mode, QString textFilePath = {});
    ~ReportGenerator();
    ReportGenerator(const ReportGenerator&) = delete;
    ReportGenerator& operator=(const ReportGenerator&) = delete;

    // Installs the handlers and the line height by font. The generator must outlive the run.
    void attach(report_engine::TBaseReport& engine);
    // Ends the run with page `page` (0: no limit) as if the records ended there, without the
    // closing totals: a look at the first pages need not walk the whole table. The table is
    // put back as after any run.
    void setLastPage(int page) { lastPage_ = page; }

private:
    enum class CellText { Centred, Left, LabelsRight };
    using Totals = std::array<double, kTotalCount>;

    // Handlers.
    void beforePrint(report_engine::TBaseReport& engine);
    void printHeader();
    bool printPage();
    void printFooter();
    void afterPrint();

    // Page body.
    void startBody();
    bool printPendingItems();
    bool checkGroupChange();
    bool closeGroup();
    void printRecord();
    void addToTotals();
    void printClosingTotals();

    // A line's parts that print, prepared once for the run.
    struct Cell {
        enum class Kind { Filler, Label, Field, Total };
        Kind kind = Kind::Filler;
        int width = 0;
        int fieldNo = 0; // Field: 1..36; Total: 1..4
        QString label;   // Label: its text
    };
    using LinePlan = std::vector<Cell>;
    enum class Content { Body, ColumnHeaders, Totals };
    static LinePlan planLine(const ReportLine& line, int reportWidth, bool totalsLine);

    // Lines.
    void applyFont(FontSlotId slot);
    void setCells(const LinePlan& line, CellText justification, int boxLines);
    int bodyBoxLines() const;
    void setBodyCells();
    void printColumnHeaders();
    void printBodyLine(const LinePlan& line);
    void printTotalsLine(const Totals& totals);
    bool printGroupHeading();
    bool printGroupTotals();
    void printCaption(const QString& text);
    void printCells(const LinePlan& line, Content content, const Totals* totals = nullptr);
    QString cellText(const Cell& cell, Content content, const Totals* totals);
    void writeTextLine(const QString& line);
    bool flushText(); // false when the file refused the bytes

    // Values.
    int fieldIndex(int fieldNo);
    QString fieldText(int fieldNo);
    double totalValue(int fieldNo);
    QString shortened(const QString& text, int cell) const;
    bool textMode() const { return mode_ == OutputMode::TextFile; }

    ReportDefinition definition_;
    table::Table& table_;
    ReportContext context_;
    OutputMode mode_;
    QString textFilePath_;
    std::unique_ptr<QSaveFile> textFile_;
    report_engine::TBaseReport* engine_ = nullptr;

    std::array<LinePlan, kBodyLineCount> lines_; // clipped to the width
    LinePlan totalsLine_;
    std::string textBuffer_; // encoded lines not yet written
    // The widest character of each font applied, and of the font in force.
    std::map<std::tuple<QString, int, bool, bool>, double> widestCharacter_;
    double widestInForce_ = 0;
    std::array<int, db::kFieldCount + 1> fieldIndexes_{};
    double usableWidth_ = 0;
    int group1Field_ = 0;
    int group2Field_ = 0;
    QString lastGroup1_;
    QString lastGroup2_;
    bool headingPending_ = false;
    bool totalsPending_ = false;
    bool firstGroup_ = true;
    bool grandTotalsPending_ = false;
    bool closingDone_ = false;
    bool progress_ = false; // something was printed on this page
    Totals grandTotals_{};
    Totals groupTotals_{};
    bool suspended_ = false;
    table::Table::Bookmark startPosition_ = 0;
    int lastPage_ = 0;
};

} // namespace reports
