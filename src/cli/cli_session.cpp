#include "cli/cli_session.h"

#include "cli/criteria_text.h"
#include "db/book_database.h"
#include "reports/report_file.h"
#include "search/record_test.h"
#include "settings/app_paths.h"
#include "settings/display_formats.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>

namespace cli {

std::vector<OptionRule> withCommonOptions(std::vector<OptionRule> options) {
    options.push_back({"settings", true});
    options.push_back({"quiet", false});
    return options;
}

QString qPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

Session startSession(const Arguments& arguments) {
    Session session;
    const auto settingsFile = arguments.value("settings");
    const QString iniPath = settingsFile ? qPath(*settingsFile) : app::settingsFilePath();
    if (settingsFile && !QFile::exists(iniPath))
        throw UsageError("no settings file " + *settingsFile);
    session.settings = app::loadSettings(iniPath, app::startDirectory());
    session.programDirectory = app::programDirectory(QCoreApplication::applicationDirPath());
    // As at the windowed program's start: the built-in reports when there is no report file,
    // and the reports of a previous version's file taken over.
    reports::prepareReportFile(session.programDirectory);
    session.quiet = arguments.has("quiet");
    app::applyDateFormat(session.settings.dateFormat);
    app::setRegionalNumbers(app::readRegionalNumbersFromLocale());
    session.dates = search::DateReading{table::currentDateFormat(), QDate::currentDate().year()};
    return session;
}

bool BookTable::open(const std::string& path, const Session& session, db::UserMessages& messages) {
    sortExpression_ = db::buildSortExpression(session.settings.sortLevels);
    QString current;
    db::DatabaseContext context{
        table_, current, sortExpression_, messages, [] {}, [](const QString&) {}, [] {}};
    const db::OpenResult result = db::openDatabase(context, qPath(path));
    path_ = current;
    return result.opened();
}

bool BookTable::applySearch(const std::optional<std::string>& criteria, const Session& session,
                            db::UserMessages& messages) {
    if (!criteria)
        return true;
    auto items = compileCriteria(*criteria, session.settings, session.dates, messages);
    if (!items)
        return false;
    table_.setFilter(search::makeRecordFilter(std::make_shared<search::RecordTest>(*items)));
    table_.refresh();
    table_.first();
    return true;
}

} // namespace cli
