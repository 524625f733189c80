// The run of a report: set-up, page header and footer, and the page body with its loop over the
// records and the group headings and totals that did not fit on the previous page.

#include "reports/report_generator.h"

#include "report_engine/base_report.h"
#include "settings/settings.h"

#include <QIODevice>

#include <algorithm>

#include <exception>

namespace reports {

namespace {

constexpr double kHeaderTop = 0.5;
constexpr double kBodyTop = 1.25;
constexpr double kBodyBottomGap = 0.75; // above the bottom margin
constexpr double kFooterHeight = 0.5;
constexpr int kMaxGroupText = 120;

} // namespace

ReportContext reportContextFrom(const app::Settings& settings, QDate today) {
    ReportContext context;
    for (int n = 1; n <= db::kFieldCount; ++n)
        context.fieldLabels[static_cast<size_t>(n - 1)] = settings.fieldLabel(n);
    context.sortLevels = settings.sortLevels;
    context.numbers = app::NumberFormatter::fromSettings(settings);
    context.today = today;
    return context;
}

ReportLine clipLine(const ReportLine& line, int reportWidth) {
    ReportLine clipped = line;
    int used = 0;
    for (ReportPart& part : clipped) {
        if (part.width < 1)
            break;
        part.width = std::min(part.width, std::max(reportWidth - used, 0));
        used += part.width;
    }
    return clipped;
}

ReportGenerator::ReportGenerator(ReportDefinition definition, table::Table& table,
                                 ReportContext context, OutputMode mode, QString textFilePath)
    : definition_(std::move(definition)), table_(table), context_(std::move(context)), mode_(mode),
      textFilePath_(std::move(textFilePath)) {
    // A definition from the file is within these bounds already; one built in memory is held to
    // them, so that no value can take the run outside its lines.
    definition_.numLines = std::clamp(definition_.numLines, 0, kBodyLineCount);
    if (definition_.width < 1)
        definition_.width = 90;
    for (size_t l = 0; l < lines_.size(); ++l)
        lines_[l] = planLine(definition_.lines[l], definition_.width, false);
    totalsLine_ = planLine(definition_.totalsLine, definition_.width, true);
}

ReportGenerator::~ReportGenerator() = default;

void ReportGenerator::attach(report_engine::TBaseReport& engine) {
    engine_ = &engine;
    engine.SetLineHeightMethod(report_engine::LineHeightMethod::lhmFont);
    engine.OnBeforePrint = [this](report_engine::TBaseReport& sender) { beforePrint(sender); };
    engine.OnPrintHeader = [this](report_engine::TBaseReport&) { printHeader(); };
    engine.OnPrintPage = [this](report_engine::TBaseReport&, int) { return printPage(); };
    engine.OnPrintFooter = [this](report_engine::TBaseReport&) { printFooter(); };
    engine.OnAfterPrint = [this](report_engine::TBaseReport&) { afterPrint(); };
}

void ReportGenerator::beforePrint(report_engine::TBaseReport& engine) {
    engine_ = &engine;
    engine.StatusFormat = QStringLiteral("Printing Page %p\n%0\n%1");
    engine.StatusText = QStringList{QString(), QString()};
    engine.SetMarginTop(definition_.topMargin);
    engine.SetMarginBottom(definition_.bottomMargin);
    engine.SetMarginLeft(definition_.leftMargin);
    engine.SetMarginRight(definition_.rightMargin);
    usableWidth_ = engine.PageWidth() - definition_.leftMargin - definition_.rightMargin;
    const double bodyHeight =
        engine.PageHeight() - definition_.bottomMargin - kBodyBottomGap - kBodyTop;
    if (!(usableWidth_ >= 0.5) || !(bodyHeight > 0)) // NaN margins fail here too
        throw ReportError(QStringLiteral("The margins of the report \"%1\" leave no room on the "
                                         "page.  Please make them smaller.")
                              .arg(definition_.reportName));

    group1Field_ = group2Field_ = 0;
    if (definition_.groupLevel1) {
        for (int level : context_.sortLevels) {
            if (level < 1 || level > db::kFieldCount)
                continue;
            if (group1Field_ == 0)
                group1Field_ = level;
            else
                group2Field_ = level; // with three or four levels, the last of them
        }
        if (!definition_.groupLevel2)
            group2Field_ = 0;
    }
    lastGroup1_ = lastGroup2_ = QString::fromLatin1(kGroupSentinel);
    headingPending_ = totalsPending_ = grandTotalsPending_ = closingDone_ = false;
    firstGroup_ = true;
    grandTotals_ = groupTotals_ = Totals{};
    fieldIndexes_.fill(-1);

    if (textMode()) {
        textFile_ = std::make_unique<QSaveFile>(textFilePath_);
        if (!textFile_->open(QIODevice::WriteOnly))
            throw ReportError(QStringLiteral("The text file %1 could not be created: %2")
                                  .arg(textFilePath_, textFile_->errorString()));
    }
    startPosition_ = table_.bookmark();
    table_.suspendObservers();
    suspended_ = true;
    table_.first();
}

void ReportGenerator::afterPrint() {
    if (textFile_) {
        // A run that failed keeps whatever file was there before; a finished or cancelled one
        // leaves the pages done. The engine calls this from its handler of a run's error too.
        const bool failed = std::current_exception() != nullptr;
        const bool committed = !failed && flushText() && textFile_->commit();
        const QString error = textFile_->errorString();
        if (!committed)
            textFile_->cancelWriting();
        textFile_.reset();
        textBuffer_.clear();
        if (!committed && !failed)
            throw ReportError(QStringLiteral("The text file %1 could not be written: %2")
                                  .arg(textFilePath_, error));
    }
    if (suspended_) {
        suspended_ = false;
        if (startPosition_ != 0)
            table_.goToBookmark(startPosition_);
        table_.resumeObservers();
    }
}

void ReportGenerator::printHeader() {
    engine_->SetSectionTop(kHeaderTop);
    engine_->SetSectionBottom(kBodyTop);
    applyFont(FontSlotId::Title);
    for (const QString& title : definition_.titles) {
        if (title.isEmpty())
            continue;
        if (textMode())
            writeTextLine(title);
        else
            engine_->PrintCenter(title, engine_->PageWidth() / 2);
        engine_->NewLine();
    }
}

void ReportGenerator::printFooter() {
    const QString page = QStringLiteral("Page %1").arg(engine_->CurrentPage());
    const table::Date today{context_.today.year(), context_.today.month(), context_.today.day()};
    const QString date = QString::fromStdString(table::currentDateFormat().format(today));
    if (textMode()) {
        writeTextLine(QString());
        QString line = page + QStringLiteral("     ");
        if (definition_.dateOnPage)
            line += QStringLiteral("     ") + date;
        writeTextLine(line + QChar(12));
        return;
    }
    const double paperBottom = engine_->PageHeight() - definition_.bottomMargin;
    engine_->SetSectionTop(paperBottom - kFooterHeight);
    engine_->SetSectionBottom(paperBottom);
    engine_->Home();
    applyFont(FontSlotId::Footnote);
    engine_->PrintInSection(page, report_engine::Justify::Left);
    engine_->PrintInSection(QString(), report_engine::Justify::Center);
    if (definition_.dateOnPage)
        engine_->PrintInSection(date, report_engine::Justify::Right);
}

bool ReportGenerator::printPage() {
    startBody();
    progress_ = false;
    bool broke = false;
    while (!broke && engine_->LinesLeft() >= definition_.numLines && !table_.eof()) {
        broke = printPendingItems();
        if (!broke)
            broke = checkGroupChange();
        if (broke)
            continue; // the record is printed on the next page
        printRecord();
        if (definition_.useTotals)
            addToTotals();
        table_.next();
        progress_ = true;
    }
    if (table_.eof())
        printClosingTotals();
    const bool more = !(table_.eof() && closingDone_);
    if (more && !progress_)
        throw ReportError(QStringLiteral("The lines of the report \"%1\" do not fit between the "
                                         "page's header and footer.  Please make the margins or "
                                         "the body font smaller.")
                              .arg(definition_.reportName));
    return more && (lastPage_ < 1 || engine_->CurrentPage() < lastPage_);
}

void ReportGenerator::startBody() {
    engine_->Home();
    engine_->SetSectionTop(kBodyTop);
    engine_->SetSectionBottom(engine_->PageHeight() - definition_.bottomMargin - kBodyBottomGap);
    engine_->Home();
    if (definition_.numLines == 1 && definition_.columnHeaders) {
        applyFont(FontSlotId::ColumnHeader);
        printColumnHeaders();
        applyFont(FontSlotId::Body);
        engine_->NewLine();
    } else {
        applyFont(FontSlotId::Body);
    }
    if (definition_.numLines == 1)
        setBodyCells();
}

bool ReportGenerator::printPendingItems() {
    if (totalsPending_ && printGroupTotals())
        return true;
    return headingPending_ && printGroupHeading();
}

bool ReportGenerator::checkGroupChange() {
    if (group1Field_ == 0)
        return false;
    const QString value1 = fieldText(group1Field_).left(kMaxGroupText);
    if (group2Field_ != 0) {
        const QString value2 = fieldText(group2Field_).left(kMaxGroupText);
        if (value2 != lastGroup2_) {
            lastGroup2_ = value2;
            lastGroup1_ = value1;
            return closeGroup();
        }
    }
    if (value1 != lastGroup1_) {
        lastGroup1_ = value1;
        return closeGroup();
    }
    return false;
}

bool ReportGenerator::closeGroup() {
    if (printGroupTotals()) {
        headingPending_ = true;
        return true;
    }
    return printGroupHeading();
}

void ReportGenerator::printRecord() {
    if (definition_.numLines == 1) {
        printBodyLine(lines_[0]);
        return;
    }
    for (int l = 0; l < definition_.numLines; ++l) {
        const LinePlan& line = lines_[static_cast<size_t>(l)];
        if (!textMode())
            setCells(line, CellText::LabelsRight, report_engine::BoxNone);
        printBodyLine(line);
    }
}

void ReportGenerator::addToTotals() {
    static constexpr std::array<int, kTotalCount> kTotalFields{7, 8, 29, 30};
    for (size_t t = 0; t < kTotalFields.size(); ++t) {
        const double value = totalValue(kTotalFields[t]);
        grandTotals_[t] += value;
        groupTotals_[t] += value;
    }
}

void ReportGenerator::printClosingTotals() {
    if (definition_.useTotals && engine_->LinesLeft() < 5) {
        grandTotalsPending_ = true;
        return;
    }
    if (definition_.useTotals) {
        printCaption(QStringLiteral("TOTALS"));
        printTotalsLine(groupTotals_);
        if (textMode())
            writeTextLine(QString());
        engine_->NewLine();
        printCaption(QStringLiteral("GRAND TOTALS"));
        printTotalsLine(grandTotals_);
    }
    grandTotalsPending_ = false;
    closingDone_ = true;
    progress_ = true;
}

bool ReportGenerator::printGroupTotals() {
    if (firstGroup_) {
        firstGroup_ = totalsPending_ = false;
        return false;
    }
    if (!definition_.useTotals) {
        totalsPending_ = false;
        return false;
    }
    if (engine_->LinesLeft() < definition_.numLines + 3) {
        totalsPending_ = true;
        return true;
    }
    printCaption(QStringLiteral("TOTALS"));
    printTotalsLine(groupTotals_);
    groupTotals_ = Totals{};
    if (definition_.numLines == 1)
        setBodyCells();
    totalsPending_ = false;
    progress_ = true;
    return false;
}

} // namespace reports
