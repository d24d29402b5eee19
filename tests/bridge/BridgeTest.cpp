#include <gtest/gtest.h>

#include "Fakes.h"

namespace {

// Grabs (no text to paste) and pastes into a field shown with its caret "|" or selection in
// brackets: the text grabbed or put on the clipboard, the field after, the keys it saw (^ Ctrl,
// + Shift, ' Right, % Left, C and V), the milliseconds waited, the beeps, and whether a key or
// the clipboard was left held (0). The target may
// copy something else than the selection (a grid's cells), ignore every key, or find the
// clipboard held by another program.
TEST(Bridge, GrabsAndPastes) {
  const std::string longWord(256, '1');
  std::string rights;  // a word may be 255 characters long
  for (int i = 0; i < 255; ++i) rights += "' ";
  // clang-format off
  const std::tuple<const char*, std::string, bool, bool, const char*, std::string> rows[] = {
      {"Total 12.5|", "", 0, 0, nullptr, "12.5|Total [12.5]|^' ^+% ^C ' ' ' ' ^+% ^C |0|00"},
      {"1|2 34", "", 0, 0, nullptr, "12|[12] 34|^' ^+% ^C ' ' ^+% ^C |0|00"},
      {"|", "", 0, 0, nullptr, "||^' ^+% ^C ^+% ^C |500|00"},
      {"5|", "", 1, 0, nullptr, "|5||500|00"},
      {"5|", "", 0, 1, nullptr, "|[5]|^' ^+% ^C ^+% ^C |550|00"},
      {"12.5|", "12.5\r\n", 0, 0, nullptr, "12.5\r\n|[12.5]|^' ^+% ^C ' ' ' ' ^+% ^C |0|00"},
      {"1|", "1 2", 0, 0, nullptr, "1 2|[1]|^' ^+% ^C ' ' ' ^+% ^C |0|00"},
      {"1|", "1\t2\r\n3\t4\r\n", 0, 0, nullptr, "|[1]|^' ^+% ^C |0|10"},
      {"1|", "1\x1f" "2", 0, 0, nullptr, "|[1]|^' ^+% ^C |0|10"},
      {"1|", longWord, 0, 0, nullptr, "|[1]|^' ^+% ^C |0|10"},
      {"1|", longWord.substr(1) + " ", 0, 0, nullptr, longWord.substr(1) + " |[1]|^' ^+% ^C " + rights + "^+% ^C |0|00"},
      {"Total [12.5]", "", 0, 0, "25", "25|Total [25]|^V +% +% |0|00"},
      {"|12", "", 0, 0, "", "|12|^V |0|00"},
      {"12|", "", 0, 1, "25", "|12||50|10"}};
  // clang-format on
  for (const auto& [field, copyAs, ignoring, held, paste, expected] : rows) {
    FakeTarget t;
    t.Set(field), t.copyAs = copyAs, t.ignoring = ignoring, t.held = held;
    Bridge bridge(t, t, t, t, t);
    const uint32_t start = t.now;
    std::string result = paste ? (bridge.PasteAndSelect(paste), t.clipboard) : bridge.GrabNumberAtCaret();
    EXPECT_EQ(result + "|" + t.Shown() + "|" + t.keys + "|" + std::to_string(t.now - start) + "|" +
                  std::to_string(t.beeps) + std::to_string(t.open || t.ctrl || t.shift),
              expected)
        << field;
    // Clipboard history and the cloud clipboard are asked to skip every text the pad writes.
    EXPECT_EQ(t.formats, paste && !held ? "C02C=0 C01C=0 C019=0 " : "") << field;
  }
}

}  // namespace
