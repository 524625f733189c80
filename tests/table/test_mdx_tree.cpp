#include "support/temp_dir.h"
#include "table/mdx_file.h"
#include "table/table_error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <set>

using table::MdxFile;
using table::TableError;
using table::TagInfo;

namespace {

using Entry = std::pair<std::string, uint32_t>;
using Entries = std::vector<Entry>;

constexpr uint32_t kKeyLength = 20;

std::string randomKey(std::mt19937& random, int distinct) {
    char text[kKeyLength + 1];
    std::snprintf(text, sizeof text, "K%-19d", int(random() % uint32_t(distinct)));
    return std::string(text, kKeyLength);
}

// A tag over `keys` (record i+1 has keys[i]) in a fresh file.
std::unique_ptr<MdxFile> buildFile(const std::string& path, const std::vector<std::string>& keys,
                                   const std::string& tag = "NEWINDEX") {
    auto file = MdxFile::create(path, "BOOKS");
    file->addTag(TagInfo{tag, "Upper(Left(Author,20))", 'C', kKeyLength}, uint32_t(keys.size()),
                 [&](uint32_t recno, std::string& key) { key = keys[recno - 1]; });
    return file;
}

Entries sortedEntries(const std::vector<std::string>& keys) {
    Entries entries;
    for (size_t i = 0; i < keys.size(); ++i)
        entries.emplace_back(keys[i], uint32_t(i + 1));
    std::sort(entries.begin(), entries.end());
    return entries;
}

Entries walkForward(const MdxFile& file, const std::string& tag) {
    Entries entries;
    auto cursor = file.cursor(tag);
    for (bool more = cursor.first(); more; more = cursor.next())
        entries.emplace_back(std::string(cursor.key()), cursor.recno());
    return entries;
}

Entries walkBackward(const MdxFile& file, const std::string& tag) {
    Entries entries;
    auto cursor = file.cursor(tag);
    for (bool more = cursor.last(); more; more = cursor.prior())
        entries.emplace_back(std::string(cursor.key()), cursor.recno());
    std::reverse(entries.begin(), entries.end());
    return entries;
}

std::vector<std::string> randomKeys(size_t count, int distinct, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> keys;
    for (size_t i = 0; i < count; ++i)
        keys.push_back(randomKey(random, distinct));
    return keys;
}

} // namespace

// 10, 1 000 and 30 000 keys of 20 bytes give trees of one, two and three levels.
TEST(MdxTree, BuiltTagsWalkInKeyThenRecordOrderAtEveryHeight) {
    testsupport::TempDir dir;
    for (size_t count : {size_t(0), size_t(1), size_t(10), size_t(1000), size_t(30000)}) {
        SCOPED_TRACE(count);
        const auto keys = randomKeys(count, int(count / 3 + 1), unsigned(count));
        auto file = buildFile(dir.file("t.mdx"), keys);
        const Entries expected = sortedEntries(keys);
        EXPECT_EQ(walkForward(*file, "newindex"), expected);
        EXPECT_EQ(walkBackward(*file, "NEWINDEX"), expected);
    }
}

TEST(MdxTree, LongRunsOfEqualKeysStayInRecordOrderAcrossLeaves) {
    testsupport::TempDir dir;
    std::vector<std::string> keys(500, std::string(kKeyLength, ' '));
    for (size_t i = 0; i < keys.size(); i += 7)
        keys[i] = std::string("SMITH") + std::string(kKeyLength - 5, ' ');
    auto file = buildFile(dir.file("t.mdx"), keys);
    auto cursor = file->cursor("NEWINDEX");
    const std::string smith = "SMITH" + std::string(kKeyLength - 5, ' ');
    ASSERT_TRUE(cursor.seekEntry(smith, 211));
    EXPECT_FALSE(cursor.seekEntry(smith, 212));
    // An entry inserted amid the run lands in record order, whichever leaf holds its place.
    file->insertKey("NEWINDEX", std::string(kKeyLength, ' '), 1000);
    file->insertKey("NEWINDEX", std::string(kKeyLength, ' '), 0);
    keys.resize(1000, std::string(kKeyLength, '~'));
    keys[999] = std::string(kKeyLength, ' ');
    Entries expected = sortedEntries(keys);
    expected.erase(std::remove_if(expected.begin(), expected.end(),
                                  [](const Entry& e) { return e.first[0] == '~'; }),
                   expected.end());
    expected.insert(expected.begin(), Entry(std::string(kKeyLength, ' '), 0));
    EXPECT_EQ(walkForward(*file, "NEWINDEX"), expected);
}

