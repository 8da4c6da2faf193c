// One way for behaviour tests to drive a dialog, whichever host shows it:
// the same test body runs against the headless host and, on Windows, against
// the real window from a second thread.
#pragma once

#include <string>
#include <vector>

namespace kit::ui::testing {

class DialogDriver {
 public:
  virtual ~DialogDriver() = default;
  virtual std::u16string Caption() = 0;
  virtual std::u16string Text(int id) = 0;
  virtual bool Enabled(int id) = 0;
  virtual bool Visible(int id) = 0;
  virtual int Position(int id) = 0;
  virtual bool Click(int id) = 0;
  // Enter (1) or Escape (2) pressed on the dialog.
  virtual void Key(int command) = 0;
  // Lets `ms` milliseconds pass: virtual time headlessly, real time on Windows.
  virtual void Wait(int ms) = 0;
  virtual bool Ended() = 0;
};

// Failures collected by a behaviour body; the test thread asserts on them
// (Windows runs the body on a second thread, where GoogleTest must not be
// used).
struct Checks {
  std::vector<std::string> failures;
  void Expect(bool ok, const std::string& what) {
    if (!ok) failures.push_back(what);
  }
};

}  // namespace kit::ui::testing
