#include "reports/report_design.h"

#include "db/field_catalogue.h"

namespace reports {

namespace {

bool askWarning(db::UserMessages& messages, const char* text) {
    messages.beep(db::BeepKind::Warning);
    return messages.show("Warning", text, db::MessageIcon::Error, db::MessageButtons::YesNo,
                         db::MessageAnswer::No) == db::MessageAnswer::Yes;
}

void notice(db::UserMessages& messages, const char* text) {
    messages.show("Notice", text, db::MessageIcon::Warning, db::MessageButtons::Ok,
                  db::MessageAnswer::Ok);
}

void fitBodyLines(ReportDefinition& definition, int width) {
    for (int number = 1; number <= definition.numLines && number <= kBodyLineCount; ++number)
        fitLine(definition.line(number), width);
}

} // namespace

void fitLine(ReportLine& line, int width) {
    int sum = 0;
    int stop = kPartsPerLine - 1;
    for (int index = 0; index < kPartsPerLine; ++index) {
        ReportPart& part = line[static_cast<size_t>(index)];
        if (part.width == 0)
            part.width = width;
        sum += part.width;
        if (sum >= width) {
            stop = index;
            break;
        }
    }
    // Above: the stopping part is cut; below (only at part 20): it is widened.
    line[static_cast<size_t>(stop)].width -= sum - width;
    for (int index = stop + 1; index < kPartsPerLine; ++index)
        line[static_cast<size_t>(index)].width = 0;
}

bool changeReportWidth(ReportDefinition& definition, int from, int to, db::UserMessages& messages) {
    if (from == to)
        return false;
    FontSlot& body = definition.font(FontSlotId::Body);
    if (to == 90) {
        if (!askWarning(messages, kTo90Question))
            return false;
        fitBodyLines(definition, 90);
        definition.width = 90;
        body.size = 10;
        return true;
    }
    if (to == 120) {
        if (from == 150 && !askWarning(messages, kTo120Question))
            return false;
        definition.width = 120;
        fitBodyLines(definition, 120);
        body.size = 8;
        messages.beep(db::BeepKind::Warning);
        notice(messages, kBody8Notice);
        return true;
    }
    definition.width = 150;
    fitBodyLines(definition, 150);
    body.size = 6;
    notice(messages, kBody6Notice);
    return true;
}

std::optional<int> numLinesFromText(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> checkNumLines(const QString& text, db::UserMessages& messages) {
    const auto value = numLinesFromText(text);
    if (value && *value >= 0 && *value <= kBodyLineCount)
        return value;
    messages.beep(db::BeepKind::Warning);
    notice(messages, kNumLinesRangeMessage);
    return std::nullopt;
}

std::optional<double> marginFromText(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !(value >= 0.0 && value <= 10.0))
        return std::nullopt;
    return value;
}

QString marginText(double inches) {
    return QString::number(inches, 'f', 2);
}

SaveResult saveReport(ReportFile& file, const ReportDefinition& definition,
                      std::optional<int> existingIndex, const QString& openingName,
                      db::UserMessages& messages) {
    bool append = !existingIndex.has_value();
    if (existingIndex && definition.reportName != openingName) {
        messages.beep(db::BeepKind::Default);
        const auto answer = messages.show("Warning", kRenameQuestion, db::MessageIcon::Error,
                                          db::MessageButtons::YesNoCancel, db::MessageAnswer::No);
        if (answer == db::MessageAnswer::Cancel)
            return {};
        append = answer == db::MessageAnswer::Yes;
    }
    SaveResult result;
    if (append) {
        const auto index = file.append(definition);
        if (index) {
            result = {SaveOutcome::Saved, *index, true};
        }
    } else if (file.replace(*existingIndex, definition)) {
        result = {SaveOutcome::Saved, *existingIndex, false};
    }
    if (result.outcome != SaveOutcome::Saved)
        messages.error(QStringLiteral("The report could not be saved: %1")
                           .arg(file.lastError())
                           .toStdString());
    return result;
}

bool deleteReport(ReportFile& file, int index, db::UserMessages& messages) {
    messages.beep(db::BeepKind::Warning);
    if (messages.show("Warning", kDeleteQuestion, db::MessageIcon::Question,
                      db::MessageButtons::YesNo, db::MessageAnswer::No) != db::MessageAnswer::Yes)
        return false;
    if (file.remove(index))
        return true;
    messages.error(
        QStringLiteral("The report could not be deleted: %1").arg(file.lastError()).toStdString());
    return false;
}

std::optional<ReportLine> applyPartChoice(const ReportLine& line, int part, bool totalsLine,
                                          const PartChoice& choice, int designWidth,
                                          db::UserMessages& messages) {
    bool ok = false;
    const int width = choice.widthText.trimmed().toInt(&ok);
    if (!ok || width < 0) {
        messages.beep(db::BeepKind::Warning);
        messages.show("Error", kInvalidWidthMessage, db::MessageIcon::Warning,
                      db::MessageButtons::Ok, db::MessageAnswer::Ok);
        return std::nullopt;
    }
    ReportLine result = line;
    ReportPart& target = result[static_cast<size_t>(part - 1)];
    target.width = width;
    fitLine(result, designWidth);

    const int listSize = totalsLine ? kTotalCount : db::kFieldCount;
    if (choice.kind == PartChoice::Kind::Field &&
        (choice.listRow < 0 || choice.listRow >= listSize))
        return result; // nothing chosen: the part keeps what it shows
    target.labelText.clear();
    target.fieldNo = 0;
    switch (choice.kind) {
    case PartChoice::Kind::Filler:
        target.item = QString::fromLatin1(kFillerItem);
        break;
    case PartChoice::Kind::Label:
        target.item = QString::fromLatin1(kLabelItem);
        target.labelText = choice.labelText.trimmed().left(40);
        break;
    case PartChoice::Kind::Field:
        target.fieldNo = choice.listRow + 1;
        target.item =
            totalsLine
                ? QString::fromLatin1(kTotalItems[static_cast<size_t>(choice.listRow)])
                : QString::fromLatin1(
                      db::fieldCatalogue()[static_cast<size_t>(choice.listRow)].name.data(),
                      static_cast<qsizetype>(
                          db::fieldCatalogue()[static_cast<size_t>(choice.listRow)].name.size()));
        break;
    }
    return result;
}

} // namespace reports
