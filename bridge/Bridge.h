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

// Who would receive the pad's input: the foreground window's process, and the pad's own.
class IntegrityPort {
 public:
  virtual ~IntegrityPort() = default;
  virtual bool HasForeground() = 0;
  virtual TIntegrity Foreground() = 0;
  virtual TIntegrity Own() = 0;
};

// Every wait is bounded: a target that ignores everything costs a grab about half a
// second, one that answers each copy just in time about a second.
constexpr int kClipboardOpenLimitMs = 50;  // another program may hold the clipboard briefly
constexpr int kClipboardOpenPollMs = 5;
constexpr int kCopyWaitLimitMs = 500;  // for the target to handle a Ctrl+C
constexpr int kCopyPollMs = 2;
// A longer first copy is a block of cells or a paragraph, not a number at the caret.
constexpr size_t kMaxWordLength = 255;

class Bridge {
 public:
  Bridge(KeySink& keys, ClipboardPort& clipboard, BridgeClock& clock, Beeper& beeper, IntegrityPort& integrity)
      : keys_(keys), clipboard_(clipboard), clock_(clock), beeper_(beeper), integrity_(integrity) {}

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
  // The word ending at or after the target's caret, as the target copies it (trailing
  // blanks included), left selected there; empty when the target copied nothing. Nothing
  // when what the target copied is no word (cells of a grid, lines of text) or it stopped
  // answering: then whatever the grab selected is still selected, for Deselect to undo;
  // nothing too, without a key sent, while another program holds the clipboard.
  std::optional<std::string> GrabNumberAtCaret();
  // Undoes the grab's selection with one plain Right tap: a text field keeps its text, a
  // grid moves its cursor by one cell and changes no cell.
  void Deselect();

 private:
  bool OpenClipboard();
  // False when the clipboard could not be opened.
  bool EmptyClipboard();
  template <typename SendKeys>
  std::optional<std::string> CopyFromTarget(SendKeys sendKeys);
  bool WaitForClipboardChange(uint32_t before);

  KeySink& keys_;
  ClipboardPort& clipboard_;
  BridgeClock& clock_;
  Beeper& beeper_;
  IntegrityPort& integrity_;
};

// The bridge to the real focused application (Windows builds).
Bridge& SystemBridge();

#endif
