// What the About box does, whichever host shows it.
#pragma once

#include "setup/about/about_dialog.h"
#include "tests/ui/driver/driver.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace kit::setup::testing {

// The language texts the behaviour expects to see.
inline MemoryLanguageTexts SampleAboutTexts() {
  MemoryLanguageTexts t;
  t.Set("About", "Caption", "About Printer Driver Setup");
  t.Set("About", "Version", "Printer Driver Setup V3.10");
  t.Set("About", "Copyright", "Copyright (C) 2013");
  t.Set("About", "OK", "Close");
  return t;
}

// Texts shown from the "About" section; its button closes the box.
inline void CheckAboutShowsTextsAndCloses(ui::testing::DialogDriver& d, ui::testing::Checks& c) {
  c.Expect(d.Caption() == u"About Printer Driver Setup", "caption is About/Caption: " + ui::ToUtf8(d.Caption()));
  c.Expect(d.Text(kAboutVersionId) == u"Printer Driver Setup V3.10", "1017 is About/Version: " + ui::ToUtf8(d.Text(kAboutVersionId)));
  c.Expect(d.Text(kAboutCopyrightId) == u"Copyright (C) 2013", "1018 is About/Copyright");
  c.Expect(d.Text(ui::kIdOk) == u"Close", "button 1 is About/OK");
  c.Expect(d.Enabled(ui::kIdOk) && d.Visible(ui::kIdOk), "button 1 can be pressed");
  c.Expect(!d.Ended(), "the box stays until answered");
  c.Expect(d.Click(ui::kIdOk), "button 1 takes a click");
  for (int i = 0; i < 150 && !d.Ended(); ++i) d.Wait(20);
  c.Expect(d.Ended(), "the box closes on its button");
}

// Escape closes the box as well.
inline void CheckAboutClosesOnEscape(ui::testing::DialogDriver& d, ui::testing::Checks& c) {
  c.Expect(!d.Ended(), "the box is open");
  d.Key(ui::kIdCancel);
  for (int i = 0; i < 150 && !d.Ended(); ++i) d.Wait(20);
  c.Expect(d.Ended(), "Escape closes the box");
}

}  // namespace kit::setup::testing
