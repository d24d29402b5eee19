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

// Terminals' windows: Ctrl+C there interrupts the program running in them, or goes on to a
// remote shell. Windows' console, Windows Terminal, PuTTY, KiTTY, mintty, ConEmu, Wine's console.
const char* const kTerminalClasses[] = {
    "ConsoleWindowClass", "CASCADIA_HOSTING_WINDOW_CLASS", "PuTTY", "KiTTY", "mintty", "VirtualConsoleClass",
    "WineConsoleClass"};

bool IsTerminal(const std::string& windowClass) {
  for (const char* terminal : kTerminalClasses) {
    if (windowClass == terminal) return true;
  }
  return false;
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
  if (target_.HasForeground()) {
    TIntegrity target = target_.Foreground();
    TIntegrity own = target_.Own();
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

// The target handles the keys later, in its own thread, and a read straight after Ctrl+C
// would see the clipboard as it was: the copy is seen by the clipboard's sequence number.
// Meanwhile the target is asked whether it takes messages, which tells a busy target, whose
// copy may still come, from one that has handled the keys and had nothing to copy.
Bridge::CopyState Bridge::SendAndWaitForCopy(const std::vector<TKeyEvent>& keys) {
  const uint32_t sequenceBefore = clipboard_.SequenceNumber();
  keys_.Send(keys);
  const uint32_t start = clock_.NowMs();
  bool answering = false;
  uint32_t answeringSince = start;
  for (;;) {
    if (clipboard_.SequenceNumber() != sequenceBefore) return CopyState::Copied;
    const uint32_t now = clock_.NowMs();
    if (answering && Expired(start, now, kCopyWaitLimitMs) && Expired(answeringSince, now, kCopySettleMs))
      return CopyState::NothingCopied;
    if (Expired(start, now, kBusyLimitMs)) return CopyState::Unanswered;
    const bool answers = target_.Answers(kAnswerTimeoutMs);
    if (answers && !answering) answeringSince = clock_.NowMs();
    answering = answers;
    clock_.SleepMs(kCopyPollMs);
  }
}

TGrab Bridge::GrabNumberAtCaret() {
  // Refused before any key: in a terminal Ctrl+C interrupts; while another program holds the
  // clipboard no copy can come, and a word selected for one would lie under the next paste.
  // Emptying it first also means a target that copies nothing leaves no text of the user's.
  if (IsTerminal(target_.ForegroundClass()) || !EmptyClipboard()) return {GrabOutcome::RefusedBeforeKeys, ""};
  // Ctrl+Right to the end of the word, Ctrl+Shift+Left back to its start, Ctrl+C.
  const auto selectBackAndCopy = [](Strokes strokes) {
    return strokes.Down(kVkControl).Down(kVkShift).Tap(kVkLeft).Up(kVkShift).Tap(kVkC).Up(kVkControl).Events();
  };
  CopyState state = SendAndWaitForCopy(selectBackAndCopy(Strokes().Down(kVkControl).Tap(kVkRight).Up(kVkControl)));
  std::string first = state == CopyState::Copied ? ReadClipboardText() : "";
  // A line end or blanks alone: Ctrl+Right went on past them (a RichEdit to the next line),
  // and the word before them is taken in as well.
  if (!first.empty() && LengthWithoutTrailingBlanks(first) == 0) {
    state = SendAndWaitForCopy(selectBackAndCopy(Strokes()));
    if (state == CopyState::Copied) first = ReadClipboardText();
  }
  if (state == CopyState::NothingCopied) return {GrabOutcome::NothingToCopy, ""};
  if (state == CopyState::Unanswered) return {GrabOutcome::RefusedAfterSelecting, ""};
  const size_t n = LengthWithoutTrailingBlanks(first);
  // Moving through a grid's cells one Right at a time would be a storm of keys.
  if (!IsWord(first, n)) return {GrabOutcome::RefusedAfterSelecting, first};
  if (n == first.size()) return {GrabOutcome::Copied, first};
  // Ctrl+Right stops after the blanks that follow a word, so the copy may end in them.
  // The caret is now at the word's start: move it to the word's end, before the blanks,
  // then select back to the start and copy the word alone.
  switch (SendAndWaitForCopy(selectBackAndCopy(Strokes().Tap(kVkRight, n)))) {
    case CopyState::Copied: return {GrabOutcome::Copied, ReadClipboardText()};
    case CopyState::NothingCopied: return {GrabOutcome::NothingToCopy, ""};
    case CopyState::Unanswered: break;
  }
  return {GrabOutcome::RefusedAfterSelecting, ""};
}

void Bridge::UndoGrab(const TGrab& grab) {
  if (grab.outcome != GrabOutcome::Copied && grab.outcome != GrabOutcome::RefusedAfterSelecting) return;
  if (!IsWord(grab.text, grab.text.size())) {
    TapKey(kVkRight);
  } else if (!grab.text.empty()) {
    keys_.Send(Strokes().Down(kVkShift).Tap(kVkRight, grab.text.size()).Up(kVkShift).Events());
  }
  EmptyClipboard();
}
