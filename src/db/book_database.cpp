#include "db/book_database.h"

#include "db/field_catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

std::string sortTerm(const FieldInfo& field) {
    std::string name(field.name);
    switch (field.kind) {
    case FieldKind::Text:
        return "Upper(Left(" + name + ",20))+";
    case FieldKind::WholeNumber:
        return "STR(" + name + ",8,0)+";
    case FieldKind::DecimalNumber:
        return "STR(" + name + ",12,2)+";
    case FieldKind::Date:
        return "DTOS(" + name + ")+";
    }
    return {};
}

std::string toStd(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

bool hasDbfExtension(const QString& path) {
    return path.size() >= 4 && path.right(4).toUpper() == QLatin1String(".DBF");
}

// Version bytes of FoxPro tables, whose byte 28 holds table flags rather than the .MDX flag.
bool isFoxProVersion(uint8_t version) {
    return version == 0x30 || version == 0x31 || version == 0x32 || version == 0xF5 ||
           version == 0xFB;
}

bool isBookTableLayout(const table::Table& handle) {
    const auto& catalogue = fieldCatalogue();
    if (handle.fieldCount() != kFieldCount)
        return false;
    for (int i = 0; i < kFieldCount; ++i)
        if (!sameFieldName(handle.fieldDescriptor(i).name, catalogue[static_cast<size_t>(i)].name))
            return false;
    return true;
}

bool tagExists(const table::Table& handle, const std::string& name) {
    for (const table::TagInfo& tag : handle.tags())
        if (sameFieldName(tag.name, name))
            return true;
    return false;
}

// Opens the handle exclusively for the duration of an index change when it is closed.
class ExclusiveWhileClosed {
public:
    explicit ExclusiveWhileClosed(table::Table& handle)
        : handle_(handle), openedHere_(!handle.isOpen()), previousMode_(handle.openMode()) {
        if (!openedHere_)
            return;
        handle_.setOpenMode(table::OpenMode::Exclusive);
        try {
            handle_.open();
        } catch (...) {
            handle_.setOpenMode(previousMode_);
            throw;
        }
    }
    ~ExclusiveWhileClosed() {
        if (!openedHere_)
            return;
        handle_.close();
        handle_.setOpenMode(previousMode_);
    }
    ExclusiveWhileClosed(const ExclusiveWhileClosed&) = delete;
    ExclusiveWhileClosed& operator=(const ExclusiveWhileClosed&) = delete;

private:
    table::Table& handle_;
    bool openedHere_;
    table::OpenMode previousMode_;
};

// Open step 5 and New step 5: the chosen table becomes the current one.
void switchToTable(DatabaseContext& context, const QString& path, OpenResult& result) {
    result.oldPath = context.currentDatabasePath;
    result.newPath = path;
    context.currentDatabasePath = path;
    context.table.close();
    pointTableAt(context.table, path);
    if (context.setCaption)
        context.setCaption(QString::fromLatin1(kProgramTitle) + QLatin1String(" (") +
                           tableNameOf(path) + QLatin1Char(')'));
    result.indexFilePath = QFile::decodeName(context.table.mdxPath().c_str());
}

void openShared(DatabaseContext& context, OpenResult& result) {
    context.table.setOpenMode(table::OpenMode::Shared);
    context.table.open();
    if (context.applyViewerOptions)
        context.applyViewerOptions();
    result.outcome = OpenOutcome::Opened;
}

// Runs a command's steps; an engine error is shown with the engine's own message and ends it.
template <typename Steps> OpenResult runCommand(DatabaseContext& context, Steps steps) {
    OpenResult result;
    try {
        steps(result);
    } catch (const std::exception& error) {
        context.messages.error(error.what());
        result.outcome = OpenOutcome::Failed;
    }
    return result;
}

void openCheckedFile(DatabaseContext& context, const QString& path, OpenResult& result) {
    if (!checkFormat(path, context.messages))
        return;
    if (context.endSearchIfActive)
        context.endSearchIfActive();
    switchToTable(context, path, result);
    if (!isInUse(path))
        installIndex(context.table, context.sortExpression);
    openShared(context, result);
}

} // namespace

std::string buildSortExpression(const SortLevels& levels) {
    std::string expression;
    for (int number : levels)
        if (const FieldInfo* field = fieldByNumber(number))
            expression += sortTerm(*field);
    if (!expression.empty())
        expression.pop_back();
    return expression;
}

