// The operations a print job carries out at one of its four events (start
// and end of the document, start and end of each page), as printer bytes.
//
// The bytes of one event always come in this order:
//   1. the raw command, when it is to be sent;
//   2. the paper feed of feed_mm millimetres;
//   3. the logo, when it stands before the cut (or there is no cut);
//   4. the cut, after feeding to the cutter when feed_to_cut is set;
//   5. the logo, when it stands after the cut;
//   6. the drawer pulse, or the herald when the herald is chosen;
//   7. the buzzer.
// An operation the model does not take is left out (a full cut on a model
// with a partial cutter only is made partial).
//
// This file is OS-independent.
#pragma once

#include <cstdint>
#include <vector>

#include "print/model/model_table.h"

namespace kit::print::encoder {

using Bytes = std::vector<std::uint8_t>;

enum class Cut : std::uint8_t { kNone = 0, kPartial = 1, kFull = 2 };
enum class Align : std::uint8_t { kLeft = 0, kCentre = 1, kRight = 2 };

struct EventOperations {
  bool send_command = false;
  Bytes command;                // sent unchanged when send_command
  int feed_mm = 0;              // 0..100
  int logo = 0;                 // 0 none, 1..9 the stored logo
  Align logo_align = Align::kLeft;
  bool logo_after_cut = false;
  bool feed_to_cut = false;
  Cut cut = Cut::kNone;
  int drawer = 0;               // 0 none, 1..4 the pulse times of commands::kDrawerPulseMs
  bool use_herald = false;      // the herald instead of the drawer
  bool herald_enabled = false;
  int buzzer = 0;               // 0 off, 1..5 the counts of commands::kBuzzerBeeps
  int buzzer_volume = 0;        // 0..255; the family's buzzer command has no volume
};

// Appends the event's bytes to `out`, in the order above.
void AppendEvent(Bytes& out, const EventOperations& ops, const model::Model& model);
Bytes EncodeEvent(const EventOperations& ops, const model::Model& model);

// The single operations, for callers that build their own sequence. Values
// out of range send nothing.
void AppendFeedDots(Bytes& out, int dots);            // 1B 4A, split at 255
void AppendFeedMm(Bytes& out, int mm, const model::Model& model);
void AppendLogo(Bytes& out, int logo, Align align);   // 1B 61 a, 1C 70 n 00, 1B 61 00
void AppendCut(Bytes& out, Cut cut, bool feed_to_cut);
void AppendDrawerPulse(Bytes& out, int drawer);       // 1..4
void AppendHerald(Bytes& out);
void AppendBuzzer(Bytes& out, int buzzer);            // 1..5

// Millimetres to dots at the model's resolution, rounded down.
int DotsOfMm(int mm, const model::Model& model);

}  // namespace kit::print::encoder
