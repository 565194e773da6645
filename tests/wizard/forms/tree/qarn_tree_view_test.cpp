#include "wizard/forms/tree/qarn_tree_view.h"

#include <QBuffer>
#include <QDataStream>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "wizard/forms/tree/checkbox_images.h"
#include "wizard/forms/tree/ex_image_list.h"
#include "wizard/support/type_tree_nodes.h"

namespace {

// A node and its branch, as the test builds them: states stored as they are.
struct Spec {
    int state;
    std::vector<Spec> children = {};
};

void Build(TqarnTreeView& view, TqarnTreeNode* parent, const std::vector<Spec>& specs) {
    for (const Spec& spec : specs) {
        TqarnTreeNode* node = view.insertNode(parent, -1, QStringLiteral("node"), -1, nullptr);
        view.nodes()->setStateIndex(node, spec.state);
        Build(view, node, spec.children);
    }
}

std::vector<int> States(const TqarnTreeView& view) {
    std::vector<int> states;
    for (const TqarnTreeNode* node : view.nodes()->nodesInTreeOrder()) {
        states.push_back(node->stateIndex());
    }
    return states;
}

TqarnTreeNode* NodeAt(const TqarnTreeView& view, const std::vector<int>& path) {
    TqarnTreeNode* node = view.nodes()->root(path.front());
    for (std::size_t i = 1; i < path.size(); ++i) {
        node = node->child(path[i]);
    }
    return node;
}

struct RuleCase {
    std::string name;
    std::vector<Spec> tree;
    int stateIgnore;
    std::function<void(TqarnTreeView&)> act;
    std::vector<int> expected;  // in tree order
};

void SetAt(TqarnTreeView& view, const std::vector<int>& path, int state) {
    view.setStateIndex(NodeAt(view, path), state);
}

void PrintTo(const RuleCase& test, std::ostream* out) {
    *out << test.name;
}

class TreeRulesTest : public ::testing::TestWithParam<RuleCase> {};

// The tree is built with recursion already on, its states stored as written: each case
// starts from exactly the states it lists.
TEST_P(TreeRulesTest, StatesFollowTheRules) {
    const RuleCase& test = GetParam();
    TqarnTreeView view;
    view.setStateIgnore(test.stateIgnore);
    view.setStateRecursion(true);
    Build(view, nullptr, test.tree);
    test.act(view);
    EXPECT_EQ(States(view), test.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeRulesTest,
    ::testing::Values(
        RuleCase{"mixed_children_make_a_mixed_root_then_checking_the_other_checks_it", {{-1}}, 0,
                 [](TqarnTreeView& v) {
                     TqarnTreeNode* root = v.nodes()->root(0);
                     v.setStateIndex(v.insertNode(root, -1, {}, -1, nullptr), 1);
                     EXPECT_EQ(root->stateIndex(), 1);
                     v.setStateIndex(v.insertNode(root, -1, {}, -1, nullptr), 2);
                     EXPECT_EQ(root->stateIndex(), 3);
                     SetAt(v, {0, 0}, 2);
                 },
                 {2, 2, 2}},
        RuleCase{"checking_a_root_checks_its_branch", {{1, {{1}, {1, {{1}, {-1}}}}}}, 0,
                 [](TqarnTreeView& v) { SetAt(v, {0}, 2); }, {2, 2, 2, 2, 2}},
        RuleCase{"ignored_child_stays_when_its_parent_is_checked", {{1, {{0, {{1}}}, {1}}}}, 0,
                 [](TqarnTreeView& v) { SetAt(v, {0}, 2); }, {2, 0, 1, 2}},
        RuleCase{"another_ignore_value_is_skipped_both_ways", {{1, {{3}, {1}}}}, 3,
                 [](TqarnTreeView& v) { SetAt(v, {0, 1}, 2); }, {2, 3, 2}},
        RuleCase{"zero_and_minus_one_from_code_do_not_propagate", {{2, {{2}, {2}}}}, 0,
                 [](TqarnTreeView& v) { SetAt(v, {0, 0}, 0); SetAt(v, {0, 1}, -1); }, {2, 0, -1}},
        RuleCase{"minus_one_children_count_as_unchecked", {{2, {{-1}, {2}}}}, 0,
                 [](TqarnTreeView& v) { SetAt(v, {0, 1}, 2); }, {3, -1, 2}},
        RuleCase{"pull_up_reaches_every_ancestor", {{1, {{1, {{1}, {1}}}, {2}}}}, 0,
                 [](TqarnTreeView& v) { SetAt(v, {0, 0, 0}, 2); SetAt(v, {0, 0, 1}, 2); }, {2, 2, 2, 2, 2}},
        RuleCase{"normalise_on_switching_on", {{-1, {{-1}, {2, {{-1}, {-1}}}}}, {-1}, {0, {{-1}}}}, 0,
                 [](TqarnTreeView& v) { v.setStateRecursion(false); v.setStateRecursion(true); },
                 {3, 1, 2, 2, 2, 1, 0, -1}},
        RuleCase{"nothing_propagates_with_recursion_off", {{1, {{1}, {1}}}}, 0,
                 [](TqarnTreeView& v) { v.setStateRecursion(false); SetAt(v, {0, 0}, 2); }, {1, 2, 1}}),
    [](const auto& info) { return info.param.name; });

// Clicks need a shown view with its rows laid out.
class TreeClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        AddCheckboxStateImages(states_);
        view_.setStateImages(&states_);
        view_.resize(300, 200);
        root_ = view_.insertNode(nullptr, -1, QStringLiteral("root"), -1, nullptr);
        for (const int state : {1, 2}) {
            TqarnTreeNode* child = view_.insertNode(root_, -1, QStringLiteral("child"), -1, nullptr);
            view_.nodes()->setStateIndex(child, state);
        }
        view_.setStateRecursion(true);
        view_.expandAll();
        view_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_));
    }

    QPoint stateImageCentre(const TqarnTreeNode* node) { return StateImageCentre(view_, node); }
    void click(const TqarnTreeNode* node, Qt::MouseButton button = Qt::LeftButton) {
        ClickStateImage(view_, node, button);
    }

    TexImageList states_{QSize(16, 16)};
    TqarnTreeView view_;
    TqarnTreeNode* root_ = nullptr;
};

