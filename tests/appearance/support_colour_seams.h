#pragma once

// Seams for the colour tests: the colour dialog answers from a script and records what it was
// opened on; every other dialog or service fails the test when called.

#include "support/scripted_messages.h"
#include "widgets/seams.h"

#include <deque>
#include <memory>
#include <vector>

namespace colourtest {

class ScriptedColourChooser : public widgets::ColourChooser {
public:
    void script(std::optional<QColor> answer) { answers_.push_back(answer); }
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;

    std::vector<QColor> initialColours;
    bool exhausted() const { return answers_.empty(); }

private:
    std::deque<std::optional<QColor>> answers_;
};

// Owns one of every seam; `seams` hands them to a window.
class ColourSeams {
public:
    ColourSeams();
    ~ColourSeams();
    ColourSeams(const ColourSeams&) = delete;
    ColourSeams& operator=(const ColourSeams&) = delete;

    testsupport::ScriptedMessages messages;
    ScriptedColourChooser colours;
    widgets::Seams seams();

private:
    struct Unexpected;
    std::unique_ptr<Unexpected> unexpected_;
};

} // namespace colourtest
