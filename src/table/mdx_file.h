#pragma once

// A dBASE IV production index (.MDX): 1 024-byte blocks, up to 48 tags, each a B-tree of
// character keys ordered by key bytes, then by record number. Files we write list and walk
// correctly in other dBASE readers; files others wrote are read.
//
// Several processes may share one .MDX: every read goes to the file (through the OS page cache)
// and every change bumps a generation counter kept in the file header, so a cursor notices that
// another handle changed the tree and finds its place again. Callers serialise writers (the
// table holds its header lock around every change).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace table {

struct TagInfo {
    std::string name;
    std::string expression;
    char keyType = 'C';
    uint32_t keyLength = 0;
};

// Called now and then during long work with a fraction done in 0..1.
using Progress = std::function<void(double)>;
// Fills `key` with the key of record `recno` (1-based). dBASE tags index every record, deleted
// ones included.
using KeySource = std::function<void(uint32_t recno, std::string& key)>;

class MdxFile {
public:
    ~MdxFile();
    MdxFile(const MdxFile&) = delete;
    MdxFile& operator=(const MdxFile&) = delete;

    // Throws TableError naming the file when it cannot be opened or is not a usable .MDX.
    static std::unique_ptr<MdxFile> open(const std::string& path, bool writable);
    // Creates an empty production index for `tableName` (replacing any file at `path`).
    static std::unique_ptr<MdxFile> create(const std::string& path, const std::string& tableName);

    const std::string& path() const;
    std::vector<TagInfo> tags() const;
    bool hasTag(std::string_view name) const; // names compare without regard to case

    // Builds a tag over records 1..recordCount in one pass (keys sorted in memory, tree written
    // bottom-up). Replaces a tag of the same name.
    void addTag(const TagInfo& tag, uint32_t recordCount, const KeySource& keyOf,
                const Progress& progress = {});
    void deleteTag(std::string_view name);
    // Rebuilds every tag from the records (regenerate indexes).
    void rebuildAll(uint32_t recordCount,
                    const std::function<KeySource(const TagInfo&)>& keySourceFor,
                    const Progress& progress = {});

    // Key maintenance for one tag; `key` has exactly the tag's key length.
    void insertKey(std::string_view tag, std::string_view key, uint32_t recno);
    void removeKey(std::string_view tag, std::string_view key, uint32_t recno);

    // indexedRecordCount() of a file that another program wrote: it carries no such mark, and
    // is trusted as it stands.
    static constexpr uint32_t kUnknownRecordCount = UINT32_MAX;

    // Consistency with the table: the record count the index was last brought up to date with,
    // and whether a change was under way when the file was last closed (a crash mid-update).
    // The table compares these with the .DBF at open and rebuilds a stale index.
    uint32_t indexedRecordCount() const;
    bool changeInProgress() const;
    void beginChange();                          // marks the file "change in progress"
    void endChange(uint32_t indexedRecordCount); // clears the mark, records the count
    uint64_t generation() const;                 // bumped by every change, from any process

    // A run of changes by the file's only user (nobody else has it open until the run ends):
    // the file is marked "change in progress" once, and the changed blocks are kept in memory
    // and written out now and then and at endBatch(), which then clears the mark as
    // endChange() does. Killed in between, the file is left marked, and the table's next open
    // rebuilds it. beginChange() and endChange() must not be used meanwhile.
    void beginBatch();
    void endBatch(uint32_t indexedRecordCount);
    bool inBatch() const;

    void flush();

    // Walks one tag in key order (then record number).
    class Cursor {
    public:
        ~Cursor();
        Cursor(Cursor&&) noexcept;
        Cursor& operator=(Cursor&&) noexcept;
        bool first();
        bool last();
        bool next();  // false at the end; the cursor then stays on the last entry
        bool prior(); // false at the start; the cursor then stays on the first entry
        // Positions on the first entry whose key is >= `key` (compared over the shorter length,
        // blank-padded); returns false when there is none (the cursor is then past the end).
        bool seek(std::string_view key);
        // Positions exactly on (key, recno); false when that entry does not exist.
        bool seekEntry(std::string_view key, uint32_t recno);
        bool valid() const;
        uint32_t recno() const;
        // The record number `steps` entries further on in the same leaf, or 0: a hint for
        // reading ahead, which may be stale when another handle is changing the tag.
        uint32_t recnoAhead(uint32_t steps) const;
        std::string_view key() const;

    private:
        friend class MdxFile;
        struct State;
        explicit Cursor(std::unique_ptr<State> state);
        std::unique_ptr<State> state_;
    };
    Cursor cursor(std::string_view tag) const;

    struct Impl;

private:
    explicit MdxFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace table