// Interior keys carry no record numbers: an entry amid a run of equal keys spanning leaves
// must land in record order whatever order the record numbers come in.
TEST(MdxTree, EqualKeysInsertedInAnyRecordOrderStayInRecordOrder) {
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        bool descending;
        bool shuffled;
    };
    for (const Case& c : {Case{"ascending", false, false}, Case{"descending", true, false},
                          Case{"shuffled", false, true}}) {
        SCOPED_TRACE(c.name);
        auto file = buildFile(dir.file("t.mdx"), {});
        std::vector<uint32_t> recnos(3000);
        for (uint32_t i = 0; i < recnos.size(); ++i)
            recnos[i] = c.descending ? uint32_t(recnos.size()) - i : i + 1;
        if (c.shuffled)
            std::shuffle(recnos.begin(), recnos.end(), std::mt19937(9));
        std::mt19937 random(10);
        std::set<Entry> model;
        for (uint32_t recno : recnos) {
            const Entry entry(randomKey(random, 4), recno);
            file->insertKey("NEWINDEX", entry.first, entry.second);
            model.insert(entry);
        }
        const Entries expected(model.begin(), model.end());
        EXPECT_EQ(walkForward(*file, "NEWINDEX"), expected);
        auto cursor = file->cursor("NEWINDEX");
        for (size_t i = 0; i < expected.size(); i += 97)
            EXPECT_TRUE(cursor.seekEntry(expected[i].first, expected[i].second)) << i;
    }
}

// In a batch, changes are seen at once through the file that makes them (its cursors follow
// them); others see the file marked as changing until the batch ends, and then every change.
TEST(MdxTree, BatchKeepsChangesUntilItEndsAndMarksTheFileMeanwhile) {
    testsupport::TempDir dir;
    auto keys = randomKeys(2000, 40, 13);
    auto file = buildFile(dir.file("t.mdx"), keys);
    file->endChange(2000);
    std::set<Entry> model;
    for (const Entry& entry : sortedEntries(keys))
        model.insert(entry);
    auto cursor = file->cursor("NEWINDEX");
    ASSERT_TRUE(cursor.first());
    const uint64_t before = file->generation();

    file->beginBatch();
    EXPECT_TRUE(MdxFile::open(dir.file("t.mdx"), false)->changeInProgress());
    std::mt19937 random(14);
    for (uint32_t recno = 2001; recno <= 8000; ++recno) {
        const Entry entry(randomKey(random, 40), recno);
        file->insertKey("NEWINDEX", entry.first, entry.second);
        model.insert(entry);
        if (recno % 3 == 0) { // removals free blocks that later splits take again
            auto victim = model.begin();
            std::advance(victim, random() % model.size());
            file->removeKey("NEWINDEX", victim->first, victim->second);
            model.erase(victim);
        }
    }
    const Entries expected(model.begin(), model.end());
    EXPECT_GT(file->generation(), before);
    EXPECT_TRUE(cursor.first());
    EXPECT_EQ(Entry(std::string(cursor.key()), cursor.recno()), expected.front());
    EXPECT_EQ(walkForward(*file, "NEWINDEX"), expected);
    file->endBatch(8000);

    auto reader = MdxFile::open(dir.file("t.mdx"), false);
    EXPECT_FALSE(reader->changeInProgress());
    EXPECT_EQ(reader->indexedRecordCount(), 8000u);
    EXPECT_EQ(walkForward(*reader, "NEWINDEX"), expected);
    EXPECT_EQ(walkBackward(*reader, "NEWINDEX"), expected);
}

