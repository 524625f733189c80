// The general error display: an engine error that leaves an event handler is shown with its
// own message, and the event loop goes on.

#include "support/gui/scripted_seams.h"
#include "table/table_error.h"
#include "widgets/error_display.h"

#include <QMetaObject>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ErrorDisplay, AnErrorLeavingAnEventHandlerIsShownAndTheLoopGoesOn) {
    widgets::GuardedApplication* application = widgets::GuardedApplication::instance();
    ASSERT_NE(application, nullptr);
    testsupport::ScriptedSeams seams;
    application->setErrorDisplay(&seams.messages);

    QPushButton button(QStringLiteral("Next"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] {
        if (++clicks == 1)
            throw table::TableError("The table \"BOOKS.DBF\" is not open.");
    });
    button.show();
    struct Case {
        const char* name;
        std::function<void()> provoke;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"a click",
         [&] {
             QMetaObject::invokeMethod(&button, "clicked", Qt::QueuedConnection);
             QApplication::processEvents();
         },
         "The table \"BOOKS.DBF\" is not open."},
        {"a queued call",
         [&] {
             QMetaObject::invokeMethod(
                 &button, [] { throw table::TableError("Cannot read the table."); },
                 Qt::QueuedConnection);
             QApplication::processEvents();
         },
         "Cannot read the table."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seams.messages.expect("Error", c.message, db::MessageAnswer::Ok);
        c.provoke();
        seams.messages.verifyAllShown();
    }
    button.click(); // the program went on
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(seams.messages.beeps.size() >= 2u);
    application->setErrorDisplay(nullptr);
}

} // namespace
