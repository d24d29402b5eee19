// The pad's only ways into the focused application (the target): synthetic keystrokes
// and the clipboard. Which keys are sent and how long to wait for the target are decided
// here without the platform; the system calls sit behind the small ports below so the
// sequences and the waiting can be tested against a simulated target.
#ifndef KWIX_BRIDGE_BRIDGE_H
#define KWIX_BRIDGE_BRIDGE_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Windows virtual-key codes the pad sends.
constexpr uint8_t kVkShift = 0x10;
constexpr uint8_t kVkControl = 0x11;
constexpr uint8_t kVkLeft = 0x25;
constexpr uint8_t kVkRight = 0x27;
constexpr uint8_t kVkC = 0x43;
constexpr uint8_t kVkV = 0x56;
constexpr uint8_t kVkNumpad0 = 0x60;  // to kVkNumpad0 + 9
constexpr uint8_t kVkDecimal = 0x6E;

// CF_TEXT: single-byte text in the system code page, ended by a zero byte.
constexpr unsigned kClipboardText = 1;

// A key going down or coming up.
struct TKeyEvent {
  uint8_t vk;
  bool up;
};

// Key events into the system's input stream, which delivers them to the target. The events
// of one call go in as one block: the user's own keystrokes cannot fall between them (a
// letter typed while the pad holds Ctrl down would reach the target as a shortcut).
class KeySink {
 public:
  virtual ~KeySink() = default;
  virtual void Send(const std::vector<TKeyEvent>& events) = 0;
};

// Single attempts at the system clipboard; the bridge decides about retrying. Empty,
// SetData and GetText are only called between a successful Open and its Close.
class ClipboardPort {
 public:
  virtual ~ClipboardPort() = default;
  // Fails while another program holds the clipboard open.
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual bool Empty() = 0;
  // Hands a copy of count bytes to the clipboard in the given format.
  virtual bool SetData(unsigned format, const void* bytes, size_t count) = 0;
  // The CF_TEXT content up to its zero byte, never past the end of the block; empty when
  // the clipboard holds no text.
  virtual std::string GetText() = 0;
  // Changes whenever the clipboard's content changes or it is emptied.
  virtual uint32_t SequenceNumber() = 0;
  // The number of a registered clipboard format (RegisterClipboardFormat); 0 on failure.
  virtual unsigned RegisterFormat(const char* name) = 0;
};

class BridgeClock {
 public:
  virtual ~BridgeClock() = default;
  virtual void SleepMs(int ms) = 0;
  // Milliseconds from any origin; wraps around.
  virtual uint32_t NowMs() = 0;
};

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

// The integrity level of a process (the RID of its token's mandatory label: 0x2000 medium,
// 0x3000 high); empty when it cannot be read.
using TIntegrity = std::optional<uint32_t>;

// The foreground window, which receives the pad's input: its process's integrity level and
// the pad's own, what kind of window it is, and whether its thread is taking messages.
class TargetPort {
 public:
  virtual ~TargetPort() = default;
  virtual bool HasForeground() = 0;
  virtual TIntegrity Foreground() = 0;
  virtual TIntegrity Own() = 0;
  // The foreground window's class name; empty when there is none.
  virtual std::string ForegroundClass() = 0;
  // Whether the foreground window's thread answers a message within timeoutMs: false while
  // it is busy or hung, true when there is no foreground window to wait for.
  virtual bool Answers(int timeoutMs) = 0;
};

// Every wait is bounded. A target that takes messages has copied within half a second or had
// nothing to copy; a busy one (a workbook recalculating, a program over a slow link) is
// waited for up to three seconds before the grab gives up.
constexpr int kClipboardOpenLimitMs = 50;  // another program may hold the clipboard briefly
constexpr int kClipboardOpenPollMs = 5;
constexpr int kCopyWaitLimitMs = 500;
// A thread that was busy answers a message before it handles the keys queued for it: only
// one that has kept answering this long has handled them.
constexpr int kCopySettleMs = 200;
constexpr int kBusyLimitMs = 3000;
constexpr int kAnswerTimeoutMs = 20;
constexpr int kCopyPollMs = 2;
// A longer first copy is a block of cells or a paragraph, not a number at the caret.
constexpr size_t kMaxWordLength = 255;

// What the grab of the number at the caret came to.
enum class GrabOutcome {
  Copied,                 // text: the word the target copied, selected there
  NothingToCopy,          // the target took the keys and copied nothing: an empty field
  RefusedBeforeKeys,      // no key was sent: a terminal, or the clipboard held by another program
  RefusedAfterSelecting,  // text: what the target copied (a grid's cells), empty when it never answered
};

struct TGrab {
  GrabOutcome outcome;
  std::string text;
};

class Bridge {
 public:
  Bridge(KeySink& keys, ClipboardPort& clipboard, BridgeClock& clock, Beeper& beeper, TargetPort& target)
      : keys_(keys), clipboard_(clipboard), clock_(clock), beeper_(beeper), target_(target) {}

  // Whether the focused application takes synthetic input: Windows drops it without a
  // word for a process of a higher integrity level than the pad's. Beeps when it does not.
  bool TargetTakesInput();

  void TapKey(uint8_t vk);
  // True when the bytes are on the clipboard. Clipboard history and the cloud clipboard
  // are asked to leave them out.
  bool WriteClipboard(unsigned format, const void* bytes, size_t count);
  // Empty when the clipboard holds no text or cannot be opened.
  std::string ReadClipboardText();
  // Pastes text into the target and leaves it selected from its end back to its start;
  // beeps and sends nothing when the text could not be put on the clipboard.
  void PasteAndSelect(const std::string& text);
  // The word ending at or after the target's caret, copied by the target with Ctrl+Right,
  // Ctrl+Shift+Left and Ctrl+C and left selected there (trailing blanks moved out of it).
  TGrab GrabNumberAtCaret();
  // After a grab that reached the target but gave no number: the selection goes with the caret
  // at the word's end (Shift+Right over it: a plain Right moves from the word's start in some
  // controls), a grid's cells lose theirs with one Right, a target that never answered gets
  // no key; and the clipboard is emptied, which ends a spreadsheet's copy mode.
  void UndoGrab(const TGrab& grab);

 private:
  bool OpenClipboard();
  // False when the clipboard could not be opened.
  bool EmptyClipboard();
  enum class CopyState { Copied, NothingCopied, Unanswered };
  // Sends keys that end in Ctrl+C, and waits for the copy.
  CopyState SendAndWaitForCopy(const std::vector<TKeyEvent>& keys);

  KeySink& keys_;
  ClipboardPort& clipboard_;
  BridgeClock& clock_;
  Beeper& beeper_;
  TargetPort& target_;
};

// The bridge to the real focused application (Windows builds).
Bridge& SystemBridge();

#endif
