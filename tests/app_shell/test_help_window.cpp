#include "app/help_index.h"
#include "app/help_window.h"

#include "support/gui/modal.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>

#include <map>
#include <set>

namespace {

using app::HelpTarget;

// The keywords the other windows open the help at.
const QStringList kWindowKeywords = {"Viewer Configuration Title",
                                     "Viewer Configuration Look",
                                     "Viewer Configuration Show",
                                     "Viewer Configuration Widths",
                                     "Viewer Configuration Order",
                                     "Viewer Configuration Names",
                                     "Export Window",
                                     "Input Window",
                                     "Search Window",
                                     "Import Window",
                                     "User Defined Reports",
                                     "Report Window",
                                     "Backup and Restore"};

class HelpPagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const QString& page : app::helpPages()) {
            QTextDocument document;
            document.setMarkdown(app::helpPageText(page).value_or(QString()));
            const QStringList slugs = app::markHeadingAnchors(document);
            anchors()[page] = std::set<QString>(slugs.begin(), slugs.end());
        }
    }
    static std::map<QString, std::set<QString>>& anchors() {
        static std::map<QString, std::set<QString>> byPage;
        return byPage;
    }
    static bool resolves(const HelpTarget& target) {
        auto page = anchors().find(target.page);
        return page != anchors().end() &&
               (target.anchor.isEmpty() || page->second.count(target.anchor) > 0);
    }
};

TEST_F(HelpPagesTest, EveryPageOfTheSourceIsBuiltInAndReachableFromTheContents) {
    const QStringList source = QDir(QStringLiteral(VOLUMARA_SOURCE_DIR "/docs/help"))
                                   .entryList({"*.md"}, QDir::Files, QDir::Name);
    ASSERT_FALSE(source.isEmpty());
    EXPECT_EQ(app::helpPages(), source);

    const QString contents = *app::helpPageText(app::kHelpContentsPage);
    for (const QString& page : source) {
        if (page != app::kHelpContentsPage) {
            EXPECT_TRUE(contents.contains("](" + page + ")")) << page.toStdString();
        }
    }
}

TEST_F(HelpPagesTest, EveryKeywordAndEveryLinkLeadsToAnExistingHeading) {
    const app::HelpIndex index = app::HelpIndex::builtIn();
    ASSERT_GT(index.keywords().size(), 100u);
    for (const QString& keyword : kWindowKeywords) {
        std::optional<HelpTarget> target = index.find(keyword);
        ASSERT_TRUE(target) << keyword.toStdString();
        EXPECT_TRUE(resolves(*target)) << keyword.toStdString();
    }
    for (const app::HelpKeyword& entry : index.keywords()) {
        EXPECT_TRUE(resolves(entry.target))
            << entry.keyword.toStdString() << " -> " << entry.target.page.toStdString() << "#"
            << entry.target.anchor.toStdString();
    }

    const QRegularExpression link(QStringLiteral(R"(\]\(([^)\s]+)\))"));
    for (const QString& page : app::helpPages()) {
        const QString text = *app::helpPageText(page);
        for (const auto& match : link.globalMatch(text)) {
            std::optional<HelpTarget> target = app::parseHelpLink(match.captured(1), page);
            ASSERT_TRUE(target) << page.toStdString() << ": " << match.captured(1).toStdString();
            EXPECT_TRUE(resolves(*target))
                << page.toStdString() << ": " << match.captured(1).toStdString();
        }
        EXPECT_FALSE(text.contains("coming soon", Qt::CaseInsensitive)) << page.toStdString();
    }
}

TEST(HelpIndex, ParsesSortsAndLooksUpWithoutRegardToCase) {
    const app::HelpIndex index = app::HelpIndex::parse("# comment\n"
                                                       "Zoom\tpreview.md#tool-bar\r\n"
                                                       "\n"
                                                       "no tab here\n"
                                                       "Empty target\t \n"
                                                       "alpha\tindex.md\n");
    ASSERT_EQ(index.keywords().size(), 2u);
    EXPECT_EQ(index.keywords()[0].keyword, "alpha");
    EXPECT_EQ(index.find(" ZOOM "), (HelpTarget{"preview.md", "tool-bar"}));
    EXPECT_EQ(index.find("Alpha"), (HelpTarget{"index.md", ""}));
    EXPECT_FALSE(index.find("Zoo"));
    EXPECT_EQ(index.nearest("b"), 1);
    EXPECT_EQ(index.nearest("zz"), 1);
    EXPECT_EQ(index.nearest(""), 0);
    EXPECT_EQ(app::HelpIndex::parse("").nearest("a"), -1);

    EXPECT_EQ(app::parseHelpLink("#messages", "export-window.md"),
              (HelpTarget{"export-window.md", "messages"}));
    EXPECT_EQ(app::parseHelpLink("./tips.md", "index.md"), (HelpTarget{"tips.md", ""}));
    EXPECT_FALSE(app::parseHelpLink("https://example.org/x.md", "index.md"));
    EXPECT_FALSE(app::helpPageText("../keywords.txt"));
    EXPECT_FALSE(app::helpPageText("missing.md"));
}

