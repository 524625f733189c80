#include "app/about_box.h"
#include "app/tip_of_day.h"
#include "settings/settings.h"

#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

class TipWindowTest : public ::testing::Test {
protected:
    testsupport::ScriptedSeams seams;
    app::Settings settings;
};

TEST(Tips, AreTheTwentyFourTextsInOrder) {
    EXPECT_EQ(app::tipText(1), "You can rename database fields to your liking.");
    EXPECT_EQ(app::tipText(9),
              "You can sort your data by any database field and go four levels deep.");
    EXPECT_EQ(app::tipText(24), "A \"Browse Mode\" is available where a user has access to the "
                                "data, but cannot change it.");
    for (int number = 1; number <= app::kTipCount; ++number)
        EXPECT_FALSE(app::tipText(number).isEmpty()) << number;
    EXPECT_TRUE(app::tipText(0).isEmpty());
    EXPECT_TRUE(app::tipText(25).isEmpty());
}

TEST_F(TipWindowTest, FirstTipIsRandomAndNextWrapsFromTheLastToTheFirst) {
    // The scripted source refuses a number not below the bound asked for: 23 is the last.
    seams.random.script({23});
    app::TTipOfDay tips(seams.seams, settings, 1.0);
    tips.show();
    EXPECT_EQ(tips.windowTitle(), "Tip of the Day");
    EXPECT_EQ(tips.tipNumber(), 24);
    EXPECT_EQ(tips.TipComment()->text(), app::tipText(24));

    QTest::mouseClick(tips.NextButton(), Qt::LeftButton);
    EXPECT_EQ(tips.tipNumber(), 1);
    EXPECT_EQ(tips.TipComment()->text(), app::tipText(1));
    QTest::mouseClick(tips.NextButton(), Qt::LeftButton);
    EXPECT_EQ(tips.TipComment()->text(), app::tipText(2));
    EXPECT_EQ(tips.NextButton()->text(), "&Next Tip");
    EXPECT_EQ(tips.CloseButton()->text(), "&Close");
}

TEST_F(TipWindowTest, UncheckingShowTipsIsStoredAtCloseAndReachesTheSettingsFile) {
    testsupport::TempDir dir;
    const QString ini = QString::fromStdString(dir.file("VLMBOOK.INI"));
    seams.random.script({0});
    {
        app::TTipOfDay tips(seams.seams, settings, 1.0);
        tips.show();
        EXPECT_TRUE(tips.ShowTips()->isChecked());
        EXPECT_EQ(tips.ShowTips()->text(), "&Show Tips at Startup");
        QTest::keyClick(tips.ShowTips(), Qt::Key_Space);
        EXPECT_TRUE(settings.showTips) << "stored only when the window closes";
        QTest::mouseClick(tips.CloseButton(), Qt::LeftButton);
        EXPECT_FALSE(tips.isVisible());
    }
    EXPECT_FALSE(settings.showTips);
    ASSERT_TRUE(app::saveSettings(settings, ini));
    app::Settings nextStart = app::loadSettings(ini, dir.path().c_str());
    EXPECT_FALSE(nextStart.showTips);

    // Shown again from the Help menu, the box is unchecked; Escape closes and keeps a change.
    seams.random.script({5});
    app::TTipOfDay again(seams.seams, nextStart, 1.0);
    again.show();
    EXPECT_FALSE(again.ShowTips()->isChecked());
    again.ShowTips()->setChecked(true);
    QTest::keyClick(&again, Qt::Key_Escape);
    EXPECT_TRUE(nextStart.showTips);
}

TEST_F(TipWindowTest, AboutBoxShowsNameAndVersionAndOkCloses) {
    app::TAboutBox about(seams.seams, 1.0);
    about.show();
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.ProductName()->text(), "Volumara Books 95");
    EXPECT_EQ(about.Version()->text(), "Version 3.0a");
    EXPECT_TRUE(about.ProductName()->font().bold());
    EXPECT_TRUE(about.Version()->font().bold());
    EXPECT_EQ(about.OkButton()->text(), "&Ok");
    QTest::mouseClick(about.OkButton(), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_TRUE(seams.messages.shown.empty());
}

} // namespace