TEST(MdxTree, SeekFindsTheFirstKeyAtOrAfterAPrefix) {
    testsupport::TempDir dir;
    std::vector<std::string> keys;
    for (int i = 0; i < 3000; ++i) {
        char text[kKeyLength + 1];
        std::snprintf(text, sizeof text, "%-20s", i % 2 ? "MILLER" : "ADAMS");
        keys.emplace_back(text, kKeyLength);
    }
    auto file = buildFile(dir.file("t.mdx"), keys);
    auto cursor = file->cursor("NEWINDEX");
    ASSERT_TRUE(cursor.seek("MIL"));
    EXPECT_EQ(cursor.recno(), 2u); // the first MILLER
    ASSERT_TRUE(cursor.seek("B"));
    EXPECT_EQ(cursor.recno(), 2u);
    ASSERT_TRUE(cursor.seek(""));
    EXPECT_EQ(cursor.recno(), 1u);
    EXPECT_TRUE(cursor.seek("ADAMS"));
    EXPECT_FALSE(cursor.seek("MILLERS"));
    EXPECT_FALSE(cursor.valid());
    EXPECT_FALSE(cursor.seek("ZZ"));
    // After the last entry, next() fails and keeps the cursor there.
    ASSERT_TRUE(cursor.last());
    EXPECT_FALSE(cursor.next());
    EXPECT_EQ(cursor.recno(), 3000u);
    ASSERT_TRUE(cursor.first());
    EXPECT_FALSE(cursor.prior());
    EXPECT_EQ(cursor.recno(), 1u);
}

// Random edits checked against a model: catches keys lost in splits, wrong order after interior
// key fix-ups and leaves left dangling when they empty.
TEST(MdxTree, InterleavedInsertsAndRemovalsMatchAModel) {
    testsupport::TempDir dir;
    std::mt19937 random(7);
    auto keys = randomKeys(2000, 300, 1);
    auto file = buildFile(dir.file("t.mdx"), keys);
    std::set<Entry> model;
    for (const Entry& entry : sortedEntries(keys))
        model.insert(entry);
    uint32_t nextRecno = uint32_t(keys.size()) + 1;
    for (int step = 1; step <= 6000; ++step) {
        // Phases that mostly grow, then mostly shrink (down to nothing), then grow again.
        const int removeChance = step < 2000 ? 30 : step < 4500 ? 90 : 20;
        if (!model.empty() && int(random() % 100) < removeChance) {
            auto victim = model.begin();
            std::advance(victim, random() % model.size());
            file->removeKey("NEWINDEX", victim->first, victim->second);
            model.erase(victim);
        } else {
            const Entry entry(randomKey(random, 300), nextRecno++);
            file->insertKey("NEWINDEX", entry.first, entry.second);
            model.insert(entry);
        }
        if (step % 100 == 0) {
            const Entries expected(model.begin(), model.end());
            ASSERT_EQ(walkForward(*file, "NEWINDEX"), expected) << "after step " << step;
            ASSERT_EQ(walkBackward(*file, "NEWINDEX"), expected) << "after step " << step;
        }
    }
}

TEST(MdxTree, RemovingAMissingEntryChangesNothing) {
    testsupport::TempDir dir;
    const auto keys = randomKeys(100, 10, 3);
    auto file = buildFile(dir.file("t.mdx"), keys);
    file->removeKey("NEWINDEX", keys[5], 99999);
    file->removeKey("NEWINDEX", std::string(kKeyLength, 'Z'), 1);
    EXPECT_EQ(walkForward(*file, "NEWINDEX"), sortedEntries(keys));
    EXPECT_THROW(file->insertKey("NEWINDEX", "short", 1), TableError);
    EXPECT_THROW(file->insertKey("NOSUCHTAG", keys[0], 1), TableError);
}

