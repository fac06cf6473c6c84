// The control-state store over a small form and real files in the test's own
// program folder.
#include "app/control_state_store.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "settings/ini_store.h"

namespace qr::app {
namespace {

using qr::ui::ControlKind;
using qr::ui::ControlSpec;
using qr::ui::FormModel;

ControlSpec Spec(ControlKind kind, std::string name, std::string group = {}) {
  ControlSpec spec;
  spec.kind = kind;
  spec.name = std::move(name);
  spec.group = std::move(group);
  return spec;
}

FormModel SampleForm() {
  ControlSpec combo = Spec(ControlKind::kComboBox, "组合框_数");
  combo.initial.items = {{"1", 0}, {"2", 1}};
  combo.initial.selected = 0;
  combo.initial.text = std::string("1");
  return FormModel("form", 100, 100,
                   {Spec(ControlKind::kEdit, "编辑框_甲"), Spec(ControlKind::kEdit, "编辑框_乙"), combo,
                    Spec(ControlKind::kCheckBox, "选择框_甲"), Spec(ControlKind::kCheckBox, "选择框_乙"),
                    Spec(ControlKind::kRadioBox, "单选框_甲", "g"), Spec(ControlKind::kRadioBox, "单选框_乙", "g"),
                    Spec(ControlKind::kLabel, "标签")});
}

class ControlStateStoreTest : public qr::testing::ProgramFolderTest {
 protected:
  std::string Stored(std::string_view section, std::string_view key) {
    return qr::settings::ReadIniValue(PathOf("config.ini"), section, key);
  }
  std::string Config() const { return PathOf("config.ini"); }
};

TEST_F(ControlStateStoreTest, EditTextsComeBackWithLineBreaksAndQuotes) {
  const struct {
    std::string typed, stored, loaded;
  } cases[] = {
      {"a\r\nb", "a><br><b", "a\r\nb"},
      {"a\nb", "a><br><b", "a\r\nb"},  // a toolkit's bare LF is kept as CR LF
      {"a\rb", "a><br><b", "a\r\nb"},
      {"say \"hi\"", "say #引号hi#引号", "say \"hi\""},
      {"#引号 and ><br><", "#引号 and ><br><", "\" and \r\n"},
  };
  for (const auto& c : cases) {
    FormModel form = SampleForm();
    form.SetText("编辑框_甲", c.typed);
    EXPECT_EQ(SaveEditBoxes(form, Config()), 2);
    EXPECT_EQ(Stored("编辑框", "编辑框_甲"), c.stored) << c.typed;
    FormModel loaded = SampleForm();
    EXPECT_EQ(LoadEditBoxes(loaded, Config()), 2);
    EXPECT_EQ(loaded.Text("编辑框_甲"), c.loaded) << c.typed;
  }
}

TEST_F(ControlStateStoreTest, ComboItemsSelectionAndTextRoundTrip) {
  FormModel form = SampleForm();
  qr::ui::ControlState state = form.State(form.Find("组合框_数"));
  state.selected = 1;
  state.text = std::string("2");
  form.SetState(form.Find("组合框_数"), state);
  EXPECT_EQ(SaveComboBoxes(form, Config()), 1);
  EXPECT_EQ(Stored("组合框", "组合框_数"), "1<|>0<||>2<|>1<||>1<|>2");

  // A quote in an item, and a text holding the field separator: only the part after the last one comes back.
  ASSERT_TRUE(qr::settings::WriteIniValue(Config(), "组合框", "组合框_数", "#引号x<|>7<||>y<|>8<||>1<|>a<|>b"));
  FormModel loaded = SampleForm();
  EXPECT_EQ(LoadComboBoxes(loaded, Config()), 1);
  const qr::ui::ControlState back = loaded.State(loaded.Find("组合框_数"));
  EXPECT_EQ(back.items, (std::vector<qr::ui::ComboItem>{{"\"x", 7}, {"y", 8}}));
  EXPECT_EQ(back.selected, 1);
  EXPECT_EQ(back.text, "b");
}

TEST_F(ControlStateStoreTest, OnlyFalseUnchecksAndAnEmptyValueLeavesTheControl) {
  FormModel form = SampleForm();
  form.SetChecked("选择框_甲", true);
  form.SetChecked("单选框_乙", true);
  EXPECT_EQ(SaveCheckBoxes(form, Config()), 2);
  EXPECT_EQ(SaveRadioBoxes(form, Config()), 2);
  EXPECT_EQ(Read("config.ini"),
            "[选择框]\r\n选择框_甲=真\r\n选择框_乙=假\r\n[单选框]\r\n单选框_甲=假\r\n单选框_乙=真\r\n");

  WriteConfig("[选择框]\r\n选择框_甲=0\r\n选择框_乙=\r\n[单选框]\r\n单选框_甲=假\r\n单选框_乙=x\r\n");
  FormModel loaded = SampleForm();
  loaded.SetChecked("选择框_乙", true);
  loaded.SetChecked("单选框_甲", true);
  LoadCheckBoxes(loaded, Config());
  LoadRadioBoxes(loaded, Config());
  EXPECT_TRUE(loaded.Checked("选择框_甲"));
  EXPECT_TRUE(loaded.Checked("选择框_乙"));
  EXPECT_FALSE(loaded.Checked("单选框_甲"));
  EXPECT_TRUE(loaded.Checked("单选框_乙"));
}

TEST_F(ControlStateStoreTest, ExclusionsLongValuesAndTheDefaultFile) {
  FormModel form = SampleForm();
  form.SetText("编辑框_甲", std::string(12000, 'a'));
  form.SetText("编辑框_乙", "b");
  // The default file and its folder are made on the first use.
  EXPECT_EQ(SaveEditBoxes(form, "", "编辑框_乙|其他"), 2);
  const std::string defaultFile = PathOf("data/setsoft.ini");
  ASSERT_TRUE(qr::files::FileExists(defaultFile));
  EXPECT_EQ(qr::settings::ReadIniValue(defaultFile, "编辑框", "编辑框_乙", "absent"), "absent");
  FormModel loaded = SampleForm();
  EXPECT_EQ(LoadEditBoxes(loaded, ""), 2);
  EXPECT_EQ(loaded.Text("编辑框_甲"), std::string(10239, 'a'));
  // An exclusion matches whole names only.
  EXPECT_EQ(SaveEditBoxes(form, "", "编辑框"), 2);
  EXPECT_EQ(qr::settings::ReadIniValue(defaultFile, "编辑框", "编辑框_乙"), "b");
}

TEST_F(ControlStateStoreTest, SavingTheWholeFormWritesWhatTheFourKindsWrite) {
  FormModel form = SampleForm();
  form.SetText("编辑框_甲", "a\r\nb");
  form.SetChecked("选择框_乙", true);
  form.SetChecked("单选框_乙", true);
  const std::string byKind = PathOf("by-kind.ini");
  SaveEditBoxes(form, byKind);
  SaveComboBoxes(form, byKind);
  SaveCheckBoxes(form, byKind);
  SaveRadioBoxes(form, byKind);
  // Over an older file too: every key is rewritten in place, nothing else moves.
  ASSERT_TRUE(qr::files::WriteFileBytes(Config(), "; kept\r\n[单选框]\r\n单选框_甲=真\r\n"));
  ASSERT_TRUE(qr::files::WriteFileBytes(byKind, "; kept\r\n[单选框]\r\n单选框_甲=真\r\n"));
  SaveEditBoxes(form, byKind);
  SaveComboBoxes(form, byKind);
  SaveCheckBoxes(form, byKind);
  SaveRadioBoxes(form, byKind);
  EXPECT_EQ(SaveFormControls(form, Config()), 7);
  EXPECT_EQ(qr::files::ReadFileBytes(Config()), qr::files::ReadFileBytes(byKind));
  EXPECT_EQ(Stored("单选框", "单选框_甲"), "假");
  EXPECT_EQ(Stored("编辑框", "编辑框_甲"), "a><br><b");
}

}  // namespace
}  // namespace qr::app
