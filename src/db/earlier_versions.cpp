#include "db/earlier_versions.h"

#include "db/book_database.h"
#include "db/field_catalogue.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <span>
#include <string_view>

namespace db {

namespace {

// Fields 2 to 26 of a version 2 table; each maps to the catalogue field at its place (the old
// CheckPerso is CheckName).
constexpr std::array<std::string_view, 25> kVersion2Names{
    "Title",   "Author",     "YearPub",  "Publisher", "Category",   "WherePurch", "Cost",
    "Value",   "Descriptio", "ISBN",     "Rating",    "PurchDate",  "BookType",   "CatalogNum",
    "Sub1",    "Sub2",       "CheckOut", "CheckDate", "CheckPerso", "Volume",     "Issue",
    "Edition", "KeyWords",   "Pages",    "Location"};

// Fields 2 to 15 of a version 1 table; the first eleven map to the catalogue fields of the same
// names. Names longer than dBASE allows were stored cut to 10 characters.
constexpr std::array<std::string_view, 14> kVersion1Names{
    "Title", "Author",      "YearPub", "Publisher", "Category", "WherePurchased", "Cost",
    "Value", "Description", "ISBN",    "Rating",    "PurchDay", "PurchMonth",     "PurchYear"};
constexpr int kVersion1CopiedFields = 11;

constexpr std::array<std::string_view, 12> kMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A read-only handle on an old file, closed when it goes.
class OldTable {
public:
    explicit OldTable(const QString& path) {
        pointTableAt(table_, path);
        table_.setOpenMode(table::OpenMode::ReadOnly);
        table_.open();
    }
    ~OldTable() { table_.close(); }
    OldTable(const OldTable&) = delete;
    OldTable& operator=(const OldTable&) = delete;
    table::Table* operator->() { return &table_; }
    table::Table& operator*() { return table_; }

private:
    table::Table table_;
};

bool hasLayout(const QString& path, std::span<const std::string_view> names) {
    if (!QFileInfo(path).isFile())
        return false;
    try {
        table::Table probe;
        pointTableAt(probe, path);
        if (!QFileInfo::exists(QFile::decodeName(probe.mdxPath().c_str())))
            clearProductionIndexFlag(path);
        OldTable old(path);
        if (old->fieldCount() != static_cast<int>(names.size()) + 1)
            return false;
        for (size_t i = 0; i < names.size(); ++i)
            if (!sameFieldName(old->fieldDescriptor(static_cast<int>(i) + 1).name,
                               names[i].substr(0, 10)))
                return false;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// Copies one value. Dates go as dates, so that a format with two-digit years cannot move them
// to another century; everything else passes as text.
void copyValue(table::Table& old, int oldIndex, table::Table& books, int bookIndex) {
    if (old.fieldDescriptor(oldIndex).type == 'D' && books.fieldDescriptor(bookIndex).type == 'D')
        books.setDate(bookIndex, old.asDate(oldIndex));
    else
        books.setText(bookIndex, old.asText(oldIndex));
}

// Appends one book record per old record; `fill` sets its fields from the old record.
template <typename Fill> void appendEach(table::Table& old, table::Table& books, Fill fill) {
    books.suspendObservers();
    try {
        for (old.first(); !old.eof(); old.next()) {
            books.append();
            try {
                fill();
                books.post();
            } catch (...) {
                books.cancel();
                throw;
            }
        }
    } catch (...) {
        books.resumeObservers();
        throw;
    }
    books.resumeObservers();
}

int bookField(table::Table& books, std::string_view name) {
    return books.fieldIndexOrThrow(name);
}

// The date format in force, put back when the conversion ends in any way.
class DateFormatKept {
public:
    DateFormatKept() : kept_(table::currentDateFormat()) {}
    ~DateFormatKept() { table::setCurrentDateFormat(kept_); }
    DateFormatKept(const DateFormatKept&) = delete;
    DateFormatKept& operator=(const DateFormatKept&) = delete;

private:
    table::DateFormat kept_;
};

std::string monthText(std::string month) {
    for (size_t i = 0; i < kMonthNames.size(); ++i)
        if (month == kMonthNames[i])
            return std::to_string(i + 1);
    return month;
}

std::string firstFour(const std::string& text) {
    return text.substr(0, 4);
}

void offer(ConversionContext& context, const char* fileName, int version) {
    const QString path = context.programDirectory + QLatin1Char('/') + QLatin1String(fileName);
    const bool matches = version == 2 ? hasVersion2Layout(path) : hasVersion1Layout(path);
    if (!matches)
        return;
    if (context.messages.show("Convert", conversionQuestion(version), MessageIcon::Question,
                              MessageButtons::YesNo, MessageAnswer::No) != MessageAnswer::Yes)
        return;
    try {
        if (version == 2)
            convertVersion2(path, context.books);
        else
            convertVersion1(path, context.books);
    } catch (const std::exception& error) {
        context.messages.error(error.what());
        return;
    }
    QFile oldFile(path);
    if (!oldFile.remove())
        context.messages.error("The converted file \"" + path.toStdString() +
                               "\" could not be deleted: " + oldFile.errorString().toStdString() +
                               ".  Delete it yourself, or its books will be offered for "
                               "conversion again at the next start.");
}

} // namespace

std::string conversionQuestion(int version) {
    const char* fileName = version == 2 ? kVersion2File : kVersion1File;
    return "A database from a previous version (" + std::to_string(version) +
           ".X) has been detected.  Would you like to convert it now?  NOTE: After conversion "
           "the old file will be deleted.  You may wish to make a copy of \"" +
           fileName + "\" first.";
}

bool hasVersion2Layout(const QString& path) {
    return hasLayout(path, kVersion2Names);
}

bool hasVersion1Layout(const QString& path) {
    return hasLayout(path, kVersion1Names);
}

void convertVersion2(const QString& path, table::Table& books) {
    OldTable old(path);
    std::array<int, kVersion2Names.size()> targets{};
    for (size_t i = 0; i < targets.size(); ++i)
        targets[i] = bookField(books, fieldCatalogue()[i].name);
    appendEach(*old, books, [&] {
        for (size_t i = 0; i < targets.size(); ++i)
            copyValue(*old, static_cast<int>(i) + 1, books, targets[i]);
    });
}

void convertVersion1(const QString& path, table::Table& books) {
    DateFormatKept keep;
    table::setCurrentDateFormat(
        table::DateFormat{table::DateFormat::Order::MonthDayYear, '/', false});
    OldTable old(path);
    std::array<int, kVersion1CopiedFields> targets{};
    for (size_t i = 0; i < targets.size(); ++i)
        targets[i] = bookField(books, fieldCatalogue()[i].name);
    const int purchDate = bookField(books, "PurchDate");
    const int day = kVersion1CopiedFields + 1;
    appendEach(*old, books, [&] {
        for (size_t i = 0; i < targets.size(); ++i)
            copyValue(*old, static_cast<int>(i) + 1, books, targets[i]);
        const std::string dayText = firstFour(old->asText(day));
        const std::string monthPart = monthText(firstFour(old->asText(day + 1)));
        const std::string yearText = firstFour(old->asText(day + 2));
        // A book bought on no recorded date has no purchase date.
        if (dayText.empty() && monthPart.empty() && yearText.empty())
            books.setBlank(purchDate);
        else
            books.setText(purchDate, monthPart + "/" + dayText + "/" + yearText);
    });
}

void offerConversion(ConversionContext& context) {
    offer(context, kVersion2File, 2);
    offer(context, kVersion1File, 1);
}

} // namespace db
