// The control-font translation table on a virtual machine: loading the
// file into the rows, the file a save writes, Edit and Delete, and a save
// that fails (no administrator rights, a replace that fails after the new
// file was written) leaving the old file byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/profile_file_source.h"
#include "platform/sim/scratch_machine.h"
#include "plugin/core/font/control_font_dialogs.h"
#include "ui/headless/dialog.h"
#include "tests/read_limit.h"

namespace kit::plugin::font {
namespace {

using ui::headless::Dialog;

constexpr char16_t kFolder[] = u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3";
constexpr char16_t kTable[] = u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\VRTQ40CONTROL.dat";
constexpr char16_t kTemp[] = u"C:\\Windows\\system32\\spool\\drivers\\w32x86\\3\\VRTQ40CONTROL.tmp";
constexpr int kRowA = 'A' - kFirstControlCode;

class ControlFontTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    machine_ = sim::ScratchMachine::Create({}, &error);
    ASSERT_NE(machine_, nullptr) << error;
    files().CreateDirectory(kFolder);  // present on a machine with the driver
  }
  Files& files() { return machine_->platform().files; }
  void WriteTable(const std::string& text) {
    ASSERT_TRUE(files().WriteFile(kTable, Bytes(text.begin(), text.end()), WriteMode::kCreateAlways));
  }
  std::string ReadTable(const char16_t* path = kTable) {
    Bytes content;
    if (!files().ReadFile(path, kTestReadLimit, &content)) return "(missing)";
    return std::string(content.begin(), content.end());
  }
  int Tool(const std::string& arguments) {
    const std::string line = std::string(KIT_VMACHINE_PATH) + " " + arguments;
    return std::system(line.c_str());
  }
  // Opens the table from a page of `owner` and lets `drive` act on it.
  int Open(std::function<void(Dialog&)> drive) {
    env_.modal_driver = [&](Dialog& d) {
      if (d.Template().id == kControlFontTableId) {
        drive(d);
      } else if (translator_) {
        translator_(d);
      }
    };
    return RunControlFontTable(owner_, files(), machine_->platform().system);
  }

  std::unique_ptr<sim::ScratchMachine> machine_;
  ui::headless::Environment env_;
  struct Owner : ui::Page {
    const ui::DialogTemplate& Template() const override {
      static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.id = 1;
        d.caption = u"owner";
        return d;
      }();
      return t;
    }
  } owner_page_;
  Dialog owner_{owner_page_, env_};
  std::function<void(Dialog&)> translator_;
};

