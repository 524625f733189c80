#include "widgets/record_rows.h"

#include <algorithm>
#include <unordered_map>

namespace widgets {

namespace {
// Rows walked past the target, so that the rest of a screen is known after one walk.
constexpr int kWalkAhead = 64;
// Steps taken in one direction before turning round when looking for a record's row.
constexpr int kSearchChunk = 2048;
} // namespace

void RecordRows::reset(int rowCount) {
    recnos_.assign(static_cast<size_t>(std::max(rowCount, 0)), 0);
    knownRanges_.clear();
    stale_ = false;
}

int RecordRows::knownRows() const {
    int total = 0;
    for (const auto& [first, end] : knownRanges_)
        total += end - first;
    return total;
}

void RecordRows::remember(int row, uint32_t recno) {
    if (row < 0 || row >= rowCount() || recno == 0)
        return;
    recnos_[static_cast<size_t>(row)] = recno;
    // Join the range ending at `row` and the one starting after it.
    int first = row;
    int end = row + 1;
    auto after = knownRanges_.upper_bound(row);
    if (after != knownRanges_.begin()) {
        auto before = std::prev(after);
        if (before->second >= row) {
            first = before->first;
            end = std::max(end, before->second);
            knownRanges_.erase(before);
        }
    }
    after = knownRanges_.lower_bound(row + 1);
    if (after != knownRanges_.end() && after->first <= end) {
        end = std::max(end, after->second);
        knownRanges_.erase(after);
    }
    knownRanges_[first] = end;
}

int RecordRows::nearestKnownAtOrBelow(int row) const {
    auto after = knownRanges_.upper_bound(row);
    if (after == knownRanges_.begin())
        return -1;
    auto range = std::prev(after);
    return std::min(row, range->second - 1);
}

int RecordRows::nearestKnownAtOrAbove(int row) const {
    auto after = knownRanges_.upper_bound(row);
    if (after != knownRanges_.begin() && std::prev(after)->second > row)
        return row;
    return after == knownRanges_.end() ? -1 : after->first;
}

bool RecordRows::step(bool forward) {
    ++moves_;
    if (forward) {
        table_.next();
        return !table_.eof();
    }
    table_.prior();
    return !table_.bof();
}

// Walks from a known row to `target`, remembering every row passed, and a little beyond.
bool RecordRows::walkTo(int target, int from, uint32_t fromRecno) {
    ++moves_;
    if (!table_.goToRecord(fromRecno))
        return false; // the record is gone: the caller starts from an end instead
    const bool forward = target >= from;
    const int stop =
        forward ? std::min(target + kWalkAhead, rowCount() - 1) : std::max(target - kWalkAhead, 0);
    int row = from;
    while (row != stop) {
        if (!step(forward)) {
            stale_ = true;
            break;
        }
        row += forward ? 1 : -1;
        remember(row, table_.recordNumber());
    }
    return recnos_[static_cast<size_t>(target)] != 0;
}

bool RecordRows::walkFromTop(int target) {
    ++moves_;
    table_.first();
    if (table_.recordNumber() == 0) {
        stale_ = rowCount() > 0;
        return false;
    }
    remember(0, table_.recordNumber());
    return target == 0 ? true : walkTo(target, 0, recnos_[0]);
}

bool RecordRows::walkFromBottom(int target) {
    ++moves_;
    table_.last();
    const int lastRow = rowCount() - 1;
    if (table_.recordNumber() == 0) {
        stale_ = rowCount() > 0;
        return false;
    }
    remember(lastRow, table_.recordNumber());
    return target == lastRow ? true
                             : walkTo(target, lastRow, recnos_[static_cast<size_t>(lastRow)]);
}

uint32_t RecordRows::recordAt(int row) {
    if (row < 0 || row >= rowCount())
        return 0;
    if (recnos_[static_cast<size_t>(row)] != 0)
        return recnos_[static_cast<size_t>(row)];
    if (!table_.isOpen())
        return 0;
    const int below = nearestKnownAtOrBelow(row);
    const int above = nearestKnownAtOrAbove(row);
    const int fromTop = row;
    const int fromBottom = rowCount() - 1 - row;
    const int fromBelow = below >= 0 ? row - below : fromTop + 1;
    const int fromAbove = above >= 0 ? above - row : fromBottom + 1;
    const int best = std::min({fromTop, fromBottom, fromBelow, fromAbove});
    bool found = false;
    if (best == fromBelow && below >= 0)
        found = walkTo(row, below, recnos_[static_cast<size_t>(below)]);
    else if (best == fromAbove && above >= 0)
        found = walkTo(row, above, recnos_[static_cast<size_t>(above)]);
    if (!found && recnos_[static_cast<size_t>(row)] == 0)
        found = fromTop <= fromBottom ? walkFromTop(row) : walkFromBottom(row);
    return found ? recnos_[static_cast<size_t>(row)] : 0;
}

int RecordRows::knownRowOf(uint32_t recno, int hint) const {
    if (recno == 0)
        return -1;
    for (int delta : {0, 1, -1, 2, -2}) {
        const int row = hint + delta;
        if (row >= 0 && row < rowCount() && recnos_[static_cast<size_t>(row)] == recno)
            return row;
    }
    auto found = std::find(recnos_.begin(), recnos_.end(), recno);
    return found == recnos_.end() ? -1 : static_cast<int>(found - recnos_.begin());
}

int RecordRows::rowOf(uint32_t recno) {
    if (recno == 0 || !table_.isOpen())
        return -1;
    if (int known = knownRowOf(recno, 0); known >= 0)
        return known;
    const int row = locate(recno, false);
    if (row >= 0)
        commit();
    return row;
}

int RecordRows::placeNewRecord(uint32_t recno) {
    placement_ = {};
    if (recno == 0 || !table_.isOpen())
        return -1;
    return locate(recno, true);
}

void RecordRows::insertPlaced() {
    if (placement_.row >= 0 && placement_.isNew)
        commit();
    placement_ = {};
}

void RecordRows::commit() {
    const Placement& p = placement_;
    if (p.isNew) {
        recnos_.insert(recnos_.begin() + p.row, 0);
        shiftRanges(p.row, 1);
    }
    remember(p.row, p.recno);
    for (size_t i = 0; i < p.behind.size(); ++i)
        remember(p.row - 1 - static_cast<int>(i), p.behind[i]);
    for (size_t i = 0; i < p.ahead.size(); ++i)
        remember(p.row + 1 + static_cast<int>(i), p.ahead[i]);
}

void RecordRows::shiftRanges(int from, int by) {
    std::map<int, int> shifted;
    for (const auto& [oldFirst, oldEnd] : knownRanges_) {
        const int first = oldFirst >= from ? oldFirst + by : oldFirst;
        const int end = oldEnd > from ? oldEnd + by : oldEnd;
        if (end > first)
            shifted[first] = end;
    }
    knownRanges_ = std::move(shifted);
}

void RecordRows::removeRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    recnos_.erase(recnos_.begin() + row);
    // Split the range holding the row, then close the gap.
    std::map<int, int> split;
    for (const auto& [first, end] : knownRanges_) {
        if (first <= row && row < end) {
            if (first < row)
                split[first] = row;
            if (row + 1 < end)
                split[row + 1] = end;
        } else {
            split[first] = end;
        }
    }
    knownRanges_ = std::move(split);
    shiftRanges(row + 1, -1);
}

