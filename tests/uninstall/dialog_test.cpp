// The main window driven headlessly: what it shows when it opens, the USB
// option, Select, the queued-job refusal, a whole run, about box and help.
#include <gtest/gtest.h>

#include "platform/sim/store.h"
#include "tests/uninstall/family_machine.h"
#include "ui/headless/dialog.h"
#include "ui/text.h"
#include "uninstall/dialog/small_dialogs.h"
#include "uninstall/dialog/uninstall_dlg.h"

namespace kit::uninstall {
namespace {

class DialogTest : public FamilyMachineTest {
 protected:
  void Open() {
    ui::SetAnsiCodePage(1252);
    CUninstallPrinterDlg::Options options;
    options.platform = &u();
    page_ = std::make_unique<CUninstallPrinterDlg>(options);
    dialog_ = std::make_unique<ui::headless::Dialog>(*page_, env_);
    dialog_->Create();
  }
  std::vector<std::u16string> Items(int id) {
    std::vector<std::u16string> items;
    for (int i = 0; i < dialog_->ItemCount(id); ++i) items.push_back(dialog_->ItemText(id, i));
    return items;
  }

  ui::headless::Environment env_;
  std::unique_ptr<CUninstallPrinterDlg> page_;
  std::unique_ptr<ui::headless::Dialog> dialog_;
};

TEST_F(DialogTest, OpensWithTheFamilyTheTextsAndTheUsbOption) {
  Build("win7-x64-en");
  Open();
  ASSERT_FALSE(dialog_->Ended());
  EXPECT_EQ(dialog_->Caption(), u"Uninstall");
  EXPECT_EQ(dialog_->ItemCount(kComponentListId), 10);
  EXPECT_EQ(dialog_->Text(kUninstallButtonId), u"Uninstall");
  EXPECT_EQ(dialog_->Text(kUsbBoxId), u"Remove the USB printer driver");
  EXPECT_TRUE(dialog_->IsEnabled(kUsbBoxId));  // driver file and a plugged printer
  EXPECT_EQ(Items(kLogId), (std::vector<std::u16string>{u"Tick the components to remove, then click Uninstall."}));
  ASSERT_EQ(dialog_->SystemMenu().size(), 1u);
  EXPECT_EQ(dialog_->SystemMenu()[0], (std::pair<int, std::u16string>{kAboutCommand, u"About Uninstall(&A)..."}));
  EXPECT_EQ(dialog_->Icon(), kProgramIconId);
  EXPECT_TRUE(env_.MessageBoxes().empty());
  EXPECT_EQ(dialog_->Font(), nullptr);  // English: the template font
  // Others find the window by its title.
  EXPECT_NE(u().shell.FindWindow(u"Uninstall"), 0u);
}

TEST_F(DialogTest, AMachineWithoutTheFamilySaysSoInTheLog) {
  Build("win7-x64-en", false);
  Open();
  ASSERT_FALSE(dialog_->Ended());
  EXPECT_EQ(dialog_->ItemCount(kComponentListId), 0);
  EXPECT_FALSE(dialog_->IsEnabled(kSelectButtonId));
  EXPECT_EQ(Items(kLogId), (std::vector<std::u16string>{
                               u"Nothing of the printer family was found.",
                               u"Tick the components to remove, then click Uninstall."}));
}

TEST_F(DialogTest, OnASimplifiedChineseSystemTheChineseTitleAndFont) {
  Build("win7-x86-zh-cn");
  ui::SetAnsiCodePage(936);
  CUninstallPrinterDlg::Options options;
  options.platform = &u();
  options.chinese_font = true;
  page_ = std::make_unique<CUninstallPrinterDlg>(options);
  dialog_ = std::make_unique<ui::headless::Dialog>(*page_, env_);
  dialog_->Create();
  EXPECT_EQ(dialog_->Caption(), u"\u6253\u5370\u673A\u5378\u8F7D\u7A0B\u5E8F");
  ASSERT_NE(dialog_->Font(), nullptr);
  EXPECT_EQ(dialog_->Font()->face, u"\u5B8B\u4F53");
  EXPECT_EQ(dialog_->ItemCount(kComponentListId), 10);
  // Setup and a second start find the window by its Chinese title.
  EXPECT_NE(u().shell.FindWindow(u"\u6253\u5370\u673A\u5378\u8F7D\u7A0B\u5E8F"), 0u);
  ui::SetAnsiCodePage(1252);
}

TEST_F(DialogTest, DamagedConfigurationAndLanguageFilesListNothingAndShowNoText) {
  Build("win7-x64-en");
  std::string garbage(3 << 20, '\0');
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919u) >> 3);
  garbage += "\n[KVMONITOR]\nMonitorNUM=99999999999999999999\nMONITORNAME1=\nMONITORNAME2=0\n";
  Put(u"C:\\kit\\DRVCONFIG\\Uninstall.ini", garbage);
  Put(u"C:\\kit\\language\\uninstall_EN.ini", garbage);
  Open();
  ASSERT_FALSE(dialog_->Ended());
  EXPECT_EQ(dialog_->ItemCount(kComponentListId), 0);
  EXPECT_EQ(dialog_->Caption(), u"Uninstall");  // the window keeps its own title
}