QString tableNameOf(const QString& path) {
    return QFileInfo(path).completeBaseName();
}

void pointTableAt(table::Table& handle, const QString& path) {
    QFileInfo info(path);
    handle.setDirectory(toStd(info.absolutePath()));
    // The whole file name: the engine opens a name with an extension as it stands.
    handle.setTableName(toStd(info.fileName()));
}

bool clearProductionIndexFlag(const QString& dbfPath) {
    int fd = ::open(QFile::encodeName(dbfPath).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    uint8_t header[32];
    bool cleared = false;
    if (::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
        !isFoxProVersion(header[0])) {
        uint8_t zero = 0;
        cleared = header[table::kProductionIndexFlagOffset] == 0 ||
                  ::pwrite(fd, &zero, 1, table::kProductionIndexFlagOffset) == 1;
    }
    ::close(fd);
    return cleared;
}

bool checkFormat(const QString& path, UserMessages& messages) {
    table::Table checkTable;
    pointTableAt(checkTable, path);
    if (!QFileInfo::exists(QFile::decodeName(checkTable.mdxPath().c_str())))
        clearProductionIndexFlag(QFile::decodeName(checkTable.dbfPath().c_str()));
    checkTable.setOpenMode(table::OpenMode::ReadOnly);
    checkTable.open();
    bool isBookTable = isBookTableLayout(checkTable);
    checkTable.close();
    if (!isBookTable)
        messages.error(kNotABookTableMessage);
    return isBookTable;
}

bool isInUse(const QString& path) {
    table::Table checkTable;
    pointTableAt(checkTable, path);
    checkTable.setOpenMode(table::OpenMode::Exclusive);
    try {
        checkTable.open();
        checkTable.close();
    } catch (const table::TableError&) {
        return true;
    }
    return false;
}

bool makeNewTable(const QString& path, UserMessages& messages) {
    QString absolutePath = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(absolutePath) && isInUse(absolutePath)) {
        messages.error("The table \"" + path.toStdString() +
                       "\" is currently in use by another program.  New table creation will "
                       "be aborted.");
        return false;
    }
    table::Table::create(toStd(absolutePath), bookTableFieldDefs());
    return QFileInfo::exists(absolutePath);
}

void installIndex(table::Table& handle, const std::string& sortExpression) {
    ExclusiveWhileClosed openForChange(handle);
    if (QFileInfo::exists(QFile::decodeName(handle.mdxPath().c_str()))) {
        handle.selectTag("");
        if (tagExists(handle, kIndexTag))
            handle.deleteTag(kIndexTag);
    }
    if (sortExpression.empty()) {
        handle.selectTag("");
        return;
    }
    handle.addTag(kIndexTag, sortExpression);
    handle.selectTag(kIndexTag);
}

OpenResult openDatabase(DatabaseContext& context, const QString& chosenPath) {
    if (!hasDbfExtension(chosenPath)) {
        context.messages.error(kInvalidFileTypeMessage);
        return {};
    }
    return openKnownDatabase(context, chosenPath);
}

OpenResult openKnownDatabase(DatabaseContext& context, const QString& path) {
    return runCommand(context, [&](OpenResult& result) { openCheckedFile(context, path, result); });
}

OpenResult newDatabase(DatabaseContext& context, const QString& chosenPath) {
    if (context.endSearchIfActive)
        context.endSearchIfActive();
    if (!hasDbfExtension(chosenPath)) {
        context.messages.error(kInvalidFileTypeMessage);
        return {};
    }
    return runCommand(context, [&](OpenResult& result) {
        if (!makeNewTable(chosenPath, context.messages))
            return;
        switchToTable(context, chosenPath, result);
        installIndex(context.table, context.sortExpression);
        openShared(context, result);
    });
}

OpenResult openStartupDatabase(DatabaseContext& context, const QString& path) {
    return runCommand(context, [&](OpenResult& result) {
        switchToTable(context, path, result);
        if (context.sortExpression.empty())
            context.table.selectTag("");
        else if (QFileInfo::exists(result.indexFilePath))
            context.table.selectTag(kIndexTag);
        else
            installIndex(context.table, context.sortExpression);
        openShared(context, result);
        // An .MDX written by another program may lack our tag; build it when we may.
        if (!context.sortExpression.empty() && context.table.selectedTag().empty()) {
            context.table.close();
            if (!isInUse(path))
                installIndex(context.table, context.sortExpression);
            openShared(context, result);
        }
    });
}

} // namespace db