TEST(HeadingSlug, FollowsGitHub) {
    EXPECT_EQ(app::headingSlug("Step 1: choose the kind of file"),
              "step-1-choose-the-kind-of-file");
    EXPECT_EQ(app::headingSlug("Either-or searches (levels)"), "either-or-searches-levels");
    EXPECT_EQ(app::headingSlug("Editing a list (List Maintenance)"),
              "editing-a-list-list-maintenance");
    EXPECT_EQ(app::headingSlug("What \"Show Tips\" does"), "what-show-tips-does");

    QTextDocument document;
    document.setMarkdown("# Tips\n\ntext\n\n## Tips\n\n## Tips\n");
    EXPECT_EQ(app::markHeadingAnchors(document), (QStringList{"tips", "tips-1", "tips-2"}));
}

class HelpWindowTest : public ::testing::Test {
protected:
};

TEST_F(HelpWindowTest, OpensAtContentsAtKeywordsAndFollowsLinksBackAndForth) {
    app::HelpWindow help;
    help.showContents();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.currentTarget(), (HelpTarget{"index.md", ""}));
    EXPECT_TRUE(help.browser()->toPlainText().startsWith("Volumara Books 95 Help"));

    help.showKeyword("viewer configuration widths");
    EXPECT_EQ(help.currentTarget().page, "viewer-configuration.md");
    EXPECT_FALSE(help.currentTarget().anchor.isEmpty());
    EXPECT_FALSE(help.noteVisible());

    help.followLink("backup-and-restore.md#making-a-backup");
    EXPECT_EQ(help.currentTarget(), (HelpTarget{"backup-and-restore.md", "making-a-backup"}));
    help.followLink("#restoring-a-backup");
    EXPECT_EQ(help.currentTarget().anchor, "restoring-a-backup");

    help.goBack();
    help.goBack();
    EXPECT_EQ(help.currentTarget().page, "viewer-configuration.md");
    help.goForward();
    EXPECT_EQ(help.currentTarget(), (HelpTarget{"backup-and-restore.md", "making-a-backup"}));

    help.followLink("no-such-page.md");
    EXPECT_EQ(help.currentTarget().page, "index.md");
    EXPECT_TRUE(help.noteVisible());
}

TEST_F(HelpWindowTest, UnknownKeywordShowsTheIndexAtItsPlaceWithANote) {
    app::HelpWindow help;
    help.showKeyword("Pack Databasse");
    EXPECT_TRUE(help.isVisible());
    EXPECT_TRUE(help.noteVisible());
    EXPECT_TRUE(help.noteText().contains("\"Pack Databasse\""));
    EXPECT_TRUE(help.noteText().contains("index"));
    EXPECT_EQ(help.keywordBox()->text(), "Pack Databasse");
    ASSERT_NE(help.keywordList()->currentItem(), nullptr);
    EXPECT_TRUE(help.keywordList()->currentItem()->text().startsWith("Pa"));

    // Choosing a keyword from the index opens its page and clears the note.
    help.keywordList()->setCurrentRow(
        static_cast<int>(app::HelpIndex::builtIn().nearest("Pack Database")));
    emit help.keywordList()->itemActivated(help.keywordList()->currentItem());
    EXPECT_EQ(help.currentTarget().page, "maintenance.md");
    EXPECT_FALSE(help.noteVisible());
}

TEST_F(HelpWindowTest, OpenedFromAModalDialogItTakesInputItselfAndFromTheMainWindowItDoesNot) {
    app::HelpWindow help;
    QDialog searchWindow;
    bool checked = false;
    testsupport::whenModalAppears([&](QWidget* dialog) {
        help.showKeyword("Search Window");
        EXPECT_TRUE(help.isVisible());
        EXPECT_EQ(help.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(help.currentTarget().page, "search-window.md");
        help.close();
        checked = true;
        static_cast<QDialog*>(dialog)->accept();
    });
    searchWindow.exec();
    EXPECT_TRUE(checked);

    help.showContents();
    EXPECT_EQ(help.windowModality(), Qt::NonModal);
    EXPECT_TRUE(help.isVisible());
}

} // namespace
