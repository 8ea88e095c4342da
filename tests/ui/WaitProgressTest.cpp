// The Wait box's progress rule and the Exit dialog's one way out.
#include "ui/WaitProgress.h"

#include <gtest/gtest.h>

#include "support/Clocks.h"
#include "support/RecordingUi.h"
#include "support/TestView.h"
#include "ui/ExitDialog.h"

namespace tarnwick {
namespace {

using testing::RecordingUi;
using testing::TestView;

TEST(WaitProgress, StepsFillTheBarInTenAndThenStartOver) {
  RecordingUi ui;
  ManualClock clock;
  WaitProgress wait(ui, clock);
  wait.Show("Working.");
  ASSERT_EQ(ui.waits.size(), 1u);
  EXPECT_EQ(ui.waits[0]->text, "Working.");

  for (int i = 0; i < 12; ++i) wait.Step();
  EXPECT_EQ(ui.waits[0]->positions,
            (std::vector<int>{0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 20, 40}));
  // Every step is a fixed 200 ms pause; opening the box costs nothing.
  EXPECT_EQ(clock.Now(), 12 * 200);
}

TEST(WaitProgress, FinishIsSixStepsAndCloseDestroysTheBox) {
  RecordingUi ui;
  ManualClock clock;
  WaitProgress wait(ui, clock);
  wait.Show("");
  wait.Step();
  wait.Repaint();
  wait.Finish();
  EXPECT_EQ(ui.waits[0]->text, "");  // the box keeps its own default text
  EXPECT_EQ(ui.waits[0]->positions, (std::vector<int>{0, 20, 40, 60, 80, 100, 120, 140}));
  EXPECT_EQ(ui.waits[0]->repaints, 1);
  EXPECT_EQ(clock.Now(), 7 * 200);
  EXPECT_FALSE(ui.waits[0]->closed);
  wait.Close();
  EXPECT_TRUE(ui.waits[0]->closed);
  EXPECT_FALSE(wait.IsOpen());
}

TEST(WaitProgress, LeavingTheOperationClosesTheBox) {
  RecordingUi ui;
  ManualClock clock;
  {
    WaitProgress wait(ui, clock);
    wait.Show("a");
    wait.Show("b");  // a second Show replaces the first box and starts at 0 again
    EXPECT_TRUE(ui.waits[0]->closed);
    EXPECT_EQ(ui.waits[1]->positions, std::vector<int>{0});
  }
  EXPECT_TRUE(ui.waits[1]->closed);
}

TEST(ExitDialog, OkIsTheOnlyWayOut) {
  CExitDlg exit;
  TestView view;
  exit.Attach(&view);
  exit.OnCancel();  // Escape, the close box
  EXPECT_TRUE(view.endResults.empty());
  exit.OnOK();
  EXPECT_EQ(view.endResults, std::vector<int>{1});
}

}  // namespace
}  // namespace tarnwick
