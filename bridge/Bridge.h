// The pad's only ways into the focused application (the target): synthetic keystrokes
// and the clipboard. Which keys are sent and how long to wait for the target are decided
// here without the platform; the system calls sit behind the small ports below so the
// sequences and the waiting can be tested against a simulated target.
#ifndef KWIX_BRIDGE_BRIDGE_H
#define KWIX_BRIDGE_BRIDGE_H

#include <cstddef>
#include <cstdint>
#include <functional>
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
// CF_UNICODETEXT: UTF-16, ended by a zero code unit.
constexpr unsigned kClipboardUnicodeText = 13;

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

// Single attempts at the system clipboard, opened by the pad's window; the bridge decides
// about retrying. The calls other than Open, SequenceNumber, RegisterFormat and OwnerAnswers
// are only made between a successful Open and its Close, and SetData also while the pad
// renders a format it offered.
class ClipboardPort {
 public:
  virtual ~ClipboardPort() = default;
  // Fails while another program holds the clipboard open. With owner, the pad's window takes
  // the clipboard at the next Empty, to render what it offers; otherwise nobody owns it then,
  // and another program's next copy need not wait for the pad to hear that it lost it.
  virtual bool Open(bool owner) = 0;
  virtual void Close() = 0;
  virtual bool Empty() = 0;
  // Hands a copy of count bytes to the clipboard in the given format.
  virtual bool SetData(unsigned format, const void* bytes, size_t count) = 0;
  // Offers a format without its data (delayed rendering): the pad is asked for it when a
  // program reads it (Bridge::RenderFormat).
  virtual bool Offer(unsigned format) = 0;
  // The CF_UNICODETEXT text up to its zero, never past the end of its block and at most
  // limit code units; false when the clipboard holds no text.
  virtual bool GetUnicodeText(size_t limit, std::u16string& text) = 0;
  // The formats on the clipboard, as the system lists them.
  virtual std::vector<unsigned> Formats() = 0;
  // A copy of a format's memory block; false when it has none, it cannot be locked, or it is
  // larger than limit bytes.
  virtual bool GetData(unsigned format, size_t limit, std::string& bytes) = 0;
  // Changes whenever the clipboard's content changes or it is emptied.
  virtual uint32_t SequenceNumber() = 0;
  // The number of a registered clipboard format (RegisterClipboardFormat); 0 on failure.
  virtual unsigned RegisterFormat(const char* name) = 0;
  // Whether the program that owns the clipboard answers a message within timeoutMs, as it
  // must to render a format it only offered; true when there is no owner.
  virtual bool OwnerAnswers(int timeoutMs) = 0;
};

class BridgeClock {
 public:
  virtual ~BridgeClock() = default;
  virtual void SleepMs(int ms) = 0;
  // Milliseconds from any origin; wraps around.
  virtual uint32_t NowMs() = 0;
  // Bridge::PutBackTick every ms milliseconds, from the pad's message loop, until stopped.
  virtual void StartTicks(int ms) = 0;
  virtual void StopTicks() = 0;
};

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

// The integrity level of a process (the RID of its token's mandatory label: 0x2000 medium,
// 0x3000 high); empty when it cannot be read.
using TIntegrity = std::optional<uint32_t>;

// The foreground window, which receives the pad's input: which window it is, its process's
// integrity level and the pad's own, what kind of window it is, and whether its thread is
// taking messages.
class TargetPort {
 public:
  virtual ~TargetPort() = default;
  // The window's handle as a number; 0 when there is none.
  virtual uintptr_t Foreground() = 0;
  virtual TIntegrity ForegroundIntegrity() = 0;
  virtual TIntegrity Own() = 0;
  // The foreground window's class name; empty when there is none.
  virtual std::string ForegroundClass() = 0;
  // Whether the foreground window's thread answers a message within timeoutMs: false while
  // it is busy or hung, true when there is no foreground window to wait for.
  virtual bool Answers(int timeoutMs) = 0;
};

// Every wait is bounded, and the whole grab by kGrabLimitMs.
// Another program (a clipboard history tool) may hold the clipboard for a while after
// every change; the pad waits this long for it.
constexpr int kClipboardOpenLimitMs = 500;
constexpr int kClipboardOpenPollMs = 5;
// Such a tool opens the clipboard soon after a change, not at once: before the target must open
// it again the pad gives the tool this long to begin.
constexpr int kClipboardSettleMs = 30;
// A target that has taken the keys and answered messages for kAnsweringMs, without a copy
// within kEmptyFieldMs, had nothing selected, unless its copy comes from another thread or
// process (a browser's page), which may take up to kLateCopyMs.
constexpr int kEmptyFieldMs = 500;
constexpr int kAnsweringMs = 200;
constexpr int kLateCopyMs = 1500;
// A busy target (a workbook recalculating, a program over a slow link) is waited for this
// long in all before the grab gives up.
constexpr int kGrabLimitMs = 3000;
constexpr int kAnswerTimeoutMs = 20;
constexpr int kCopyPollMs = 2;
// A longer copy is a block of cells or a paragraph, not a number at the caret.
constexpr size_t kMaxWordLength = 255;

// Keeping the user's clipboard. A larger one is not kept; nor is one whose owner does not
// answer within kOwnerAnswerMs, as it could keep the pad waiting for a format it renders.
constexpr size_t kKeepLimitBytes = size_t{64} << 20;
constexpr int kOwnerAnswerMs = 100;
// While a pasted result waits to be read, the pad looks this often whether it has been; a
// target that has not read it within kPasteReadLimitMs keeps it on the clipboard.
constexpr int kPutBackTickMs = 20;
constexpr int kPasteReadLimitMs = 5000;

