#include "bridge/Bridge.h"

namespace {

// Characters of a copied text without the trailing blanks and line ends a target may add
// after the word (a spreadsheet cell ends in CR LF).
size_t LengthWithoutTrailingBlanks(const std::string& text) {
  size_t n = text.size();
  while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= 0x20) --n;
  return n;
}

}  // namespace

void Bridge::TapKey(uint8_t vk) {
  keys_.KeyDown(vk);
  keys_.KeyUp(vk);
}

bool Bridge::OpenClipboard() {
  uint32_t start = clock_.NowMs();
  for (;;) {
    if (clipboard_.Open()) return true;
    if (static_cast<uint32_t>(clock_.NowMs() - start) >= static_cast<uint32_t>(kClipboardOpenLimitMs)) return false;
    clock_.SleepMs(kClipboardOpenPollMs);
  }
}

bool Bridge::WriteClipboard(unsigned format, const void* bytes, size_t count) {
  if (!OpenClipboard()) return false;
  bool written = clipboard_.Empty() && clipboard_.SetData(format, bytes, count);
  clipboard_.Close();
  return written;
}

std::string Bridge::ReadClipboardText() {
  if (!OpenClipboard()) return std::string();
  std::string text = clipboard_.GetText();
  clipboard_.Close();
  return text;
}

void Bridge::PasteAndSelect(const std::string& text) {
  // Ctrl+V of whatever the clipboard held before would paste the user's old content.
  if (!WriteClipboard(kClipboardText, text.c_str(), text.size() + 1)) {
    beeper_.Beep();
    return;
  }
  // No wait before the Shift+Left taps: they follow Ctrl+V in the one input stream to
  // the same focused thread, which reads the clipboard while handling Ctrl+V, before it
  // sees them. Nothing would tell a wait when the paste is done anyway: a paste leaves
  // the clipboard's sequence number alone.
  keys_.KeyDown(kVkControl);
  TapKey(kVkV);
  keys_.KeyUp(kVkControl);
  keys_.KeyDown(kVkShift);
  for (size_t i = 0; i < text.size(); ++i) TapKey(kVkLeft);
  keys_.KeyUp(kVkShift);
}

void Bridge::EmptyClipboard() {
  if (!OpenClipboard()) return;
  clipboard_.Empty();
  clipboard_.Close();
}

bool Bridge::WaitForClipboardChange(uint32_t before) {
  uint32_t start = clock_.NowMs();
  for (;;) {
    if (clipboard_.SequenceNumber() != before) return true;
    if (static_cast<uint32_t>(clock_.NowMs() - start) >= static_cast<uint32_t>(kCopyWaitLimitMs)) return false;
    clock_.SleepMs(kCopyPollMs);
  }
}

// The target handles the keys later, in its own thread: a read straight after Ctrl+C
// would see the clipboard as it was. Emptying it first and waiting for the target's copy
// to change it means a target that ignores the keys, or has nothing to copy, gives an
// empty text rather than whatever the user copied earlier.
template <typename SendKeys>
std::string Bridge::CopyFromTarget(SendKeys sendKeys) {
  EmptyClipboard();
  uint32_t before = clipboard_.SequenceNumber();
  sendKeys();
  if (!WaitForClipboardChange(before)) return std::string();
  // A target's copy changes the sequence number when it empties the clipboard and keeps
  // it open until its text is set; the read's retries wait for that.
  return ReadClipboardText();
}

std::string Bridge::GrabNumberAtCaret() {
  // Ctrl+Right to the end of the word, Ctrl+Shift+Left back to its start, Ctrl+C.
  std::string word = CopyFromTarget([this] {
    keys_.KeyDown(kVkControl);
    TapKey(kVkRight);
    keys_.KeyDown(kVkShift);
    TapKey(kVkLeft);
    keys_.KeyUp(kVkShift);
    TapKey(kVkC);
    keys_.KeyUp(kVkControl);
  });
  // Ctrl+Right stops after the blanks that follow a word, so the copy may end in them.
  // The caret is now at the word's start: move it to the word's end, before the blanks,
  // then select back to the start and copy the word alone.
  size_t n = LengthWithoutTrailingBlanks(word);
  for (size_t i = 0; i < n; ++i) TapKey(kVkRight);
  return CopyFromTarget([this] {
    keys_.KeyDown(kVkControl);
    keys_.KeyDown(kVkShift);
    TapKey(kVkLeft);
    keys_.KeyUp(kVkShift);
    TapKey(kVkC);
    keys_.KeyUp(kVkControl);
  });
}
