#pragma once

// The help pages and their keyword index. Pages are Markdown files built into the program under
// ":/help/"; keywords.txt maps each keyword (as a window's Help button names it) to a page and a
// heading on it, headings being named by their GitHub-style slug ("Making a backup" ->
// "making-a-backup"). Kept free of widgets so that the tests can check every keyword and link.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QTextDocument;

namespace app {

inline constexpr const char* kHelpContentsPage = "index.md";

// A place in the help: a page file name and, optionally, the slug of a heading on it.
struct HelpTarget {
    QString page;
    QString anchor;
    bool operator==(const HelpTarget&) const = default;
};

// "page.md#anchor", "page.md" or "#anchor" (on `currentPage`). Nothing for links that leave the
// help (http:, mailto:) or name no page.
std::optional<HelpTarget> parseHelpLink(const QString& link, const QString& currentPage);

struct HelpKeyword {
    QString keyword;
    HelpTarget target;
};

class HelpIndex {
public:
    // Lines "keyword<TAB>page#anchor"; blank lines and lines starting with '#' are skipped, as
    // are lines without a tab or target.
    static HelpIndex parse(const QString& text);
    // The index built into the program.
    static HelpIndex builtIn();

    // Keywords in alphabetical order, letter case ignored.
    const std::vector<HelpKeyword>& keywords() const { return keywords_; }
    // The keyword's target; letter case and surrounding blanks are ignored.
    std::optional<HelpTarget> find(const QString& keyword) const;
    // Position of the first keyword that sorts at or after `text` (letter case ignored), as the
    // index list selects while the user types; the last keyword when all sort before it.
    int nearest(const QString& text) const;

private:
    std::vector<HelpKeyword> keywords_;
};

// The text of a built-in help page; nothing when there is no such page.
std::optional<QString> helpPageText(const QString& page);
// Names of every built-in page.
QStringList helpPages();

// GitHub's heading slug: lower case, punctuation dropped except '-' and '_', spaces to '-'.
QString headingSlug(const QString& heading);
// Gives every heading block of a document rendered from Markdown its slug as an anchor name
// (repeated slugs get "-1", "-2" ... as on GitHub) and returns the slugs in order.
QStringList markHeadingAnchors(QTextDocument& document);

} // namespace app