TEST_F(ControlFontTableTest, RowsShowTheFileAndOnlyKeysOfTheTableAreKept) {
  WriteTable("[Character Translation Table]\r\n41=1B 70 00\r\n1F=00\r\n80=11\r\n20=0A\r\n[Other]\r\n41=FF\r\n");
  owner_.Create();
  const int result = Open([](Dialog& d) {
    EXPECT_EQ(d.Text(kDriverNameBoxId), u"Printer Driver");
    ASSERT_EQ(d.ItemCount(kTableListId), 96);
    EXPECT_EQ(d.SubItemText(kTableListId, kRowA, kCharColumn), u"A");
    EXPECT_EQ(d.SubItemText(kTableListId, kRowA, kHexColumn), u"41");
    EXPECT_EQ(d.SubItemText(kTableListId, kRowA, kCommandColumn), u"1B 70 00");
    EXPECT_EQ(d.SubItemText(kTableListId, 0, kHexColumn), u"20");
    EXPECT_EQ(d.SubItemText(kTableListId, 95, kHexColumn), u"7F");
    EXPECT_EQ(d.SubItemText(kTableListId, 95, kCharColumn), u"\x7F");
    EXPECT_EQ(HexTextToBytes(d.SubItemText(kTableListId, kRowA, kCommandColumn)).size(), 3u);
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_EQ(result, ui::kIdOk);
  EXPECT_EQ(ReadTable(), "[Character Translation Table]\r\n20=0A\r\n41=1B 70 00\r\n");
  EXPECT_EQ(ReadTable(kTemp), "(missing)");
}

TEST_F(ControlFontTableTest, TheTableTemplateKeepsTheTemplateRules) {
  ControlFontTable table(files(), machine_->platform().system, kTable);
  EXPECT_EQ(ui::Validate(table.Template()), "");
  EXPECT_EQ(table.Template().id, 115);
}

TEST_F(ControlFontTableTest, EditWritesTheDisplayFormAndDeleteKeepsTheSelection) {
  owner_.Create();
  std::vector<std::u16string> opened;
  translator_ = [&](Dialog& t) {
    opened.push_back(t.Text(kCharBoxId) + u"/" + t.Text(kHexBoxId) + u"/" + t.Text(kCommandBoxId));
    EXPECT_TRUE(t.PressKey(kCommandBoxId, {u'G'}));
    EXPECT_TRUE(t.Type(kCommandBoxId, u"1b 70 0"));
    EXPECT_TRUE(t.Click(ui::kIdOk));
  };
  Open([](Dialog& d) {
    EXPECT_TRUE(d.Select(kTableListId, kRowA));
    EXPECT_TRUE(d.Click(kEditButtonId));
    EXPECT_EQ(d.SubItemText(kTableListId, kRowA, kCommandColumn), u"1B 70 00 ");
    EXPECT_EQ(d.Find(kTableListId)->visible_item, kRowA - 1);
    EXPECT_EQ(d.FocusedControl(), kTableListId);
    // Row 0: emptied, still selected, itself in view.
    EXPECT_TRUE(d.Select(kTableListId, 0));
    EXPECT_TRUE(d.DoubleClickItem(kTableListId, 0));  // opens the translator for the space
    EXPECT_TRUE(d.Click(kDeleteButtonId));
    EXPECT_EQ(d.SubItemText(kTableListId, 0, kCommandColumn), u"");
    EXPECT_EQ(d.Selection(kTableListId), 0);
    EXPECT_EQ(d.Find(kTableListId)->visible_item, 0);
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_EQ(opened, (std::vector<std::u16string>{u"A/41/", u" /20/"}));
  // The row's text as it stands, as the profile functions write a value.
  EXPECT_EQ(ReadTable(), "[Character Translation Table]\r\n41=1B 70 00 \r\n");
}

TEST_F(ControlFontTableTest, AnOverLongValueStaysInItsRowIsRefusedByEditAndSavedUnchanged) {
  std::string long_value;
  for (int i = 0; i < 130; ++i) long_value += "AB ";  // 390 characters, 130 bytes
  WriteTable("[Character Translation Table]\r\n42=" + long_value + "\r\n");
  owner_.Create();
  bool translator_opened = false;
  translator_ = [&](Dialog& t) {
    translator_opened = true;
    t.Click(ui::kIdCancel);
  };
  env_.QueueAnswer(ui::kIdOk);
  Open([&](Dialog& d) {
    EXPECT_TRUE(d.Select(kTableListId, 'B' - kFirstControlCode));
    EXPECT_TRUE(d.Click(kEditButtonId));
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_FALSE(translator_opened);
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"Command length error");
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Error");
  // The profile functions trim the value's trailing space.
  EXPECT_EQ(ReadTable(), "[Character Translation Table]\r\n42=" + long_value.substr(0, long_value.size() - 1) + "\r\n");
}

TEST_F(ControlFontTableTest, RowsNotTouchedAreSavedAsTheFileHeldThemHoweverLong) {
  std::string long_value = "1B";
  for (int i = 1; i < 150; ++i) long_value += " 1B";  // 449 characters
  ASSERT_EQ(long_value.size(), 449u);
  WriteTable("[Character Translation Table]\r\n42=" + long_value + "\r\n43=1D 56 42 00\r\n");
  owner_.Create();
  translator_ = [&](Dialog& t) {
    EXPECT_TRUE(t.Type(kCommandBoxId, u"1B 70 00"));
    EXPECT_TRUE(t.Click(ui::kIdOk));
  };
  Open([&](Dialog& d) {
    // The list shows the first 399 characters of the long row.
    EXPECT_EQ(d.SubItemText(kTableListId, 'B' - kFirstControlCode, kCommandColumn).size(), 399u);
    EXPECT_TRUE(d.Select(kTableListId, kRowA));
    EXPECT_TRUE(d.Click(kEditButtonId));
    EXPECT_TRUE(d.Click(ui::kIdOk));
    EXPECT_TRUE(d.Ended());
  });
  EXPECT_EQ(ReadTable(),
            "[Character Translation Table]\r\n41=1B 70 00 \r\n42=" + long_value + "\r\n43=1D 56 42 00\r\n");
}

TEST_F(ControlFontTableTest, AFailedSaveShowsTheMessageKeepsTheDialogAndTheOldFileByteForByte) {
  const std::string old_file = "[Character Translation Table]\r\n41=1B 70 00\r\n";
  WriteTable(old_file);
  owner_.Create();
  struct Case {
    const char* what;
    std::string tool;
  };
  std::string dir("'");
  dir.append(machine_->folder().string()).append("'");
  const Case cases[] = {
      {"standard user", "set " + dir + " admin false"},
      {"replace fails after the new file was written", "fault " + dir + " call MoveFileReplace 5"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Tool(c.tool), 0) << c.what;
    env_.QueueAnswer(ui::kIdOk);
    bool stayed_open = false;
    const int result = Open([&](Dialog& d) {
      EXPECT_TRUE(d.Select(kTableListId, 0));
      EXPECT_TRUE(d.Click(kDeleteButtonId));
      EXPECT_TRUE(d.Select(kTableListId, kRowA));
      EXPECT_TRUE(d.Click(kDeleteButtonId));
      d.SetSubItemText(kTableListId, 2, kCommandColumn, u"0D 0A");
      EXPECT_TRUE(d.Click(ui::kIdOk));
      stayed_open = !d.Ended();
      EXPECT_TRUE(d.Click(ui::kIdCancel));
    });
    EXPECT_TRUE(stayed_open) << c.what;
    EXPECT_EQ(result, ui::kIdCancel) << c.what;
    ASSERT_FALSE(env_.MessageBoxes().empty()) << c.what;
    EXPECT_EQ(env_.MessageBoxes().back().text, u"Please check if user has administrator privileges!") << c.what;
    EXPECT_EQ(env_.MessageBoxes().back().style, ui::kMbIconError) << c.what;
    EXPECT_EQ(ReadTable(), old_file) << c.what;
    EXPECT_EQ(ReadTable(kTemp), "(missing)") << c.what;
    ASSERT_EQ(Tool("set " + dir + " admin true"), 0);
    ASSERT_EQ(Tool("fault " + dir + " clear"), 0);
  }
}

// Read once; a file Windows will not give shows the message and is not overwritten.
TEST_F(ControlFontTableTest, TheFileIsReadOnceAndAnUnreadableOneIsNotOverwritten) {
  const std::string old_file = "[Character Translation Table]\r\n41=1B 70 00\r\n";
  const std::string dir = "'" + machine_->folder().string() + "'";
  owner_.Create();
  for (const bool readable : {true, false}) {
    WriteTable(old_file);
    ASSERT_EQ(Tool("fault " + dir + (readable ? " call ReadFile 5 --subject VRTQ40CONTROL --after 1 --times 1"
                                             : " path '" + ToUtf8(kTable) + "' 32")), 0);
    const std::size_t shown = env_.MessageBoxes().size();
    Open([&](Dialog& d) {
      d.SetSubItemText(kTableListId, 0, kCommandColumn, u"0A");
      if (d.Click(ui::kIdOk) && !d.Ended()) d.Click(ui::kIdCancel);
    });
    EXPECT_EQ(env_.MessageBoxes().size(), shown + (readable ? 0 : 2));  // at the opening and at OK
    ASSERT_EQ(Tool("fault " + dir + " clear"), 0);
    EXPECT_EQ(ReadTable(), readable ? "[Character Translation Table]\r\n20=0A\r\n41=1B 70 00\r\n" : old_file);
  }
}

TEST_F(ControlFontTableTest, AnEmptyTableRemovesTheFileAndAMissingFileOrFolderGivesEmptyRows) {
  WriteTable("[Character Translation Table]\r\n41=1B\r\n");
  owner_.Create();
  Open([](Dialog& d) {
    EXPECT_TRUE(d.Select(kTableListId, kRowA));
    EXPECT_TRUE(d.Click(kDeleteButtonId));
    EXPECT_TRUE(d.Click(ui::kIdOk));
    EXPECT_TRUE(d.Ended());
  });
  EXPECT_EQ(ReadTable(), "(missing)");
  ASSERT_TRUE(files().RemoveDirectory(kFolder));
  const int result = Open([](Dialog& d) {
    EXPECT_EQ(d.ItemCount(kTableListId), 96);
    EXPECT_EQ(d.SubItemText(kTableListId, kRowA, kCommandColumn), u"");
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_EQ(result, ui::kIdOk) << "nothing to save and nothing to remove";
}

TEST(ControlFontFile, KeysAndPath) {
  EXPECT_EQ(ControlFontKey(32), u"20");
  EXPECT_EQ(ControlFontKey(65), u"41");
  EXPECT_EQ(ControlFontKey(127), u"7F");
  EXPECT_EQ(ControlFontPath(u"D:\\WINNT\\"), u"D:\\WINNT\\system32\\spool\\drivers\\w32x86\\3\\VRTQ40CONTROL.dat");
  ControlFontTexts texts;
  EXPECT_EQ(ControlFontFileBytes(texts), "");
  texts[1] = u"21";
  texts[0] = u"0A";
  EXPECT_EQ(ControlFontFileBytes(texts), "[Character Translation Table]\r\n20=0A\r\n21=21\r\n");
}

}  // namespace
}  // namespace kit::plugin::font

namespace kit::plugin::font {
namespace {

TEST(ShippedControlFontFile, EveryCommandOfTheKitsSampleFitsAndItHasNoOtherKeys) {
  const std::string path = std::string(KIT_SOURCE_ROOT) + "/kit/plugin/VRTQ40CONTROL.dat";
  const ini::HostFileSource host;
  const ControlFontTexts texts = LoadControlFontTexts(host, FromUtf8(path));
  int commands = 0;
  for (const std::u16string& text : texts) {
    if (text.empty()) continue;
    ++commands;
    EXPECT_TRUE(HexTextToCommand(text).has_value());
  }
  EXPECT_EQ(commands, 4);
  EXPECT_EQ(texts['C' - kFirstControlCode], u"1D 56 42 00");
  // Saving the sample's table writes the same entries back.
  const std::optional<std::string> bytes = host.Read(FromUtf8(path));
  ASSERT_TRUE(bytes.has_value());
  EXPECT_NE(bytes->find(ControlFontFileBytes(texts)), std::string::npos);
}

}  // namespace
}  // namespace kit::plugin::font
