// How the USB routines talk to the user: the wizard's message boxes, owned
// by whichever window asks (the port page or the frame).
// This file is OS-independent.
#pragma once

#include <string_view>

namespace kit::setup {

class UsbPrompts {
 public:
  virtual ~UsbPrompts() = default;
  // A "Message"/key box.
  virtual void Message(std::string_view key) = 0;
  // A box with this text as it stands (the USB library's fixed English
  // texts).
  virtual void Notice(std::string_view text) = 0;
  // A "Message"/key yes/no question: true on yes.
  virtual bool Ask(std::string_view key) = 0;
};

}  // namespace kit::setup