// The row of a record not known yet. For a record just added (`isNew`) the rows already known
// below it are still numbered as before it came, so it goes in front of the first of them.
int RecordRows::locate(uint32_t recno, bool isNew) {
    ++moves_;
    if (!table_.goToRecord(recno))
        return -1;
    // Walk backwards and forwards in turn, a chunk at a time, until a known row or an end of the
    // table fixes the record's row; the records passed are remembered once it is fixed.
    // Walking backwards, the first known record met is the last row of a known range; walking
    // forwards, the first row of one.
    std::unordered_map<uint32_t, int> rangeLasts;
    std::unordered_map<uint32_t, int> rangeFirsts;
    for (const auto& [first, end] : knownRanges_) {
        rangeFirsts[recnos_[static_cast<size_t>(first)]] = first;
        rangeLasts[recnos_[static_cast<size_t>(end - 1)]] = end - 1;
    }
    std::vector<uint32_t> behind; // records before `recno`, nearest first
    std::vector<uint32_t> ahead;  // records after it, nearest first
    uint32_t backEnd = recno;
    uint32_t frontEnd = recno;
    bool backDone = false;
    bool frontDone = false;
    int row = -1;
    while (row < 0 && !(backDone && frontDone)) {
        for (bool forward : {false, true}) {
            bool& done = forward ? frontDone : backDone;
            if (done || row >= 0)
                continue;
            std::vector<uint32_t>& passed = forward ? ahead : behind;
            uint32_t& end = forward ? frontEnd : backEnd;
            ++moves_;
            table_.goToRecord(end);
            for (int taken = 0; taken < kSearchChunk; ++taken) {
                if (!step(forward)) {
                    done = true;
                    if (!forward)
                        row = static_cast<int>(behind.size());
                    else
                        row = rowCount() - (isNew ? 0 : 1) - static_cast<int>(ahead.size());
                    break;
                }
                end = table_.recordNumber();
                const auto& boundaries = forward ? rangeFirsts : rangeLasts;
                if (auto known = boundaries.find(end); known != boundaries.end()) {
                    row = forward ? known->second - static_cast<int>(ahead.size()) - (isNew ? 0 : 1)
                                  : known->second + static_cast<int>(behind.size()) + 1;
                    break;
                }
                passed.push_back(end);
            }
        }
    }
    if (row < 0 || row > rowCount() || (row == rowCount() && !isNew)) {
        stale_ = true;
        return -1;
    }
    placement_ = {row, recno, isNew, std::move(behind), std::move(ahead)};
    return row;
}

} // namespace widgets
