#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>
#include <thread>
#include <vector>

#include "qt_test_support.h"
#include "ui/qt/qt_list_binding.h"
#include "ui/qt/qt_text.h"

namespace qr::ui::qt {
namespace {

using testing::ProcessUntil;
using testing::Settle;

class QtListBindingTest : public testing::QtTest {
 protected:
  void SetUp() override { model_.SetColumns({{"文件名", 135}, {"地址", 0}, {"目录", 0}, {"状态", 60}}); }

  void Bind() {
    binding_ = std::make_unique<QtListBinding>(
        model_, widget_, [this](ListView& list) { userSelections_.push_back(list.SelectedRow()); });
    Settle();
  }

  QString Text(int row, int column) const {
    const QModelIndex index = widget_.model()->index(row, column);
    return index.isValid() ? index.data().toString() : QStringLiteral("<none>");
  }
  int Rows() const { return widget_.model() != nullptr ? widget_.model()->rowCount() : 0; }
  QString Title(int column) const { return widget_.model()->headerData(column, Qt::Horizontal).toString(); }
  int SelectedRow() const {
    const QModelIndexList rows = widget_.selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
  }

  ListView model_;
  QTableView widget_;
  std::unique_ptr<QtListBinding> binding_;
  std::vector<int> userSelections_;
};

TEST_F(QtListBindingTest, ShowsColumnsAsSizedWithZeroWideOnesHidden) {
  model_.AddRow({"电影", "http://a/1.m3u8", "D:\\下载", "排队等待"});
  Bind();
  ASSERT_EQ(widget_.model()->columnCount(), 4);
  EXPECT_EQ(Title(0), ToQString("文件名"));
  EXPECT_EQ(Title(3), ToQString("状态"));
  EXPECT_EQ(widget_.columnWidth(0), 135);
  EXPECT_EQ(widget_.columnWidth(3), 60);
  EXPECT_FALSE(widget_.isColumnHidden(0));
  EXPECT_TRUE(widget_.isColumnHidden(1));
  EXPECT_TRUE(widget_.isColumnHidden(2));
  EXPECT_TRUE(widget_.verticalHeader()->isHidden());
  EXPECT_EQ(widget_.selectionBehavior(), QAbstractItemView::SelectRows);
  // The rows that were there before the binding show too, hidden cells included.
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Text(0, 0), ToQString("电影"));
  EXPECT_EQ(Text(0, 2), ToQString("D:\\下载"));
}

TEST_F(QtListBindingTest, ChangesFromAnotherThreadReachTheWidgetInOrder) {
  Bind();
  std::thread worker([this] {
    for (int i = 0; i < 50; ++i) model_.AddRow({"任务" + std::to_string(i), "", "", "排队等待"});
    model_.SetCell(0, 3, "正在下载");
    model_.DeleteRow(1);
    model_.SetCell(48, 0, "最后");
  });
  worker.join();
  // Nothing touches the widget until the window thread handles the queue.
  EXPECT_EQ(Rows(), 0);
  ASSERT_TRUE(ProcessUntil([this] { return Rows() == 49 && Text(48, 0) == ToQString("最后"); }));
  EXPECT_EQ(Text(0, 3), ToQString("正在下载"));
  EXPECT_EQ(Text(1, 0), ToQString("任务2"));
  model_.Clear();
  ASSERT_TRUE(ProcessUntil([this] { return Rows() == 0; }));
}

TEST_F(QtListBindingTest, SelectionByThePersonGoesToTheModelAndIsReported) {
  for (int i = 0; i < 3; ++i) model_.AddRow({"任务" + std::to_string(i)});
  Bind();
  widget_.selectRow(2);
  EXPECT_EQ(model_.SelectedRow(), 2);
  ASSERT_EQ(userSelections_, std::vector<int>{2});
  widget_.clearSelection();
  EXPECT_EQ(model_.SelectedRow(), -1);
  EXPECT_EQ(userSelections_, (std::vector<int>{2, -1}));
  Settle();
  // The model's answering change is not taken for another choice of the person.
  EXPECT_EQ(userSelections_.size(), 2u);
}

TEST_F(QtListBindingTest, SelectionAndDeletionByTheModelAreNotReportedAsThePersons) {
  for (int i = 0; i < 3; ++i) model_.AddRow({"任务" + std::to_string(i)});
  Bind();
  model_.SetSelectedRow(1);
  Settle();
  EXPECT_EQ(SelectedRow(), 1);
  model_.DeleteRow(1);
  Settle();
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(SelectedRow(), -1);
  EXPECT_EQ(model_.SelectedRow(), -1);
  EXPECT_TRUE(userSelections_.empty());
}

TEST_F(QtListBindingTest, ChangesStillQueuedWhenTheBindingGoesAreDropped) {
  Bind();
  model_.AddRow({"任务"});
  binding_.reset();
  Settle();
  EXPECT_EQ(Rows(), 0);
  model_.AddRow({"之后"});
  Settle();
  EXPECT_EQ(Rows(), 0);
}

TEST_F(QtListBindingTest, UsesTheModelsFontOrAChineseFallback) {
  model_.SetFont({"微软雅黑", 9, 12, false});
  Bind();
  EXPECT_EQ(widget_.font().pointSize(), 9);
  EXPECT_FALSE(widget_.font().bold());
}

}  // namespace
}  // namespace qr::ui::qt