TEST(MdxTree, TagsAreIndependentAndSurviveReopening) {
    testsupport::TempDir dir;
    const auto first = randomKeys(5000, 100, 4);
    const auto second = randomKeys(700, 5000, 5);
    {
        auto file = buildFile(dir.file("t.mdx"), first, "FIRST");
        file->addTag(TagInfo{"Second", "Title", 'C', kKeyLength}, uint32_t(second.size()),
                     [&](uint32_t recno, std::string& key) { key = second[recno - 1]; });
        file->addTag(TagInfo{"third", "Title", 'C', kKeyLength}, 3,
                     [&](uint32_t, std::string& key) { key = std::string(kKeyLength, 'x'); });
        file->deleteTag("third");
        EXPECT_THROW(file->deleteTag("third"), TableError);
        // Replacing a tag frees the old blocks for the next build.
        file->addTag(TagInfo{"FIRST", "Author", 'C', kKeyLength}, uint32_t(first.size()),
                     [&](uint32_t recno, std::string& key) { key = first[recno - 1]; });
    }
    auto reopened = MdxFile::open(dir.file("t.mdx"), false);
    ASSERT_EQ(reopened->tags().size(), 2u);
    EXPECT_TRUE(reopened->hasTag("second"));
    EXPECT_FALSE(reopened->hasTag("third"));
    EXPECT_EQ(reopened->tags()[0].expression, "Author");
    EXPECT_EQ(walkForward(*reopened, "FIRST"), sortedEntries(first));
    EXPECT_EQ(walkForward(*reopened, "SECOND"), sortedEntries(second));
    EXPECT_THROW(reopened->insertKey("FIRST", first[0], 1), TableError); // read-only
}

TEST(MdxTree, ConsistencyMarkAndGenerationFollowChanges) {
    testsupport::TempDir dir;
    auto file = buildFile(dir.file("t.mdx"), randomKeys(10, 5, 6));
    auto other = MdxFile::open(dir.file("t.mdx"), true); // a second handle, as another process
    const uint64_t before = other->generation();
    file->beginChange();
    EXPECT_TRUE(other->changeInProgress());
    file->insertKey("NEWINDEX", std::string(kKeyLength, 'A'), 11);
    file->endChange(11);
    EXPECT_FALSE(other->changeInProgress());
    EXPECT_EQ(other->indexedRecordCount(), 11u);
    EXPECT_GT(other->generation(), before);
}

TEST(MdxTree, CursorOfAnotherHandleFollowsChanges) {
    testsupport::TempDir dir;
    const auto keys = randomKeys(3000, 3000, 8);
    auto file = buildFile(dir.file("t.mdx"), keys);
    auto reader = MdxFile::open(dir.file("t.mdx"), false);
    auto cursor = reader->cursor("NEWINDEX");
    const Entries sorted = sortedEntries(keys);
    ASSERT_TRUE(cursor.seekEntry(sorted[1500].first, sorted[1500].second));
    // The writer removes the current entry and splits leaves all around it.
    file->removeKey("NEWINDEX", sorted[1500].first, sorted[1500].second);
    for (uint32_t i = 0; i < 200; ++i)
        file->insertKey("NEWINDEX", sorted[1400].first, 5000 + i);
    ASSERT_TRUE(cursor.next());
    EXPECT_EQ(cursor.recno(), sorted[1501].second);
    ASSERT_TRUE(cursor.prior());
    EXPECT_EQ(cursor.recno(), sorted[1499].second);
}

// A handle that has read the whole tree sees every later change of another handle, splits and
// a new root included, and not what it read before.
TEST(MdxTree, HandleThatReadEverythingSeesLaterChanges) {
    testsupport::TempDir dir;
    std::vector<std::string> keys = randomKeys(2000, 50, 11);
    auto file = buildFile(dir.file("t.mdx"), keys);
    auto reader = MdxFile::open(dir.file("t.mdx"), false);
    ASSERT_EQ(walkForward(*reader, "NEWINDEX"), sortedEntries(keys));

    std::mt19937 random(12);
    for (uint32_t recno = 2001; recno <= 12000; ++recno) {
        keys.push_back(randomKey(random, 50));
        file->insertKey("NEWINDEX", keys.back(), recno);
    }
    const Entries sorted = sortedEntries(keys);
    for (size_t i = 0; i < sorted.size(); i += 3)
        file->removeKey("NEWINDEX", sorted[i].first, sorted[i].second);
    const Entries expected = walkForward(*file, "NEWINDEX");
    EXPECT_EQ(expected.size(), sorted.size() - (sorted.size() + 2) / 3);
    EXPECT_EQ(walkForward(*reader, "NEWINDEX"), expected);
    EXPECT_EQ(walkBackward(*reader, "NEWINDEX"), expected);
    auto cursor = reader->cursor("NEWINDEX");
    EXPECT_FALSE(cursor.seekEntry(sorted[0].first, sorted[0].second)); // removed
    EXPECT_TRUE(cursor.seekEntry(sorted[1].first, sorted[1].second));
}
