// The Operation page and its per-event dialog on a headless host: which
// bytes of the private settings record each event writes, the command text
// and its length check, Default, the number boxes, the controls that are
// never enabled, the preview picture, and damaged records.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "plugin/core/operation/operation_page.h"
#include "plugin/core/sheets/message_texts.h"
#include "ui/headless/dialog.h"

namespace kit::plugin::operation {
namespace {

using ui::headless::Dialog;

constexpr char16_t kSystemDirectory[] = u"C:\\Windows\\system32";

// The bytes of each event's block, first and last, by event index.
struct BlockRange {
  int event;
  std::size_t first, last;
  std::size_t command, command_length, drawer, feed_to_cut, cut, feed;
};
constexpr BlockRange kBlocks[] = {
    {kStartOfDocument, 16, 160, 18, 146, 147, 17, 148, 149},
    {kStartOfPage, 161, 307, 163, 291, 292, 162, 293, 294},
    {kEndOfPage, 452, 595, 454, 582, 583, 453, 584, 585},
    {kEndOfDocument, 308, 451, 310, 438, 439, 309, 440, 441},
};

class OperationTest : public ::testing::Test {
 protected:
  OperationTest() {
    Encode(DefaultPrivateDevMode(kSystemDirectory), record_);
    param_.pOEMDM = record_.data();
    context_.lParamInit = reinterpret_cast<com::LPARAM>(&param_);
    env_.modal_driver = [this](Dialog& d) {
      ++dialogs_opened_;
      if (drive_) drive_(d);
    };
  }

  // Opens the page and presses the button of `event`, with `drive` acting
  // on the dialog.
  Dialog& Press(int event, std::function<void(Dialog&)> drive) {
    drive_ = std::move(drive);
    if (!page_window_) {
      page_window_ = std::make_unique<Dialog>(page_, env_);
      page_window_->Create();
    }
    EXPECT_TRUE(page_window_->Click(kEventButtonIds[event]));
    return *page_window_;
  }

  PrivateDevMode Record() const { return Decode(record_); }

