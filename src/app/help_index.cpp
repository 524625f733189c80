#include "app/help_index.h"

#include <QDir>
#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <map>

// The resource file is compiled into this static library; register it before the first use,
// since nothing else pulls its object file into the program.
static void registerHelpResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(help_pages);
        return true;
    }();
    (void)registered;
}

namespace app {

namespace {

const QString kResourceRoot = QStringLiteral(":/help/");

bool sortsBefore(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

} // namespace

std::optional<HelpTarget> parseHelpLink(const QString& link, const QString& currentPage) {
    const QString trimmed = link.trimmed();
    if (trimmed.isEmpty() || QUrl(trimmed).scheme().size() > 1)
        return std::nullopt;
    const qsizetype hash = trimmed.indexOf(QLatin1Char('#'));
    QString page = hash < 0 ? trimmed : trimmed.left(hash);
    QString anchor = hash < 0 ? QString() : trimmed.mid(hash + 1);
    if (page.startsWith(QLatin1String("./")))
        page = page.mid(2);
    if (page.isEmpty())
        page = currentPage;
    if (page.isEmpty())
        return std::nullopt;
    return HelpTarget{page, anchor};
}

HelpIndex HelpIndex::parse(const QString& text) {
    HelpIndex index;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab <= 0)
            continue;
        const QString keyword = line.left(tab).trimmed();
        std::optional<HelpTarget> target = parseHelpLink(line.mid(tab + 1), QString());
        if (keyword.isEmpty() || !target)
            continue;
        index.keywords_.push_back({keyword, *target});
    }
    std::stable_sort(index.keywords_.begin(), index.keywords_.end(),
                     [](const HelpKeyword& a, const HelpKeyword& b) {
                         return sortsBefore(a.keyword, b.keyword);
                     });
    return index;
}

HelpIndex HelpIndex::builtIn() {
    std::optional<QString> text = helpPageText(QStringLiteral("keywords.txt"));
    return parse(text.value_or(QString()));
}

std::optional<HelpTarget> HelpIndex::find(const QString& keyword) const {
    const QString wanted = keyword.trimmed();
    for (const HelpKeyword& entry : keywords_) {
        if (QString::compare(entry.keyword, wanted, Qt::CaseInsensitive) == 0)
            return entry.target;
    }
    return std::nullopt;
}

int HelpIndex::nearest(const QString& text) const {
    if (keywords_.empty())
        return -1;
    const QString wanted = text.trimmed();
    auto found = std::lower_bound(keywords_.begin(), keywords_.end(), wanted,
                                  [](const HelpKeyword& entry, const QString& key) {
                                      return sortsBefore(entry.keyword, key);
                                  });
    if (found == keywords_.end())
        return static_cast<int>(keywords_.size()) - 1;
    return static_cast<int>(found - keywords_.begin());
}

std::optional<QString> helpPageText(const QString& page) {
    registerHelpResources();
    if (page.isEmpty() || page.contains(QLatin1Char('/')))
        return std::nullopt;
    QFile file(kResourceRoot + page);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

QStringList helpPages() {
    registerHelpResources();
    return QDir(kResourceRoot).entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
}

QString headingSlug(const QString& heading) {
    QString slug;
    for (QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            slug += c;
        else if (c == QLatin1Char(' '))
            slug += QLatin1Char('-');
    }
    return slug;
}

QStringList markHeadingAnchors(QTextDocument& document) {
    QStringList slugs;
    std::map<QString, int> seen;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0)
            continue;
        QString slug = headingSlug(block.text());
        const int repeats = seen[slug]++;
        if (repeats > 0)
            slug += QLatin1Char('-') + QString::number(repeats);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorNames({slug});
        cursor.mergeCharFormat(anchor);
        slugs.push_back(slug);
    }
    return slugs;
}

} // namespace app
