#include "bridge/Bridge.h"

#include <vector>

namespace {

// Characters of a copied text without the trailing blanks and line ends a target may add
// after the word (a spreadsheet cell ends in CR LF).
size_t LengthWithoutTrailingBlanks(const std::string& text) {
  size_t n = text.size();
  while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= 0x20) --n;
  return n;
}

// A first copy with a tab, a line end or another control character inside, or a very long
// one, comes from a grid or a block of text, where the word moves went across cells.
bool IsWord(const std::string& text, size_t length) {
  if (length > kMaxWordLength) return false;
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(text[i]) < 0x20) return false;
  }
  return true;
}

// Registered formats that ask clipboard history and the cloud clipboard to skip an item.
const char* const kPrivateFormats[] = {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory",
                                       "CanUploadToCloudClipboard"};

// Key events gathered for one Send: a tap, a chord, a run of taps.
class Strokes {
 public:
  Strokes& Down(uint8_t vk) {
    events_.push_back(TKeyEvent{vk, false});
    return *this;
  }
  Strokes& Up(uint8_t vk) {
    events_.push_back(TKeyEvent{vk, true});
    return *this;
  }
  Strokes& Tap(uint8_t vk, size_t times = 1) {
    for (size_t i = 0; i < times; ++i) Down(vk).Up(vk);
    return *this;
  }
  const std::vector<TKeyEvent>& Events() const { return events_; }

 private:
  std::vector<TKeyEvent> events_;
};

// Wrap-safe: the tick count starts again from 0 after 49.7 days.
bool Expired(uint32_t start, uint32_t now, int limitMs) { return now - start >= static_cast<uint32_t>(limitMs); }

}  // namespace

bool Bridge::TargetTakesInput() {
  // A process the pad may not even query is most often one elevated with another account's
  // credentials, which takes no synthetic input either.
  if (integrity_.HasForeground()) {
    TIntegrity target = integrity_.Foreground();
    TIntegrity own = integrity_.Own();
    if (!target || (own && *target > *own)) {
      beeper_.Beep();
      return false;
    }
  }
  return true;
}

void Bridge::TapKey(uint8_t vk) { keys_.Send(Strokes().Tap(vk).Events()); }

bool Bridge::OpenClipboard() {
  uint32_t start = clock_.NowMs();
  for (;;) {
    if (clipboard_.Open()) return true;
    if (Expired(start, clock_.NowMs(), kClipboardOpenLimitMs)) return false;
    clock_.SleepMs(kClipboardOpenPollMs);
  }
}

bool Bridge::WriteClipboard(unsigned format, const void* bytes, size_t count) {
  if (!OpenClipboard()) return false;
  bool written = clipboard_.Empty() && clipboard_.SetData(format, bytes, count);
  const uint32_t no = 0;
  for (const char* name : kPrivateFormats) {
    if (unsigned privateFormat = written ? clipboard_.RegisterFormat(name) : 0)
      clipboard_.SetData(privateFormat, &no, sizeof no);
  }
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
  keys_.Send(Strokes()
                 .Down(kVkControl)
                 .Tap(kVkV)
                 .Up(kVkControl)
                 .Down(kVkShift)
                 .Tap(kVkLeft, text.size())
                 .Up(kVkShift)
                 .Events());
}

bool Bridge::EmptyClipboard() {
  if (!OpenClipboard()) return false;
  clipboard_.Empty();
  clipboard_.Close();
  return true;
}

bool Bridge::WaitForClipboardChange(uint32_t before) {
  uint32_t start = clock_.NowMs();
  for (;;) {
    if (clipboard_.SequenceNumber() != before) return true;
    if (Expired(start, clock_.NowMs(), kCopyWaitLimitMs)) return false;
    clock_.SleepMs(kCopyPollMs);
  }
}

// The target handles the keys later, in its own thread: a read straight after Ctrl+C
// would see the clipboard as it was. Emptying it first and waiting for the target's copy
// to change it means a target that ignores the keys, or has nothing to copy, gives no
// text rather than whatever the user copied earlier. Nothing when the target did not
// answer in time.
template <typename SendKeys>
std::optional<std::string> Bridge::CopyFromTarget(SendKeys sendKeys) {
  EmptyClipboard();
  uint32_t before = clipboard_.SequenceNumber();
  sendKeys();
  if (!WaitForClipboardChange(before)) return std::nullopt;
  // A target's copy changes the sequence number when it empties the clipboard and keeps
  // it open until its text is set; the read's retries wait for that.
  return ReadClipboardText();
}

void Bridge::Deselect() { TapKey(kVkRight); }

std::optional<std::string> Bridge::GrabNumberAtCaret() {
  // While another program holds the clipboard no copy can come, and a word selected for one
  // would lie under the calculator's next paste: refused before any key reaches the target.
  if (!EmptyClipboard()) return std::nullopt;
  // Ctrl+Right to the end of the word, Ctrl+Shift+Left back to its start, Ctrl+C.
  std::optional<std::string> word = CopyFromTarget([this] {
    keys_.Send(Strokes()
                   .Down(kVkControl)
                   .Tap(kVkRight)
                   .Down(kVkShift)
                   .Tap(kVkLeft)
                   .Up(kVkShift)
                   .Tap(kVkC)
                   .Up(kVkControl)
                   .Events());
  });
  // Ctrl+Right stops after the blanks that follow a word, so the copy may end in them.
  // The caret is now at the word's start: move it to the word's end, before the blanks,
  // then select back to the start and copy the word alone.
  size_t n = word ? LengthWithoutTrailingBlanks(*word) : 0;
  // Moving through a grid's cells one Right at a time would be a storm of keys.
  if (word && !IsWord(*word, n)) return std::nullopt;
  keys_.Send(Strokes().Tap(kVkRight, n).Events());
  auto selectBackAndCopy = [this] {
    keys_.Send(Strokes().Down(kVkControl).Down(kVkShift).Tap(kVkLeft).Up(kVkShift).Tap(kVkC).Up(kVkControl).Events());
  };
  if (!word) {
    // An empty field has nothing to copy either time, and a target that let the first
    // copy go unanswered will not answer the second in time: the keys still go, but the
    // user is spared a second wait.
    selectBackAndCopy();
    return std::string();
  }
  // The word is selected again whether or not the second copy is answered.
  return CopyFromTarget(selectBackAndCopy);
}
