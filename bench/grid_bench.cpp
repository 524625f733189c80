// Times the record grid on a book table: opening it and painting the first screen, jumping to
// the last row with Ctrl+End, dragging the scroll bar to the middle and back to the top, and
// finding the row of a record the table moved to. The table is opened read-only and never
// changed. Each line of output is one operation:
//     {"op": "...", "seconds": S, "cursor_moves": M, "rows_read": R}
// where S runs until the rows are on the screen (a far jump paints blank rows at once and fills
// them in as the walk toward them goes on from the event loop; the window never freezes).
//
//     grid_bench /tmp/bench/BOOKS.DBF

#include "widgets/record_grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// Seconds with a "." whatever LC_NUMERIC QApplication took from the environment: the output is
// JSON.
std::string secondsText(double seconds) {
    char text[64];
    const auto written =
        std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 6);
    return std::string(text, written.ptr);
}

class Timer {
public:
    explicit Timer(widgets::RecordGrid& grid) : grid_(grid) {
        moves_ = grid.bookModel().cursorMoves();
        rows_ = grid.bookModel().rowsRead();
        clock_.start();
    }
    void report(const char* op) {
        const double seconds = static_cast<double>(clock_.nsecsElapsed()) / 1e9;
        std::printf("{\"op\": \"%s\", \"seconds\": %s, \"cursor_moves\": %llu, "
                    "\"rows_read\": %llu}\n",
                    op, secondsText(seconds).c_str(),
                    static_cast<unsigned long long>(grid_.bookModel().cursorMoves() - moves_),
                    static_cast<unsigned long long>(grid_.bookModel().rowsRead() - rows_));
        std::fflush(stdout);
    }

private:
    widgets::RecordGrid& grid_;
    QElapsedTimer clock_;
    uint64_t moves_;
    uint64_t rows_;
};

// Paints the grid now, as the screen would after the event, then lets a walk toward far rows
// finish (painting after each step, as the window would).
void paint(widgets::RecordGrid& grid) {
    QApplication::processEvents();
    (void)grid.grab();
    while (grid.bookModel().walkPending()) {
        QApplication::processEvents();
        (void)grid.grab();
    }
}

class NoMessages : public db::UserMessages {
public:
    db::MessageAnswer show(const std::string& caption, const std::string& text, db::MessageIcon,
                           db::MessageButtons, db::MessageAnswer defaultAnswer) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return defaultAnswer;
    }
    void beep(db::BeepKind) override {}
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: grid_bench BOOKS.DBF\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path path = std::filesystem::absolute(argv[1]);

    NoMessages messages;
    table::Table table;
    try {
        table.setDirectory(path.parent_path().string());
        table.setTableName(path.filename().string());
        table.setOpenMode(table::OpenMode::ReadOnly);
        table.selectTag("NewIndex");

        QElapsedTimer clock;
        clock.start();
        table.open();
        const double opened = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const uint32_t count = table.recordCount(); // counted once; the model then finds it kept
        const double counted = static_cast<double>(clock.nsecsElapsed()) / 1e9 - opened;
        std::printf("{\"op\": \"open_table\", \"seconds\": %s}\n", secondsText(opened).c_str());
        std::printf("{\"op\": \"record_count\", \"seconds\": %s, \"records\": %u}\n",
                    secondsText(counted).c_str(), count);
        widgets::RecordGrid grid(table, messages);
        grid.setColumns(widgets::columnsFromTableDisplay(table));
        grid.resize(1024, 700);
        grid.show();
        paint(grid);
        const double firstScreen = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        std::printf("{\"op\": \"open_first_screen\", \"seconds\": %s, \"cursor_moves\": %llu, "
                    "\"rows_read\": %llu, \"rows\": %d}\n",
                    secondsText(firstScreen).c_str(),
                    static_cast<unsigned long long>(grid.bookModel().cursorMoves()),
                    static_cast<unsigned long long>(grid.bookModel().rowsRead()),
                    grid.model()->rowCount());

        {
            Timer timer(grid);
            QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
            QApplication::sendEvent(&grid, &end);
            paint(grid);
            timer.report("ctrl_end_last_screen");
        }
        {
            Timer timer(grid);
            grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum() / 2);
            paint(grid);
            timer.report("scroll_to_middle");
        }
        {
            Timer timer(grid);
            grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum() / 2 + 5000);
            paint(grid);
            timer.report("scroll_5000_further");
        }
        {
            Timer timer(grid);
            grid.verticalScrollBar()->setValue(0);
            paint(grid);
            timer.report("scroll_to_top");
        }
        {
            Timer timer(grid);
            QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::ControlModifier);
            QApplication::sendEvent(&grid, &home);
            paint(grid);
            timer.report("ctrl_home_first_screen");
        }
        {
            // A record reached by locate: the grid finds its row.
            Timer timer(grid);
            table.findNearest("M");
            paint(grid);
            timer.report("follow_located_record");
        }
        {
            Timer timer(grid);
            grid.reload();
            paint(grid);
            timer.report("reload_in_the_middle");
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
