#include <gtest/gtest.h>

#include "ui/qt/qt_font.h"
#include "ui/qt/qt_text.h"

namespace qr::ui::qt {
namespace {

TEST(QtText, ConvertsCodePage936BothWays) {
  const std::string gbk = "下载完成 100%";
  EXPECT_EQ(ToQString(gbk), QString::fromUtf8(u8"下载完成 100%"));
  EXPECT_EQ(FromQString(QString::fromUtf8(u8"排队等待")), "排队等待");
}

TEST(QtFileFilter, TurnsPairsIntoQtEntries) {
  EXPECT_EQ(ToQtFileFilter("配置设置(*.txt)|*.txt|文本文件(*.ini)|*.ini|所有文件(*.*)|*.*"),
            QString::fromUtf8(u8"配置设置 (*.txt);;文本文件 (*.ini);;所有文件 (*)"));
  // Several patterns, a description that does not repeat them, spaces around.
  EXPECT_EQ(ToQtFileFilter("视频|*.mp4;*.ts| 播放列表 (m3u8) |*.m3u8"),
            QString::fromUtf8(u8"视频 (*.mp4 *.ts);;播放列表 (m3u8) (*.m3u8)"));
}

TEST(QtFileFilter, OddAndEmptyFilters) {
  EXPECT_EQ(ToQtFileFilter(""), QString());
  // A description without its pattern matches every file.
  EXPECT_EQ(ToQtFileFilter("文本文件(*.txt)|*.txt|其他"), QString::fromUtf8(u8"文本文件 (*.txt);;其他 (*)"));
  EXPECT_EQ(ToQtFileFilter("|*.txt"), QString::fromUtf8(u8"(*.txt)"));
}

TEST(QtFileFilter, BarInsideADoubleByteCharacterIsNoSeparator) {
  // The second byte of 億 in code page 936 is 0x7C, the code of '|'.
  const std::string filter = "億萬影片(*.mp4)|*.mp4";
  ASSERT_NE(filter.find('|'), filter.rfind('|'));
  EXPECT_EQ(ToQtFileFilter(filter), QString::fromUtf8(u8"億萬影片 (*.mp4)"));
}

TEST(QtFont, ChoosesTheFaceOrAFallbackThatIsInstalled) {
  const QString yahei = ToQString("微软雅黑");
  EXPECT_EQ(ChooseFamily(yahei, {QStringLiteral("DejaVu Sans"), yahei}), yahei);
  EXPECT_EQ(ChooseFamily(yahei, {QStringLiteral("DejaVu Sans"), QStringLiteral("wenquanyi micro hei")}),
            QStringLiteral("WenQuanYi Micro Hei"));
  EXPECT_EQ(ChooseFamily(yahei, {QStringLiteral("DejaVu Sans")}), QString());
  EXPECT_EQ(ChooseFamily(QString(), {QStringLiteral("Noto Sans CJK SC")}), QStringLiteral("Noto Sans CJK SC"));
}

}  // namespace
}  // namespace qr::ui::qt
