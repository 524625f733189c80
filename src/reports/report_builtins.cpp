#include "reports/report_builtins.h"

#include <algorithm>

namespace reports {

ReportPart fieldPart(const char* fieldName, int width) {
    ReportPart part;
    part.item = QString::fromLatin1(fieldName);
    part.fieldNo = bodyFieldNumberFor(part.item);
    part.width = width;
    return part;
}

ReportPart labelPart(const char* text, int width) {
    ReportPart part;
    part.item = QString::fromLatin1(kLabelItem);
    part.width = width;
    part.labelText = QString::fromLatin1(text);
    return part;
}

ReportPart fillerPart(int width) {
    ReportPart part;
    part.width = width;
    return part;
}

ReportLine lineOf(std::initializer_list<ReportPart> parts) {
    ReportLine line;
    std::copy(parts.begin(), parts.end(), line.begin());
    return line;
}

ReportDefinition standardDefaults() {
    return ReportDefinition{}; // the struct's initialisers are these defaults
}

ReportLine standardTotalsLine() {
    auto total = [](int number, int width) {
        ReportPart part;
        part.item = QString::fromLatin1(kTotalItems[static_cast<size_t>(number - 1)]);
        part.fieldNo = number;
        part.width = width;
        return part;
    };
    return lineOf({labelPart("Cost:", 10), fillerPart(1), total(1, 12), labelPart("Value:", 8),
                   fillerPart(1), total(2, 12), labelPart("Low Market:", 13), fillerPart(1),
                   total(3, 12), labelPart("High Market:", 14), fillerPart(1), total(4, 12),
                   fillerPart(60)});
}

namespace {

void setAllFonts(ReportDefinition& d, int size) {
    for (FontSlot& font : d.fonts) {
        font = FontSlot{};
        font.size = size;
    }
}

// The narrow single-line reports: Arial 10 throughout, cell lines on.
ReportDefinition narrowReport(const char* name, ReportLine line1) {
    ReportDefinition d = standardDefaults();
    d.reportName = QString::fromLatin1(name);
    d.width = 90;
    setAllFonts(d, 10);
    d.vertLines = d.horzLines = true;
    d.line(1) = line1;
    d.totalsLine = standardTotalsLine();
    return d;
}

// The multi-line reports: Arial 8 with a Courier spare slot, no column headers.
ReportDefinition multiLineReport(const char* name, int numLines) {
    ReportDefinition d = standardDefaults();
    d.reportName = QString::fromLatin1(name);
    d.font(FontSlotId::Spare).name = QStringLiteral("Courier");
    d.columnHeaders = false;
    d.numLines = numLines;
    d.totalsLine = standardTotalsLine();
    return d;
}

ReportLine titleLine(const char* lastLabel, const char* lastField) {
    return lineOf({labelPart("Title:", 6), fillerPart(1), fieldPart("Title", 70),
                   labelPart(lastLabel, 11), fillerPart(1), fieldPart(lastField, 20)});
}

ReportLine authorLine(int authorWidth) {
    return lineOf({labelPart("Author:", 7), fillerPart(1), fieldPart("Author", authorWidth),
                   labelPart("Year Pub:", 11), fillerPart(1), fieldPart("YearPub", 5),
                   labelPart("Rating:", 9), fillerPart(1), fieldPart("Rating", 15)});
}

ReportLine categoryLine(int catalogLabelWidth) {
    return lineOf({labelPart("Category:", 9), fillerPart(1), fieldPart("Category", 20),
                   labelPart("Catalog:", catalogLabelWidth), fillerPart(1),
                   fieldPart("CatalogNum", 15), labelPart("Sub Cat 1:", 12), fillerPart(1),
                   fieldPart("Sub1", 6), labelPart("Sub Cat 2:", 12), fillerPart(1),
                   fieldPart("Sub2", 6), labelPart("Pages:", 8), fillerPart(1),
                   fieldPart("Pages", 5)});
}

ReportDefinition fullReport() {
    ReportDefinition d = multiLineReport("Full Report", 10);
    d.line(1) = titleLine("Book Type:", "BookType");
    d.line(2) = authorLine(60);
    d.line(3) = lineOf({labelPart("Publisher:", 10), fillerPart(1), fieldPart("Publisher", 40),
                        labelPart("Editor:", 9), fillerPart(1), fieldPart("Editor", 30),
                        labelPart("ISBN:", 7), fillerPart(1), fieldPart("ISBN", 20)});
    d.line(4) = lineOf({labelPart("Cost:", 7), fillerPart(1), fieldPart("Cost", 12),
                        labelPart("Value:", 8), fillerPart(1), fieldPart("Value", 12),
                        labelPart("Low Market:", 13), fillerPart(1), fieldPart("LowMarket", 12),
                        labelPart("High Market:", 14), fillerPart(1), fieldPart("HighMarket", 12),
                        labelPart("Cond:", 7), fillerPart(1), fieldPart("Condition", 20)});
    d.line(5) = categoryLine(10);
    d.line(6) =
        lineOf({labelPart("Date Purchased:", 15), fillerPart(1), fieldPart("PurchDate", 11),
                labelPart("Where Purchased:", 18), fillerPart(1), fieldPart("WherePurch", 30),
                labelPart("Location:", 11), fillerPart(1), fieldPart("Location", 30)});
    d.line(7) = lineOf({labelPart("Checked Out:", 12), fillerPart(1), fieldPart("CheckOut", 3),
                        labelPart("Checkout Date:", 16), fillerPart(1), fieldPart("CheckDate", 11),
                        labelPart("Checked Out To:", 17), fillerPart(1), fieldPart("CheckName", 30),
                        labelPart("Edition:", 11), fillerPart(1), fieldPart("Edition", 10)});
    d.line(8) = lineOf({labelPart("Vol:", 4), fillerPart(1), fieldPart("Volume", 8),
                        labelPart("Issue:", 8), fillerPart(1), fieldPart("Issue", 8),
                        labelPart("Key Words:", 12), fillerPart(1), fieldPart("KeyWords", 77)});
    d.line(9) = lineOf({labelPart("Desc:", 6), fillerPart(1), fieldPart("Descriptio", 110)});
    return d;
}

} // namespace

std::vector<ReportDefinition> builtInReports() {
    std::vector<ReportDefinition> reports;
    reports.push_back(narrowReport(
        "Short Narrow Report",
        lineOf({fieldPart("Title", 59), fieldPart("YearPub", 5), fieldPart("Author", 27)})));

    ReportDefinition twoLine = multiLineReport("2 Line 120 Column Report", 2);
    twoLine.line(1) = titleLine("Category:", "Category");
    twoLine.line(2) = authorLine(60);
    reports.push_back(twoLine);

    ReportDefinition fourLine = multiLineReport("4 Line Report", 4);
    fourLine.line(1) = titleLine("Book Type:", "BookType");
    fourLine.line(2) = authorLine(59);
    fourLine.line(3) = categoryLine(9);
    reports.push_back(fourLine);

    reports.push_back(fullReport());

    ReportDefinition location = narrowReport(
        "Location Report", lineOf({fieldPart("Title", 60), fieldPart("Location", 30)}));
    location.useTotals = false;
    reports.push_back(location);

    ReportDefinition checkout = standardDefaults();
    checkout.reportName = QStringLiteral("Library Checkout Report");
    checkout.vertLines = checkout.horzLines = true;
    checkout.useTotals = false;
    checkout.groupLevel1 = false;
    checkout.line(1) = lineOf({fieldPart("Title", 60), fieldPart("CheckOut", 3),
                               fieldPart("CheckDate", 12), fieldPart("CheckName", 30)});
    checkout.totalsLine = standardTotalsLine();
    reports.push_back(checkout);

    reports.push_back(
        narrowReport("Value Report",
                     lineOf({fieldPart("Title", 42), fieldPart("Cost", 12), fieldPart("Value", 12),
                             fieldPart("LowMarket", 12), fieldPart("HighMarket", 12)})));

    ReportDefinition summary = narrowReport("Statistic/Summary Report", emptyLine());
    summary.columnHeaders = false;
    summary.numLines = 0;
    summary.vertLines = summary.horzLines = false;
    reports.push_back(summary);
    return reports;
}

ReportDefinition newReportDefaults() {
    ReportDefinition d = standardDefaults();
    d.width = 90;
    d.vertLines = d.horzLines = true;
    for (FontSlot& font : d.fonts) {
        font = FontSlot{};
        font.name = QStringLiteral("Courier New");
        font.size = 10;
    }
    d.font(FontSlotId::Title).bold = true;
    d.font(FontSlotId::ColumnHeader).bold = true;
    d.font(FontSlotId::Footnote).bold = true;
    return d;
}

} // namespace reports
