#include "wizard/forms/types/filter_slide.h"

#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <set>

namespace {

class FilterSlideTest : public ::testing::Test {
protected:
    FilterSlideTest() {
        page_.resize(300, 400);
        auto* layout = new QVBoxLayout(panel_);
        layout->addWidget(showButton_);
        layout->addWidget(hideButton_);
    }

    void showPage() {
        page_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page_));
    }

    // Runs the slide to its end, noting every height it passed through.
    std::set<int> slideHeights() {
        std::set<int> heights;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            heights.insert(panel_->height());
            return !slide_.sliding();
        }));
        return heights;
    }

    QWidget page_;
    QWidget* panel_ = new QWidget(&page_);
    QPushButton* showButton_ = new QPushButton(QStringLiteral("&Show File Filters >>"));
    QPushButton* hideButton_ = new QPushButton(QStringLiteral("&Hide File Filters <<"));
    FilterSlide slide_{panel_, showButton_, hideButton_};
};

TEST_F(FilterSlideTest, APageNotYetShownGetsTheEndStateAtOnce) {
    EXPECT_EQ(panel_->geometry().topLeft(), QPoint(0, 0));
    EXPECT_FALSE(showButton_->isHidden());
    EXPECT_TRUE(hideButton_->isHidden());
    slide_.showFilters();
    EXPECT_FALSE(slide_.sliding());
    EXPECT_TRUE(showButton_->isHidden());
    EXPECT_FALSE(hideButton_->isHidden());
    showPage();
    EXPECT_EQ(panel_->geometry(), QRect(0, 0, 300, 400 - 187));
}

// The focus moves on to the button that takes the pressed one's place.
TEST_F(FilterSlideTest, ShowAndHideStepOnATimerAndEndExactly) {
    page_.resize(300, 401);  // odd targets: the steps are even, the end is exact
    showPage();
    page_.activateWindow();
    showButton_->setFocus();
    slide_.showFilters();
    EXPECT_TRUE(slide_.sliding());
    EXPECT_EQ(panel_->height(), 401 - 65);  // nothing happened inside the call
    std::set<int> heights = slideHeights();
    EXPECT_EQ(panel_->height(), 401 - 187);
    EXPECT_TRUE(showButton_->isHidden());
    EXPECT_FALSE(hideButton_->isHidden());
    EXPECT_TRUE(hideButton_->hasFocus() || QApplication::focusWidget() == hideButton_);
    heights.erase(401 - 65);
    heights.erase(401 - 187);
    for (const int height : heights) {
        EXPECT_EQ(height % 2, 0) << height;
    }
    EXPECT_GT(heights.size(), 10u);

    slide_.hideFilters();
    slideHeights();
    EXPECT_EQ(panel_->height(), 401 - 65);
    EXPECT_FALSE(showButton_->isHidden());
    EXPECT_TRUE(hideButton_->isHidden());
}

TEST_F(FilterSlideTest, TheHeightFollowsResizesOfThePage) {
    showPage();
    slide_.showFilters();
    slideHeights();
    page_.resize(500, 600);
    EXPECT_EQ(panel_->geometry(), QRect(0, 0, 500, 600 - 187));
    slide_.hideFilters();
    page_.resize(400, 700);  // while sliding: the slide ends at the new page's target
    slideHeights();
    EXPECT_EQ(panel_->geometry(), QRect(0, 0, 400, 700 - 65));
}

}  // namespace