  PrivateDevModeBytes record_{};
  com::OEMUIPSPARAM param_{};
  com::DocumentSheetContext context_;
  OperationPage page_{sheets::PageContext::Document(context_, nullptr)};
  ui::headless::Environment env_;
  std::unique_ptr<Dialog> page_window_;
  std::function<void(Dialog&)> drive_;
  int dialogs_opened_ = 0;
};

TEST_F(OperationTest, EachEventWritesOnlyItsOwnBlockAndTheCommandComesBackAsShown) {
  for (const BlockRange& block : kBlocks) {
    const PrivateDevModeBytes before = record_;
    Dialog& page = Press(block.event, [](Dialog& d) {
      EXPECT_TRUE(d.Check(kSendCommandId, true));
      EXPECT_TRUE(d.Type(kCommandId, u"1D 56 42 00"));
      EXPECT_TRUE(d.Type(kFeedId, u"12"));
      EXPECT_TRUE(d.Click(ui::kIdOk));
    });
    for (std::size_t i = 0; i < kPrivateDevModeSize; ++i) {
      if (i < block.first || i > block.last) {
        EXPECT_EQ(record_[i], before[i]) << "event " << block.event << " byte " << i;
      }
    }
    EXPECT_EQ(record_[block.command_length], 4) << block.event;
    EXPECT_EQ(record_[block.command], 0x1D);
    EXPECT_EQ(record_[block.command + 3], 0x00);
    EXPECT_EQ(record_[block.feed], 12);
    EXPECT_EQ(record_[block.first], 1) << "SendCommand is the block's first byte";
    EXPECT_EQ(page.ParentMessages().back().message, ui::kSheetChangedMessage);

    std::u16string shown;
    Press(block.event, [&](Dialog& d) { shown = d.Text(kCommandId); });
    EXPECT_EQ(shown, u"1D 56 42 00 ");
  }
}

TEST_F(OperationTest, A129ByteCommandIsRefusedWithTheDialogOpenAnd128Pass) {
  std::u16string text128;
  for (int i = 0; i < 128; ++i) text128 += u"AB ";
  bool stayed_open = false;
  Press(kStartOfPage, [&](Dialog& d) {
    EXPECT_TRUE(d.Check(kSendCommandId, true));
    EXPECT_TRUE(d.Type(kCommandId, text128 + u"CD"));
    env_.QueueAnswer(ui::kIdOk);
    EXPECT_TRUE(d.Click(ui::kIdOk));
    stayed_open = !d.Ended();
    EXPECT_TRUE(d.Type(kCommandId, text128));
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_TRUE(stayed_open);
  ASSERT_EQ(env_.MessageBoxes().size(), 1u);
  EXPECT_EQ(env_.MessageBoxes()[0].text, u"Command length error!");
  EXPECT_EQ(env_.MessageBoxes()[0].caption, u"Error");
  EXPECT_EQ(Record().StartPageOp.CommandLength, 128);
  EXPECT_EQ(Record().StartPageOp.Command[127], 0xAB);
}

TEST_F(OperationTest, DefaultGivesEachEventItsValuesAndOkStoresThem) {
  // Start from values far from the defaults in every block.
  PrivateDevMode r = Record();
  for (int e = 0; e < kEventCount; ++e) {
    EventOperation& op = *EventByIndex(r, e);
    op.DrawerSelect = 2, op.FeedMm = 9, op.LogoSelect = 3, op.LogoAlign = 2, op.UseHerald = 1, op.SendCommand = 1;
    op.CutType = 2, op.FeedToCut = 0, op.BuzzerSelect = 1, op.BuzzerVolume = 7, op.LogoPosition = 1;
  }
  Encode(r, record_);
  for (int e = 0; e < kEventCount; ++e) {
    int preview = 0;
    Press(e, [&](Dialog& d) {
      EXPECT_TRUE(d.Click(kDefaultId));
      EXPECT_FALSE(d.IsEnabled(kCommandId));
      EXPECT_TRUE(d.IsChecked(kOpenDrawerId));
      EXPECT_TRUE(d.IsEnabled(kDrawerListId));
      EXPECT_FALSE(d.IsEnabled(kHeraldListId));
      EXPECT_FALSE(d.IsEnabled(kLeftId));
      EXPECT_TRUE(d.IsChecked(kLeftId));
      EXPECT_TRUE(d.IsChecked(kBeforeCutId));
      EXPECT_FALSE(d.IsEnabled(kVolumeId));
      preview = d.Find(kPreviewId)->bitmap_resource;
      EXPECT_TRUE(d.Click(ui::kIdOk));
    });
    EXPECT_EQ(*EventByIndex(Record(), e), DefaultOperation(e)) << "event " << e;
    EXPECT_EQ(preview, PreviewBitmapId(e, e == kEndOfDocument, e == kEndOfDocument)) << "Default repaints the preview";
  }
  EXPECT_EQ(Record().StartDocOp.DrawerSelect, 4);
  EXPECT_EQ(Record().EndDocOp.FeedToCut, 1);
  EXPECT_EQ(Record().EndDocOp.CutType, 1);
}

TEST_F(OperationTest, TheCommandBoxDropsNonHexKeysButPastedTextCountsAsZero) {
  Press(kEndOfPage, [](Dialog& d) {
    EXPECT_TRUE(d.Check(kSendCommandId, true));
    EXPECT_TRUE(d.PressKey(kCommandId, {u'1'}));
    EXPECT_TRUE(d.PressKey(kCommandId, {u'G'}));
    EXPECT_TRUE(d.PressKey(kCommandId, {u'B'}));
    EXPECT_EQ(d.Text(kCommandId), u"1B");
    EXPECT_TRUE(d.Paste(kCommandId, u" GZ"));
    EXPECT_EQ(d.Text(kCommandId), u"1B GZ");
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_EQ(Record().EndPageOp.CommandLength, 2);
  EXPECT_EQ(Record().EndPageOp.Command[0], 0x1B);
  EXPECT_EQ(Record().EndPageOp.Command[1], 0x00);
}

TEST_F(OperationTest, FeedAndVolumeAreClampedAtBothEnds) {
  Press(kStartOfDocument, [](Dialog& d) {
    EXPECT_TRUE(d.Type(kFeedId, u"250"));
    EXPECT_EQ(d.Text(kFeedId), u"100");
    EXPECT_EQ(d.Position(kFeedSpinId), 100);
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_EQ(Record().StartDocOp.FeedMm, 100);
  // A pasted negative number would be 251 mm in a byte.
  Press(kStartOfDocument, [](Dialog& d) {
    EXPECT_TRUE(d.Type(kFeedId, u""));
    EXPECT_TRUE(d.Paste(kFeedId, u"-5"));
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_EQ(Record().StartDocOp.FeedMm, 0);
}

TEST_F(OperationTest, TheFixedControlsAreNeverEnabled) {
  PrivateDevMode r = Record();
  r.StartPageOp.UseHerald = 1;
  r.StartPageOp.BuzzerSelect = 2;
  r.StartPageOp.LogoSelect = 4;
  r.StartPageOp.LogoPosition = 1;
  Encode(r, record_);
  Press(kStartOfPage, [](Dialog& d) {
    auto none_enabled = [&](const char* when) {
      for (int id : kNeverEnabled) EXPECT_FALSE(d.IsEnabled(id)) << id << " " << when;
    };
    none_enabled("at start");
    EXPECT_TRUE(d.IsChecked(kHeraldId));
    EXPECT_TRUE(d.IsEnabled(kHeraldListId));
    EXPECT_FALSE(d.IsEnabled(kDrawerListId));
    EXPECT_TRUE(d.IsEnabled(kVolumeId)) << "a stored buzzer choice enables the volume box";
    EXPECT_TRUE(d.IsChecked(kAfterCutId));
    EXPECT_TRUE(d.Click(kOpenDrawerId));
    EXPECT_TRUE(d.IsEnabled(kDrawerListId));
    EXPECT_TRUE(d.Select(kLogoListId, 0));
    EXPECT_FALSE(d.IsEnabled(kCenteredId));
    EXPECT_TRUE(d.Select(kLogoListId, 5));
    EXPECT_TRUE(d.IsEnabled(kCenteredId));
    none_enabled("after the lists");
    EXPECT_TRUE(d.Click(kDefaultId));
    none_enabled("after Default");
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_EQ(Record().StartPageOp.UseHerald, 0u);
}

TEST_F(OperationTest, CancelStoresNothingAndANullRecordOpensNothing) {
  const PrivateDevModeBytes before = record_;
  Dialog& page = Press(kEndOfDocument, [](Dialog& d) {
    EXPECT_TRUE(d.Check(kSendCommandId, true));
    EXPECT_TRUE(d.Type(kCommandId, u"1B 40"));
    EXPECT_TRUE(d.Click(kDefaultId));
    EXPECT_TRUE(d.Click(ui::kIdCancel));
  });
  EXPECT_EQ(record_, before);
  EXPECT_TRUE(page.ParentMessages().empty());

  param_.pOEMDM = nullptr;
  const int opened = dialogs_opened_;
  Press(kStartOfDocument, [](Dialog& d) { d.Click(ui::kIdOk); });
  EXPECT_EQ(dialogs_opened_, opened);
  EXPECT_EQ(record_, before);
}

TEST_F(OperationTest, ADamagedRecordOpensShowsAtMost128BytesAndKeepsUntouchedValues) {
  record_[146] = 200;  // StartDocOp.CommandLength
  record_[147] = 9;    // StartDocOp.DrawerSelect, outside the list
  record_[18] = 0x1B;
  std::u16string shown;
  int selection = 0;
  Press(kStartOfDocument, [&](Dialog& d) {
    shown = d.Text(kCommandId);
    selection = d.Selection(kDrawerListId);
    EXPECT_TRUE(d.Type(kFeedId, u"3"));
    EXPECT_TRUE(d.Click(ui::kIdOk));
  });
  EXPECT_EQ(shown.size(), 128u * 3);
  EXPECT_EQ(shown.substr(0, 3), u"1B ");
  EXPECT_EQ(selection, -1);
  EXPECT_EQ(Record().StartDocOp.DrawerSelect, 9) << "a list without a selection keeps the stored value";
  EXPECT_EQ(Record().StartDocOp.CommandLength, 128);
  EXPECT_EQ(Record().StartDocOp.FeedMm, 3);
}

TEST_F(OperationTest, ApplyReportsAndMarksNothingPending) {
  Dialog& page = Press(kStartOfDocument, [](Dialog& d) { d.Click(ui::kIdCancel); });
  EXPECT_EQ(page.Notify(ui::SheetEvent::kApply), ui::SheetReply::kAccept);
  ASSERT_FALSE(page.ParentMessages().empty());
  EXPECT_EQ(page.ParentMessages().back().message, ui::kSheetUnchangedMessage);
}

TEST_F(OperationTest, TheDialogTitleAndPreviewFollowTheEvent) {
  const char16_t* titles[] = {u"Start Document Operation", u"Start Page Operation", u"End Page Operation",
                              u"End Document Operation"};
  for (int e = 0; e < kEventCount; ++e) {
    std::u16string caption;
    int preview = 0;
    Press(e, [&](Dialog& d) {
      caption = d.Caption();
      preview = d.Find(kPreviewId)->bitmap_resource;
    });
    EXPECT_EQ(caption, titles[e]);
    EXPECT_EQ(preview, PreviewBitmapId(e, e == kEndOfDocument, e == kEndOfDocument)) << "defaults of event " << e;
  }
}

TEST_F(OperationTest, TheTemplatesKeepTheTemplateRules) {
  WorkingSet working;
  OperationDialog dialog(nullptr, working);
  EXPECT_EQ(ui::Validate(dialog.Template()), "");
  EXPECT_EQ(ui::Validate(page_.Template()), "");
  EXPECT_EQ(dialog.Template().id, kOperationDialogId);
  EXPECT_EQ(page_.Template().id, 103);
}

TEST(OperationRules, PreviewBitmapByEventAndCase) {
  struct Case {
    int event;
    bool feed_to_cut, cut;
    int bitmap;
  };
  const Case cases[] = {
      {0, true, true, 143}, {0, true, false, 144}, {0, false, true, 145}, {0, false, false, 149},
      {1, true, true, 146}, {1, true, false, 147}, {1, false, true, 148}, {1, false, false, 149},
      {2, true, true, 140}, {2, true, false, 141}, {2, false, true, 142}, {2, false, false, 139},
      {3, true, true, 136}, {3, true, false, 137}, {3, false, true, 138}, {3, false, false, 139},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PreviewBitmapId(c.event, c.feed_to_cut, c.cut), c.bitmap) << c.event << c.feed_to_cut << c.cut;
}

TEST(OperationRules, CommandKeyFilter) {
  using ui::KeyAction;
  struct Case {
    ui::KeyPress key;
    KeyAction action;
  };
  const Case cases[] = {
      {{u'0'}, KeyAction::kPass},        {{u'f'}, KeyAction::kPass},   {{u'F'}, KeyAction::kPass},
      {{u' '}, KeyAction::kPass},        {{u'\b'}, KeyAction::kPass},  {{u'.'}, KeyAction::kPass},
      {{u'-'}, KeyAction::kPass},        {{u'G'}, KeyAction::kDrop},   {{u'x'}, KeyAction::kDrop},
      {{u'\r'}, KeyAction::kDrop},       {{0x16, true}, KeyAction::kPass},
      {{u'\t', false, false, true}, KeyAction::kNextControl},
      {{u'a', false, false, true}, KeyAction::kNextControl},
      {{u'\t', false, true, true}, KeyAction::kPreviousControl},
  };
  for (const Case& c : cases) EXPECT_EQ(CommandKeyFilter(c.key), c.action) << static_cast<int>(c.key.character);
}

TEST(OperationRules, ReadClamped) {
  struct Case {
    const char16_t* text;
    int high, value;
  };
  const Case cases[] = {{u"", 100, 0},   {u"42", 100, 42},    {u"250", 100, 100}, {u"-5", 100, 0},
                        {u"7x", 255, 7}, {u"999", 255, 255}, {u"99999999999999", 255, 255}, {u"+3", 100, 3}};
  for (const Case& c : cases) EXPECT_EQ(ReadClamped(c.text, c.high), c.value) << c.high;
}

}  // namespace
}  // namespace kit::plugin::operation