TEST_F(TreeClickTest, ClickingStateImagesToggles) {
    ASSERT_EQ(States(view_), (std::vector<int>{3, 1, 2}));
    click(root_);  // mixed becomes unchecked, with its branch
    EXPECT_EQ(States(view_), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(view_.selectedNode(), root_);
    click(root_->child(1));
    EXPECT_EQ(States(view_), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(view_.selectedNode(), root_->child(1));
    click(root_->child(0), Qt::RightButton);
    EXPECT_EQ(States(view_), (std::vector<int>{2, 2, 2}));
    click(root_->child(0), Qt::MiddleButton);
    EXPECT_EQ(States(view_), (std::vector<int>{3, 1, 2}));
}

TEST_F(TreeClickTest, TheClickSignalSeesTheNewStates) {
    std::vector<std::vector<int>> seen;
    QObject::connect(&view_, &TqarnTreeView::treeClicked, [&] { seen.push_back(States(view_)); });
    click(root_->child(0));
    const QModelIndex child = view_.nodes()->indexOf(root_->child(0));
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, view_.visualRect(child).center());
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, QPoint(150, 190));
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{{2, 2, 2}, {2, 2, 2}, {2, 2, 2}}));
}

TEST_F(TreeClickTest, ADoubleClickOnAStateImageTogglesTwice) {
    // What a window system delivers: press, release, double click, release.
    click(root_);
    QTest::mouseDClick(view_.viewport(), Qt::LeftButton, {}, stateImageCentre(root_));
    QTest::mouseRelease(view_.viewport(), Qt::LeftButton, {}, stateImageCentre(root_));
    EXPECT_EQ(States(view_), (std::vector<int>{2, 2, 2}));
    EXPECT_TRUE(view_.isExpanded(view_.nodes()->indexOf(root_)));
}