TEST_F(DialogTest, TheUsbOptionNeedsTheDriverAPrinterAndTheLibrary) {
  Build("win7-x64-en");
  ASSERT_EQ(Tool("unplug DIR 'USB\\VID_7A5C&PID_1000\\6&2759426&0&1'"), 0);
  Open();
  EXPECT_FALSE(dialog_->IsEnabled(kUsbBoxId));
  EXPECT_TRUE(env_.MessageBoxes().empty());
  dialog_.reset();
  ASSERT_TRUE(u().files.DeleteFile(u"C:\\kit\\KvUsbInt.dll"));
  Open();
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"Can not load KvUsbInt.dll");
  EXPECT_FALSE(dialog_->IsEnabled(kUsbBoxId));
}

TEST_F(DialogTest, WithoutTheDriverFileThereIsNoProbe) {
  Build("win7-x64-en", false);
  ASSERT_TRUE(u().files.DeleteFile(u"C:\\kit\\KvUsbInt.dll"));
  Open();
  EXPECT_TRUE(env_.MessageBoxes().empty());
  EXPECT_FALSE(dialog_->IsEnabled(kUsbBoxId));
  EXPECT_FALSE(dialog_->IsEnabled(kSelectButtonId));  // the list is empty
}

TEST_F(DialogTest, WithoutUninstallIniTheWindowSaysSoAndCloses) {
  Build("win7-x64-en", false);
  ASSERT_TRUE(u().files.DeleteFile(u"C:\\kit\\DRVCONFIG\\Uninstall.ini"));
  Open();
  EXPECT_TRUE(dialog_->Ended());
  EXPECT_EQ(dialog_->Result(), ui::kIdCancel);
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"The configuration file Uninstall.ini was not found!");
}

