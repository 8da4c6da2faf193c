#include "print/encoder/event_operations.h"

#include <gtest/gtest.h>

#include "tools/kvjob/command_reader.h"

namespace kit::print::encoder {
namespace {

const model::Model& Q40() { return model::ReceiptQ40(); }
const model::Model& Find(const char* token) { return *model::FindModel(token); }

struct Case {
  const char* name;
  EventOperations ops;
  const model::Model& model;
  Bytes bytes;
};

EventOperations With(void (*set)(EventOperations&)) {
  EventOperations ops;
  set(ops);
  return ops;
}

// One table: every operation alone, then the documented order of all of them.
TEST(EventOperations, BytesInTheDocumentedOrder) {
  const Case cases[] = {
      {"nothing", {}, Q40(), {}},
      {"raw command", With([](EventOperations& o) { o.send_command = true; o.command = {0x1D, 0x56, 0x42, 0x00}; }),
       Q40(), {0x1D, 0x56, 0x42, 0x00}},
      {"command kept when not sent", With([](EventOperations& o) { o.command = {0x41}; }), Q40(), {}},
      // 100 mm at 180 dpi: 708 dots, fed 255 + 255 + 198.
      {"feed 100 mm", With([](EventOperations& o) { o.feed_mm = 100; }), Q40(),
       {0x1B, 0x4A, 0xFF, 0x1B, 0x4A, 0xFF, 0x1B, 0x4A, 0xC6}},
      {"feed 101 mm refused", With([](EventOperations& o) { o.feed_mm = 101; }), Q40(), {}},
      {"logo 1 centred", With([](EventOperations& o) { o.logo = 1; o.logo_align = Align::kCentre; }), Q40(),
       {0x1B, 0x61, 0x01, 0x1C, 0x70, 0x01, 0x00, 0x1B, 0x61, 0x00}},
      {"logo 10 refused", With([](EventOperations& o) { o.logo = 10; }), Q40(), {}},
      {"partial cut", With([](EventOperations& o) { o.cut = Cut::kPartial; }), Q40(), {0x1D, 0x56, 0x01}},
      {"full cut after feeding to the cutter", With([](EventOperations& o) { o.cut = Cut::kFull; o.feed_to_cut = true; }),
       Q40(), {0x1D, 0x56, 0x41, 0x00}},
      {"feed to cut without a cut", With([](EventOperations& o) { o.feed_to_cut = true; }), Q40(), {}},
      {"full cut on a partial cutter", With([](EventOperations& o) { o.cut = Cut::kFull; }), Find("VRT-E20"),
       {0x1D, 0x56, 0x01}},
      {"no cut on a label printer", With([](EventOperations& o) { o.cut = Cut::kFull; }), Find("VRTL50"), {}},
      {"drawer 60 ms", With([](EventOperations& o) { o.drawer = 4; }), Q40(), {0x1B, 0x70, 0x00, 0x1E, 0x1E}},
      {"drawer 10 ms", With([](EventOperations& o) { o.drawer = 1; }), Q40(), {0x1B, 0x70, 0x00, 0x05, 0x05}},
      {"herald instead of the drawer", With([](EventOperations& o) { o.drawer = 4; o.use_herald = true; o.herald_enabled = true; }),
       Q40(), {0x1B, 0x70, 0x01, 0x32, 0x32}},
      {"herald disabled", With([](EventOperations& o) { o.drawer = 4; o.use_herald = true; }), Q40(), {}},
      {"no drawer on a ticket printer", With([](EventOperations& o) { o.drawer = 4; }), Find("VRTT80"), {}},
      {"twenty beeps", With([](EventOperations& o) { o.buzzer = 5; o.buzzer_volume = 200; }), Q40(),
       {0x1B, 0x42, 0x14, 0x02}},
      {"buzzer 6 refused", With([](EventOperations& o) { o.buzzer = 6; }), Q40(), {}},
      {"logo after the cut",
       With([](EventOperations& o) { o.logo = 2; o.logo_after_cut = true; o.cut = Cut::kPartial; o.feed_to_cut = true; }),
       Q40(), {0x1D, 0x56, 0x42, 0x00, 0x1B, 0x61, 0x00, 0x1C, 0x70, 0x02, 0x00, 0x1B, 0x61, 0x00}},
      {"all of them",
       With([](EventOperations& o) {
         o.send_command = true; o.command = {0x1B, 0x40}; o.feed_mm = 1; o.logo = 3; o.logo_align = Align::kRight;
         o.cut = Cut::kPartial; o.feed_to_cut = true; o.drawer = 2; o.buzzer = 1;
       }),
       Q40(),
       {0x1B, 0x40, 0x1B, 0x4A, 0x07, 0x1B, 0x61, 0x02, 0x1C, 0x70, 0x03, 0x00, 0x1B, 0x61, 0x00, 0x1D, 0x56, 0x42,
        0x00, 0x1B, 0x70, 0x00, 0x0A, 0x0A, 0x1B, 0x42, 0x01, 0x02}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes bytes = EncodeEvent(c.ops, c.model);
    EXPECT_EQ(bytes, c.bytes);
    // The virtual printer reads every byte the encoder writes as a command it knows.
    for (std::size_t at = 0; at < bytes.size();) {
      const tools::Command command = tools::ReadCommand(bytes, at);
      if (c.ops.send_command) break;  // the raw command is the user's own
      ASSERT_NE(command.kind, tools::CommandKind::kUnknown) << "at " << at;
      at += command.bytes.size();
    }
  }
}

TEST(ModelTable, EverySeriesOfTheKitWithItsFigures) {
  ASSERT_EQ(model::Models().size(), 5u);
  EXPECT_EQ(Q40().printable_width_dots, 395);
  EXPECT_EQ(Q40().dots_per_inch, 180);
  for (const model::Model& m : model::Models()) {
    SCOPED_TRACE(std::string(m.token));
    EXPECT_EQ(model::FindModel(m.name), &m);
    EXPECT_LE(m.PrintableWidthTenthsMm(), m.paper_width_tenths_mm);
    EXPECT_LE(m.min_paper_width_tenths_mm, m.paper_width_tenths_mm);
    ASSERT_FALSE(m.rolls.empty());
    for (const model::RollSize& roll : m.rolls) {
      EXPECT_GE(roll.length_tenths_mm, m.min_length_tenths_mm);
      EXPECT_LE(roll.length_tenths_mm, m.max_length_tenths_mm);
    }
  }
  EXPECT_EQ(model::FindModel("vrtq40"), &Q40());
  EXPECT_EQ(model::FindModel("VRT-Q4"), nullptr);
}

// A rendering module knows its model by its own file name, as the model's
// plug-in list names it or as the spooler copied it.
TEST(ModelTable, TheModelOfARenderingModule) {
  struct Case {
    const char* path;
    const char* token;  // nullptr: no model
  };
  const Case cases[] = {
      {"VRTD45R.DLL", "VRTD45"},
      {"C:\\Windows\\system32\\spool\\drivers\\x64\\3\\vrtl50r.dll", "VRTL50"},
      {"/build/plugin/render/dll/libVRTE20R.so", "VRTE20"},
      {"libVRTQ40R.so", "VRTQ40"},
      {"VRTT80R.DLL", "VRTT80"},
      {"VRTQ40UI.DLL", nullptr},   // the UI plug-in
      {"VRTQ40.DLL", nullptr},     // no R
      {"VRTX99R.DLL", nullptr},    // no model of the family
      {"VRTD45R", nullptr},        // no extension
      {"R.DLL", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const model::Model* found = model::FindModelOfRenderModule(c.path);
    if (c.token == nullptr) {
      EXPECT_EQ(found, nullptr);
    } else {
      ASSERT_NE(found, nullptr);
      EXPECT_EQ(found->token, c.token);
    }
  }
}

}  // namespace
}  // namespace kit::print::encoder
