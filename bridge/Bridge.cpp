#include "bridge/Bridge.h"

#include <algorithm>
#include <vector>

namespace {

// White space as Unicode has it, and every control character: what a target may copy after
// a word (a spreadsheet cell ends in CR LF, Japanese text has the ideographic space U+3000).
bool IsBlank(char16_t c) {
  return c <= 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
         c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Where the word of a copy ends: before the blanks at its end.
size_t WordEnd(const std::u16string& copy) {
  size_t end = copy.size();
  while (end > 0 && IsBlank(copy[end - 1])) --end;
  return end;
}

// Caret steps over a copy from `from` on: one a character, a CR LF line end one as well.
size_t Steps(const std::u16string& copy, size_t from = 0) {
  size_t steps = 0;
  for (size_t i = from; i < copy.size(); ++i, ++steps) {
    if (copy[i] == u'\r' && i + 1 < copy.size() && copy[i + 1] == u'\n') ++i;
  }
  return steps;
}

// Characters that editors step over differently: a surrogate pair is one step in some and two
// in others (Wine's EDIT), a combining accent or an emoji's joiner or variation selector is
// joined to the character before it in browsers.
bool StepsUncertain(const std::u16string& word) {
  return std::any_of(word.begin(), word.end(), [](char16_t c) {
    return (c >= 0xD800 && c < 0xE000) || (c >= 0x0300 && c < 0x0370) || (c >= 0x1AB0 && c < 0x1B00) ||
           (c >= 0x1DC0 && c < 0x1E00) || (c >= 0x20D0 && c < 0x2100) || (c >= 0xFE00 && c < 0xFE10) ||
           (c >= 0xFE20 && c < 0xFE30) || c == 0x200D;
  });
}

// A word with a tab, a line end or another control character inside, or a very long one,
// comes from a grid or a block of text, where the word moves went across cells.
bool IsBlock(const std::u16string& word) {
  return word.size() > kMaxWordLength || std::any_of(word.begin(), word.end(), [](char16_t c) { return c < 0x20; });
}

// More than a word and its blanks: read no further than this.
constexpr size_t kCopyReadLimit = 4 * kMaxWordLength;

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

// Registered formats that ask clipboard history, the cloud clipboard and older clipboard tools
// to skip an item.
const char* const kPrivateFormats[] = {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory",
                                       "CanUploadToCloudClipboard", "Clipboard Viewer Ignore"};

// Formats whose data is a GDI object or another handle, not a memory block that can be copied:
// bitmaps, metafiles and palettes (Windows makes CF_BITMAP from a kept CF_DIB again), what the
// owner draws itself, and the private and GDI ranges.
bool IsHandleFormat(unsigned format) {
  return format == 2 || format == 3 || format == 9 || format == 14 || format == 0x80 || format == 0x82 ||
         format == 0x83 || format == 0x8E || (format >= 0x200 && format < 0x400);
}

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
  // Ctrl+Shift+Left: the caret a word back, the selection's anchor kept.
  Strokes& SelectWordLeft() { return Down(kVkControl).Down(kVkShift).Tap(kVkLeft).Up(kVkShift).Up(kVkControl); }
  Strokes& Copy() { return Down(kVkControl).Tap(kVkC).Up(kVkControl); }
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
  if (target_.Foreground() != 0) {
    TIntegrity target = target_.ForegroundIntegrity();
    TIntegrity own = target_.Own();
    if (!target || (own && *target > *own)) {
      beeper_.Beep();
      return false;
    }
  }
  return true;
}

void Bridge::TapKey(uint8_t vk) { keys_.Send(Strokes().Tap(vk).Events()); }

bool Bridge::OpenClipboard(bool owner) {
  uint32_t start = clock_.NowMs();
  for (;;) {
    if (clipboard_.Open(owner)) return true;
    if (Expired(start, clock_.NowMs(), kClipboardOpenLimitMs)) return false;
    clock_.SleepMs(kClipboardOpenPollMs);
  }
}

bool Bridge::ClipboardFree(bool changed) {
  if (changed) clock_.SleepMs(kClipboardSettleMs);
  if (!OpenClipboard()) return false;
  clipboard_.Close();
  return true;
}

void Bridge::Mark() {
  const uint32_t no = 0;
  for (const char* name : kPrivateFormats) {
    if (unsigned privateFormat = clipboard_.RegisterFormat(name)) clipboard_.SetData(privateFormat, &no, sizeof no);
  }
}

bool Bridge::WriteClipboard(const std::string& text, bool offer) {
  if (!OpenClipboard(offer)) return false;
  const bool written =
      clipboard_.Empty() &&
      (offer ? clipboard_.Offer(kClipboardText) : clipboard_.SetData(kClipboardText, text.c_str(), text.size() + 1));
  if (written) Mark();
  clipboard_.Close();
  borrowed_ = clipboard_.SequenceNumber();
  return written;
}

void Bridge::PasteAndSelect(const std::string& text, bool keepClipboard) {
  if (keepClipboard) Keep();
  // Ctrl+V of whatever the clipboard held before would paste the user's old content, and a
  // paste that fails while another program reads the new content would leave the Shift+Left
  // taps to select the user's text. A result to be put back after is only offered: the target
  // asking for it tells that it has read it.
  if (!WriteClipboard(text, kept_.has_value()) || !ClipboardFree(true)) {
    EndKeeping();
    beeper_.Beep();
    return;
  }
  if (kept_) {
    offered_ = text, read_ = false, offeredAt_ = clock_.NowMs();
    clock_.StartTicks(kPutBackTickMs);
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

void Bridge::RenderFormat(unsigned format) {
  if (!offered_ || format != kClipboardText) return;
  clipboard_.SetData(kClipboardText, offered_->c_str(), offered_->size() + 1);
  read_ = true;
  borrowed_ = clipboard_.SequenceNumber();
}

void Bridge::RenderAllFormats() {
  if (offered_ && clipboard_.SequenceNumber() == borrowed_ && OpenClipboard(true)) {
    clipboard_.SetData(kClipboardText, offered_->c_str(), offered_->size() + 1);
    clipboard_.Close();
  }
  EndKeeping();
}

void Bridge::PutBackTick() {
  // A newer copy, by the user or another program, stays; so does a result not read in time.
  if (!offered_ || clipboard_.SequenceNumber() != borrowed_) return EndKeeping();
  if (!read_) {
    if (Expired(offeredAt_, clock_.NowMs(), kPasteReadLimitMs)) RenderAllFormats();
    return;
  }
  // Once the target has closed the clipboard it has its paste.
  if (!clipboard_.Open(false)) return;
  PutBack();
  clipboard_.Close();
  EndKeeping();
}

void Bridge::Keep() {
  // A result still offered is about to be replaced; the clipboard it replaced is kept already.
  offered_.reset();
  clock_.StopTicks();
  if (kept_ || !clipboard_.OwnerAnswers(kOwnerAnswerMs) || !OpenClipboard()) return;
  Kept kept{{}, clipboard_.SequenceNumber()};
  size_t total = 0;
  bool whole = true;
  for (unsigned format : clipboard_.Formats()) {
    if (IsHandleFormat(format)) continue;
    std::string bytes;
    whole = clipboard_.GetData(format, kKeepLimitBytes - total, bytes);
    if (!whole) break;
    total += bytes.size();
    if (!bytes.empty()) kept.formats.emplace_back(format, std::move(bytes));
  }
  clipboard_.Close();
  // Half of it would be worse than none, and so would a clipboard that changed meanwhile.
  if (whole && clipboard_.SequenceNumber() == kept.sequence) kept_ = std::move(kept);
}

void Bridge::GiveBack() {
  if (!kept_ || offered_) return;
  const uint32_t now = clipboard_.SequenceNumber();
  if (now != kept_->sequence && now == borrowed_ && OpenClipboard()) {
    PutBack();
    clipboard_.Close();
  }
  EndKeeping();
}

// Whole or not at all: a format that cannot be put back empties the clipboard again.
void Bridge::PutBack() {
  bool whole = clipboard_.Empty();
  for (const auto& [format, bytes] : kept_->formats)
    whole = whole && clipboard_.SetData(format, bytes.data(), bytes.size());
  if (!whole) {
    clipboard_.Empty();
    return;
  }
  // Clipboard history has it already.
  Mark();
}

void Bridge::EndKeeping() {
  kept_.reset();
  offered_.reset();
  clock_.StopTicks();
}

bool Bridge::Send(const std::vector<TKeyEvent>& keys) {
  if (target_.Foreground() != run_.window) return false;
  keys_.Send(keys);
  return true;
}

Bridge::Copy Bridge::SendAndWaitForCopy(const std::vector<TKeyEvent>& keys, int noneAfterMs) {
  // The copy before this one changed the clipboard.
  if (!ClipboardFree(true)) return Copy{Copy::Unreadable, u""};
  const uint32_t sequenceBefore = clipboard_.SequenceNumber();
  if (!Send(keys)) return Copy{Copy::Away, u""};
  return WaitForCopy(sequenceBefore, clock_.NowMs(), noneAfterMs);
}

// The target handles the keys later, in its own thread, and a read straight after Ctrl+C
// would see the clipboard as it was: the copy is seen by the clipboard's sequence number.
// Meanwhile the target is asked whether it takes messages, which tells a busy target, whose
// copy may still come, from one that has handled the keys.
Bridge::Copy Bridge::WaitForCopy(uint32_t sequenceBefore, uint32_t sentAt, int noneAfterMs) {
  bool answering = false;
  uint32_t answeringSince = sentAt;
  for (;;) {
    if (clipboard_.SequenceNumber() != sequenceBefore) {
      Copy copy{Copy::Unreadable, u""};
      if (OpenClipboard()) {
        if (clipboard_.GetUnicodeText(kCopyReadLimit, copy.text)) copy.state = Copy::Copied;
        borrowed_ = clipboard_.SequenceNumber();
        clipboard_.Close();
      }
      return copy;
    }
    const uint32_t now = clock_.NowMs();
    if (answering && Expired(sentAt, now, noneAfterMs) && Expired(answeringSince, now, kAnsweringMs))
      return Copy{Copy::None, u""};
    if (Expired(run_.start, now, kGrabLimitMs)) return Copy{Copy::Unanswered, u""};
    const bool answers = target_.Answers(kAnswerTimeoutMs);
    if (answers && !answering) answeringSince = clock_.NowMs();
    answering = answers;
    clock_.SleepMs(kCopyPollMs);
  }
}

TGrab Bridge::GrabNumberAtCaret(const NumberTest& isNumber, bool keepClipboard) {
  late_.reset();
  // Refused before any key: in a terminal Ctrl+C interrupts; while another program holds the
  // clipboard no copy can come, and a word selected for one would lie under the next paste.
  // The clipboard is not emptied first: that would wake clipboard tools just as the target
  // copies, and the sequence number tells a copy anyway.
  if (IsTerminal(target_.ForegroundClass()) || !ClipboardFree(false)) return TGrab{GrabOutcome::Refused, u""};
  if (keepClipboard) Keep();
  const uint32_t sequenceBefore = clipboard_.SequenceNumber();
  run_ = Run{target_.Foreground(), clock_.NowMs(), sequenceBefore};
  // Ctrl+Right to the end of the word, Ctrl+Shift+Left back to its start, Ctrl+C.
  const Strokes keys = Strokes().Down(kVkControl).Tap(kVkRight).Up(kVkControl).SelectWordLeft().Copy();
  if (!Send(keys.Events())) return TGrab{GrabOutcome::Refused, u""};
  const uint32_t sentAt = clock_.NowMs();
  Copy copy = WaitForCopy(sequenceBefore, sentAt, kEmptyFieldMs);
  if (copy.state == Copy::None) {
    // Nothing yet: an empty field, or a copy that a page's process makes late.
    late_ = LateCopy{run_, sequenceBefore, sentAt};
    return TGrab{GrabOutcome::Empty, u""};
  }
  TGrab grab = Settle(copy, isNumber);
  GiveBack();
  return grab;
}

TGrab Bridge::TakeLateCopy(const NumberTest& isNumber) {
  if (!late_) return TGrab{GrabOutcome::Empty, u""};
  const LateCopy late = *late_;
  late_.reset();
  while (clipboard_.SequenceNumber() == late.sequence) {
    if (Expired(late.sentAt, clock_.NowMs(), kLateCopyMs)) {
      GiveBack();
      return TGrab{GrabOutcome::Empty, u""};
    }
    clock_.SleepMs(kCopyPollMs);
  }
  // The grab goes on as it would have in time, with its time limit from now.
  run_ = late.run;
  run_.start = clock_.NowMs();
  TGrab grab = Settle(WaitForCopy(late.sequence, late.sentAt, kLateCopyMs), isNumber);
  GiveBack();
  return grab;
}

TGrab Bridge::Settle(Copy copy, const NumberTest& isNumber) {
  if (copy.state == Copy::Copied && !copy.text.empty() && WordEnd(copy.text) == 0) {
    // A line end or blanks alone: Ctrl+Right went on past them (EDIT and RichEdit to the next
    // line), and the word before them is taken in as well.
    copy = SendAndWaitForCopy(Strokes().SelectWordLeft().Copy().Events(), kLateCopyMs);
  }
  if (copy.state != Copy::Copied) return Refuse(Undo::Right);
  const size_t end = WordEnd(copy.text);
  const std::u16string word = copy.text.substr(0, end);
  // Moving through a grid's cells would widen the selection of cells, and so would Shift+Right
  // over blanks that may be a grid's empty cells: one line end, or a tab among them. Over one
  // character a Right ends the selection where Shift+Right would, in every editor.
  const size_t steps = Steps(copy.text);
  if (end == 0) {
    const bool cells = steps == 1 || steps > kMaxWordLength || copy.text.find(u'\t') != std::u16string::npos;
    return cells ? Refuse(Undo::Right) : Refuse(Undo::Collapse, steps);
  }
  if (IsBlock(word)) return Refuse(Undo::Right);
  const size_t blanks = Steps(copy.text, end);
  if (!isNumber(word)) return StepsUncertain(word) ? Refuse(Undo::Left) : Refuse(Undo::Collapse, steps, blanks);
  if (blanks == 0) return TGrab{GrabOutcome::Number, word};
  // Ctrl+Right stops after the blanks that follow a word, so the copy ends in them. Shift+Right
  // over the copy collapses the selection where Ctrl+Right put the caret, in every editor (a
  // plain Right moves on from there in some); then plain Left over the blanks, and the number
  // alone selected and copied.
  Strokes keys;
  keys.Down(kVkShift).Tap(kVkRight, steps).Up(kVkShift).Tap(kVkLeft, blanks);
  copy = SendAndWaitForCopy(keys.SelectWordLeft().Copy().Events(), kLateCopyMs);
  if (copy.state == Copy::Copied && copy.text == word) return TGrab{GrabOutcome::Number, word};
  // A second copy that never came or differs: the target moved otherwise than it did before.
  return Refuse(Undo::Collapse, word.size());
}

TGrab Bridge::Refuse(Undo undo, size_t steps, size_t blanks) {
  Strokes keys;
  switch (undo) {
    case Undo::Collapse: keys.Down(kVkShift).Tap(kVkRight, steps).Up(kVkShift).Tap(kVkLeft, blanks); break;
    case Undo::Right: keys.Tap(kVkRight); break;
    case Undo::Left: keys.Tap(kVkLeft); break;
  }
  Send(keys.Events());
  // The target's copy ends a spreadsheet's copy mode (its next Enter would paste the cells);
  // so does the user's clipboard put back.
  if (!kept_ && clipboard_.SequenceNumber() != run_.sequence && OpenClipboard()) {
    clipboard_.Empty();
    clipboard_.Close();
  }
  return TGrab{GrabOutcome::Refused, u""};
}