// An unreadable Uninstall.ini closes the window (2), an unlisted member ends
// the run 1; a stopped spooler is started before the list (every case
// stops it first).
TEST_F(DialogTest, WhatTheWindowCannotReadOrListIsSaid) {
  struct Case {
    const char* fault;  // after the spooler was stopped; "" for none
    int listed;         // -1: the window closed
    std::string why;    // the start of the ending's reason
  };
  const Case cases[] = {
      {"path 'C:\\kit\\DRVCONFIG\\Uninstall.ini' 5", -1, "Cannot read the configuration file C:\\kit\\DRVCONFIG\\Uninstall.ini\n"},
      {"", 10, ""},
      {"call OpenPrinter 5 --subject 'VRT-Q40(P)' --times 1", 9, "not listed: VRT-Q40(P)"},
      {"call EnumMonitors 1722", 7, "not listed: the port monitors"},
      // A spooler that stays stopped is named before the lists it keeps.
      {"service Spooler --start-error 1058", 0, "not listed: the print spooler (it does not start), the printers"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    dialog_.reset();
    page_.reset();  // its window belongs to the machine torn down next
    TearDown();
    Build("win7-x64-en");
    auto stop = [](sim::Json& s) { s["services"]["Spooler"]["state"] = kServiceStopped; return true; };
    std::string error;
    ASSERT_EQ(machine_->store().Update(stop, &error), sim::StoreError::kNone) << error;
    if (*c.fault != 0) ASSERT_EQ(Tool(std::string("fault DIR ") + c.fault), 0);
    Open();
    EXPECT_EQ(dialog_->Ended(), c.listed < 0);
    if (c.listed >= 0) EXPECT_EQ(dialog_->ItemCount(kComponentListId), c.listed);
    EXPECT_EQ(page_->outcome().Ending().why.substr(0, c.why.size()), c.why);
    EXPECT_EQ(page_->outcome().Ending().status, c.listed < 0 ? 2 : c.why.empty() ? 0 : 1);
  }
}

TEST_F(DialogTest, SelectThenUninstallRunsAndAsksForTheRestart) {
  Build("win7-x64-en");
  Open();
  QueueJob(u"VRT-Q40(P)");
  ASSERT_TRUE(dialog_->Click(kSelectButtonId));
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(dialog_->IsItemChecked(kComponentListId, i));
  ASSERT_TRUE(dialog_->Click(kUninstallButtonId));
  // Queued jobs: nothing starts.
  EXPECT_EQ(Items(kLogId).back(), u"Delete the print jobs in VRT-Q40(P) first!");
  EXPECT_EQ(dialog_->ItemCount(kComponentListId), 10);

  ASSERT_EQ(Tool("map-port DIR LPT1: file"), 0);
  std::string error;
  machine_->store().Update([](sim::Json& s) { return (s["spooler"]["jobs"] = sim::Json::array(), true); }, &error);
  std::vector<std::u16string> restart_texts;
  env_.modal_driver = [&](ui::headless::Dialog& d) {
    restart_texts = {d.Caption(), d.Text(kRebootNote1Id), d.Text(ui::kIdOk)};
    d.Click(ui::kIdCancel);  // "No"
  };
  ASSERT_TRUE(dialog_->Click(kUninstallButtonId));
  EXPECT_EQ(restart_texts, (std::vector<std::u16string>{u"Restart", u"The uninstall run has ended.", u"Yes"}));
  EXPECT_EQ(dialog_->ItemCount(kComponentListId), 0);
  // Only Exit is left; the log shows the last line.
  EXPECT_FALSE(dialog_->IsEnabled(kUninstallButtonId));
  EXPECT_FALSE(dialog_->IsEnabled(kSelectButtonId));
  EXPECT_TRUE(dialog_->IsEnabled(ui::kIdCancel));
  EXPECT_EQ(dialog_->Selection(kLogId), dialog_->ItemCount(kLogId) - 1);
  EXPECT_EQ(Items(kLogId).back(), u"KVRPrint was removed.");
  EXPECT_EQ(Restarts(), 0);
  dialog_->Close();
  EXPECT_TRUE(dialog_->Ended());
}

TEST_F(DialogTest, AboutBoxAndHelp) {
  Build("win7-x64-en", false);
  Open();
  std::vector<std::u16string> about;
  env_.modal_driver = [&](ui::headless::Dialog& d) {
    about = {d.Caption(), d.Text(kAboutVersionId), d.Text(ui::kIdOk)};
    d.Click(ui::kIdOk);
  };
  ASSERT_TRUE(dialog_->ChooseSystemMenu(kAboutCommand));
  EXPECT_EQ(about, (std::vector<std::u16string>{u"About Uninstall", u"Uninstall Version 1.0", u"OK"}));
  // F1: the program's own window titled "Uninstall" is not the help; the
  // help file is opened.
  ASSERT_TRUE(dialog_->PressHelp());
  ASSERT_EQ(Launches().size(), 1u);
  EXPECT_EQ(Launches()[0], "C:\\kit\\Uninstall_EN.CHM ");
  // A help window of that title is brought forward instead.
  auto help = machine_->platform().shell.AnnounceWindow(u"Uninstall");
  ASSERT_TRUE(dialog_->PressHelp());
  EXPECT_EQ(Launches().size(), 1u);
  sim::Json state;
  std::string error;
  machine_->store().Read(&state, &error);
  for (const auto& w : state["windows"]) {
    EXPECT_EQ(w.value("foreground_requests", 0), w.value("id", WindowHandle{0}) == help->Handle() ? 1 : 0);
  }
}

}  // namespace
}  // namespace kit::uninstall
