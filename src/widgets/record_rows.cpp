#include "widgets/record_rows.h"

#include <algorithm>
#include <limits>
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
    search_ = {};
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
    if (!table_.goToRecord(fromRecno)) {
        anchorLost_ = true; // the record is gone: the caller starts from an end instead
        return false;
    }
    const bool forward = target >= from;
    const int stop =
        forward ? std::min(target + kWalkAhead, rowCount() - 1) : std::max(target - kWalkAhead, 0);
    int row = from;
    for (int steps = 0; row != stop && steps < limit_; ++steps) {
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
    anchorLost_ = false;
    if (best == fromBelow && below >= 0)
        found = walkTo(row, below, recnos_[static_cast<size_t>(below)]);
    else if (best == fromAbove && above >= 0)
        found = walkTo(row, above, recnos_[static_cast<size_t>(above)]);
    const bool fromKnownRow =
        (best == fromBelow && below >= 0) || (best == fromAbove && above >= 0);
    if (!found && (!fromKnownRow || anchorLost_))
        found = fromTop <= fromBottom ? walkFromTop(row) : walkFromBottom(row);
    return found ? recnos_[static_cast<size_t>(row)] : 0;
}

int RecordRows::distanceToKnown(int row) const {
    if (row < 0 || row >= rowCount())
        return 0;
    const int below = nearestKnownAtOrBelow(row);
    const int above = nearestKnownAtOrAbove(row);
    int distance = std::min(row, rowCount() - 1 - row);
    if (below >= 0)
        distance = std::min(distance, row - below);
    if (above >= 0)
        distance = std::min(distance, above - row);
    return distance;
}

bool RecordRows::walkToward(int row, int maxSteps) {
    limit_ = std::max(maxSteps, 1);
    try {
        recordAt(row);
    } catch (...) {
        limit_ = std::numeric_limits<int>::max();
        throw;
    }
    limit_ = std::numeric_limits<int>::max();
    return knownRecordAt(row) != 0;
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
    if (!beginSearch(recno, isNew))
        return -1;
    const int row = continueSearch(std::numeric_limits<int>::max());
    return row >= 0 ? row : -1;
}

bool RecordRows::beginSearch(uint32_t recno, bool isNew) {
    search_ = {};
    ++moves_;
    if (!table_.goToRecord(recno))
        return false;
    search_.active = true;
    search_.recno = recno;
    search_.isNew = isNew;
    search_.backEnd = recno;
    search_.frontEnd = recno;
    return true;
}

// Walks backwards and forwards in turn, a chunk at a time, until a known row or an end of the
// table fixes the record's row. Walking backwards, the first known record met is the last row of
// a known range; walking forwards, the first row of one. Returns the row (the placement is then
// ready), kSearching when `maxMoves` ran out first, kNotFound when the rows no longer fit.
int RecordRows::continueSearch(int maxMoves) {
    Search& s = search_;
    if (!s.active)
        return kNotFound;
    std::unordered_map<uint32_t, int> rangeLasts;
    std::unordered_map<uint32_t, int> rangeFirsts;
    for (const auto& [first, end] : knownRanges_) {
        rangeFirsts[recnos_[static_cast<size_t>(first)]] = first;
        rangeLasts[recnos_[static_cast<size_t>(end - 1)]] = end - 1;
    }
    const int before = s.isNew ? 0 : 1; // rows known after a new record still count it out
    int row = -1;
    int budget = maxMoves;
    while (row < 0 && !(s.backDone && s.frontDone) && budget > 0) {
        for (bool forward : {false, true}) {
            bool& done = forward ? s.frontDone : s.backDone;
            if (done || row >= 0)
                continue;
            std::vector<uint32_t>& passed = forward ? s.ahead : s.behind;
            uint32_t& end = forward ? s.frontEnd : s.backEnd;
            ++moves_;
            if (!table_.goToRecord(end)) { // the table changed under the search
                s.active = false;
                stale_ = true;
                return kNotFound;
            }
            const int chunk = std::min(kSearchChunk, std::max(budget / 2, 1));
            budget -= chunk;
            for (int taken = 0; taken < chunk; ++taken) {
                if (!step(forward)) {
                    done = true;
                    row = forward ? rowCount() - before - static_cast<int>(s.ahead.size())
                                  : static_cast<int>(s.behind.size());
                    break;
                }
                end = table_.recordNumber();
                const auto& boundaries = forward ? rangeFirsts : rangeLasts;
                if (auto known = boundaries.find(end); known != boundaries.end()) {
                    row = forward ? known->second - static_cast<int>(s.ahead.size()) - before
                                  : known->second + static_cast<int>(s.behind.size()) + 1;
                    break;
                }
                passed.push_back(end);
            }
        }
    }
    if (row < 0 && !(s.backDone && s.frontDone))
        return kSearching;
    s.active = false;
    if (row < 0 || row > rowCount() || (row == rowCount() && !s.isNew)) {
        stale_ = true;
        return kNotFound;
    }
    placement_ = {row, s.recno, s.isNew, std::move(s.behind), std::move(s.ahead)};
    return row;
}

int RecordRows::findRow(uint32_t recno, int maxMoves) {
    if (recno == 0 || !table_.isOpen())
        return kNotFound;
    if (int known = knownRowOf(recno, 0); known >= 0)
        return known;
    if (!beginSearch(recno, false))
        return kNotFound;
    return continueFind(maxMoves);
}

int RecordRows::continueFind(int maxMoves) {
    const int row = continueSearch(maxMoves);
    if (row >= 0)
        commit();
    return row;
}

} // namespace widgets