TEST_F(TreeClickTest, SpaceTogglesTheCurrentNodeAsAClickWould) {
    int clicks = 0;
    QObject::connect(&view_, &TqarnTreeView::treeClicked, [&] { ++clicks; });
    view_.selectNode(root_->child(0));
    QTest::keyClick(&view_, Qt::Key_Space);
    EXPECT_EQ(States(view_), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(clicks, 1);
    view_.setStateIndex(root_, -1);
    view_.selectNode(root_);
    QTest::keyClick(&view_, Qt::Key_Space);  // no state image: nothing to toggle
    EXPECT_EQ(root_->stateIndex(), -1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(TreeClickTest, WithRecursionOffOrNoStateImageClicksChangeNothing) {
    view_.setStateRecursion(false);
    click(root_);
    EXPECT_EQ(States(view_), (std::vector<int>{3, 1, 2}));
    view_.setStateRecursion(true);
    view_.setStateIndex(root_->child(0), -1);
    const QModelIndex index = view_.nodes()->indexOf(root_->child(0));
    const QPoint whereTheImageWouldBe(view_.visualRect(index).left() + 8,
                                      view_.visualRect(index).center().y());
    EXPECT_FALSE(view_.isOnStateImage(whereTheImageWouldBe));
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, whereTheImageWouldBe);
    EXPECT_EQ(States(view_), (std::vector<int>{3, -1, 2}));
}

TEST_F(TreeClickTest, APressThatOpensTheMenuReportsItsChangeFirst) {
    QMenu menu;
    view_.setPopupMenu(&menu);
    int clicks = 0;
    std::vector<int> seenWhenMenuOpened;
    QObject::connect(&view_, &TqarnTreeView::treeClicked, [&] { ++clicks; });
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        seenWhenMenuOpened = States(view_);
        EXPECT_EQ(clicks, 1);
    });
    const QPoint point = stateImageCentre(root_->child(0));
    QTest::mousePress(view_.viewport(), Qt::RightButton, {}, point);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, point,
                                view_.viewport()->mapToGlobal(point));
    QApplication::sendEvent(view_.viewport(), &menuEvent);
    EXPECT_EQ(seenWhenMenuOpened, (std::vector<int>{2, 2, 2}));
    menu.close();
}

TEST(TreeStreamTest, StatesRoundTripAndABadStreamChangesNothing) {
    TqarnTreeView view;
    Build(view, nullptr, {{3, {{1}, {2}}}, {0}});
    QByteArray saved;
    {
        QDataStream out(&saved, QIODevice::WriteOnly);
        view.saveStates(out);
    }
    for (TqarnTreeNode* node : view.nodes()->nodesInTreeOrder()) {
        view.nodes()->setStateIndex(node, 1);
    }
    const std::vector<int> changed = States(view);

    QByteArray wrongCount;
    {
        QDataStream out(&wrongCount, QIODevice::WriteOnly);
        out << qint32(3) << qint32(2) << qint32(2) << qint32(2);
    }
    QByteArray negativeCount;
    {
        QDataStream out(&negativeCount, QIODevice::WriteOnly);
        out << qint32(-4);
    }
    for (const QByteArray& bad : {saved.first(saved.size() - 2), wrongCount, negativeCount,
                                  QByteArray()}) {
        QDataStream in(bad);
        EXPECT_FALSE(view.loadStates(in));
        EXPECT_EQ(States(view), changed);
    }
    QDataStream in(saved);
    EXPECT_TRUE(view.loadStates(in));
    EXPECT_EQ(States(view), (std::vector<int>{3, 1, 2, 0}));
}

TEST(TreeModelTest, RootsInsertedAtTheFrontKeepRowsAndLevels) {
    TqarnTreeView view;
    TqarnTreeNode* last = view.insertNode(nullptr, 0, QStringLiteral("b"), 0, nullptr);
    TqarnTreeNode* first = view.insertNode(nullptr, 0, QStringLiteral("a"), 0, nullptr);
    TqarnTreeNode* child = view.insertNode(last, -1, QStringLiteral("c"), 3, &view);
    EXPECT_EQ(first->row(), 0);
    EXPECT_EQ(last->row(), 1);
    EXPECT_EQ(child->level(), 1);
    const QModelIndex index = view.nodes()->indexOf(child);
    EXPECT_EQ(view.nodes()->nodeOf(index), child);
    EXPECT_EQ(view.nodes()->parent(index), view.nodes()->indexOf(last));
    EXPECT_EQ(index.data(TqarnTreeModel::ImageIndexRole).toInt(), 3);
}

}  // namespace