// What the grab of the number at the caret came to. Whatever it is, the target's text is as
// it was: a number is selected there, or nothing is.
enum class GrabOutcome {
  Number,   // text: the number, selected in the target
  Empty,    // nothing copied and nothing selected: an empty field
  Refused,  // nothing selected, the caret at the end of the word (or where Ctrl+Right put it)
};

struct TGrab {
  GrabOutcome outcome;
  std::u16string text;
};

// Whether a word the target copied is a number the pad can take.
using NumberTest = std::function<bool(const std::u16string& word)>;

class Bridge {
 public:
  Bridge(KeySink& keys, ClipboardPort& clipboard, BridgeClock& clock, Beeper& beeper, TargetPort& target)
      : keys_(keys), clipboard_(clipboard), clock_(clock), beeper_(beeper), target_(target) {}

  // Whether the focused application takes synthetic input: Windows drops it without a
  // word for a process of a higher integrity level than the pad's. Beeps when it does not.
  bool TargetTakesInput();

  void TapKey(uint8_t vk);
  // Pastes text into the target and leaves it selected from its end back to its start;
  // beeps and sends nothing when the text could not be put on the clipboard, or the
  // clipboard is not free again for the target to read it. With keepClipboard, what the
  // clipboard held is put back once the target has read the text.
  void PasteAndSelect(const std::string& text, bool keepClipboard);

  // The word ending at or after the target's caret (Ctrl+Right, Ctrl+Shift+Left, Ctrl+C), left
  // selected there when it is a number. An Empty outcome may still turn into a number or a
  // refusal: a copy that comes late is watched for until TakeLateCopy. With keepClipboard,
  // what the clipboard held is put back once the grab has read the target's copy.
  TGrab GrabNumberAtCaret(const NumberTest& isNumber, bool keepClipboard);
  // Whether an Empty grab's copy is still watched for.
  bool WatchingLateCopy() const { return late_.has_value(); }
  // Ends the watch, at the user's next key: waits for the copy until kLateCopyMs after its
  // Ctrl+C; Empty when none came, else what the grab would have made of it in time.
  TGrab TakeLateCopy(const NumberTest& isNumber);

  // A program reads a format the pad only offered (WM_RENDERFORMAT): the pasted result.
  void RenderFormat(unsigned format);
  // The pad ends while its result is only offered (WM_RENDERALLFORMATS): it stays there.
  void RenderAllFormats();
  // While a pasted result waits to be read: once it has been, the user's clipboard goes back.
  void PutBackTick();

 private:
  // One grab's keys: where they go.
  struct Run {
    uintptr_t window = 0;   // the foreground window at the start; keys go nowhere else
    uint32_t start = 0;     // the grab's time limit runs from here
    uint32_t sequence = 0;  // the clipboard's at the start
  };
  // A first copy that had not come when the grab settled for an empty field.
  struct LateCopy {
    Run run;
    uint32_t sequence;  // the clipboard's before the copy
    uint32_t sentAt;
  };
  struct Copy {
    // Away: another window came in front, and the keys were not sent.
    enum State { Copied, None, Unanswered, Unreadable, Away } state;
    std::u16string text;
  };

  // Puts bytes on the clipboard, or offers them, marked for clipboard history and the cloud
  // clipboard to leave out; false when they are not there.
  bool WriteClipboard(const std::string& text, bool offer);
  void Mark();
  bool OpenClipboard(bool owner = false);
  // Whether the target can open the clipboard now: a program that held it has let go. After a
  // change, a clipboard tool is first given the time to begin reading it.
  bool ClipboardFree(bool changed);
  // Sends the keys to the grab's window; false, sending nothing, once another window is in front.
  bool Send(const std::vector<TKeyEvent>& keys);
  // Sends keys that end in Ctrl+C, and waits for the copy: None once the target has answered
  // long enough without one and noneAfterMs have passed.
  Copy SendAndWaitForCopy(const std::vector<TKeyEvent>& keys, int noneAfterMs);
  Copy WaitForCopy(uint32_t sequenceBefore, uint32_t sentAt, int noneAfterMs);
  // What the grab makes of its first copy.
  TGrab Settle(Copy copy, const NumberTest& isNumber);
  // How a refusal takes the selection away. Collapse: Shift+Right over it, `steps` characters
  // known from its copy, leaves the caret where Ctrl+Right put it, and plain Left moves back over
  // the `blanks` after the word. Right, where nothing is known of it: a plain Right ends any
  // selection, of text or of cells. Left, over characters programs step over differently (an
  // emoji, a combining accent): a plain Left ends it at its start, never inside a character.
  enum class Undo { Collapse, Right, Left };
  // A copy the grab caused is emptied away.
  TGrab Refuse(Undo undo, size_t steps = 0, size_t blanks = 0);

  // The user's clipboard, kept while the pad borrows it (KeepClipboard): saved whole or not at
  // all. Put back only while the clipboard holds what the pad put there or had the target copy.
  void Keep();
  void GiveBack();
  void PutBack();
  void EndKeeping();

  KeySink& keys_;
  ClipboardPort& clipboard_;
  BridgeClock& clock_;
  Beeper& beeper_;
  TargetPort& target_;
  Run run_;
  std::optional<LateCopy> late_;
  struct Kept {
    std::vector<std::pair<unsigned, std::string>> formats;  // the memory formats, byte for byte
    uint32_t sequence;                                      // the clipboard's when saved
  };
  std::optional<Kept> kept_;
  uint32_t borrowed_ = 0;  // the clipboard's sequence number while it holds what the pad caused
  // The pasted result offered to the target, until it has been read.
  std::optional<std::string> offered_;
  bool read_ = false;
  uint32_t offeredAt_ = 0;
};

#endif
