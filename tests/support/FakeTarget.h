// The stand-in for the focused application behind the bridge's ports: a text field with a
// caret and a selection, the clipboard, the clock, the beeper and the foreground window, on a
// clock that runs only while the bridge waits. Switches make it behave as the programs users
// type into differ: how a plain arrow treats a selection, how and when Ctrl+C copies, the code
// page of its single-byte text, a clipboard tool beside it, another window coming in front.
#ifndef KWIX_TESTS_FAKETARGET_H
#define KWIX_TESTS_FAKETARGET_H

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bridge/Bridge.h"

// UTF-8 for printing and for writing texts in tests, UTF-16 as the field and the clipboard hold them.
inline std::string Utf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}
inline std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const int more = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    uint32_t c = more == 0 ? lead : lead & (0x3F >> more);
    for (int k = 1; k <= more; ++k) c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += more + 1;
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += {static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), static_cast<char16_t>(0xDC00 + (c & 0x3FF))};
    }
  }
  return out;
}

struct FakeTarget : KeySink, ClipboardPort, BridgeClock, Beeper, TargetPort {
  // The field's text: a surrogate pair is one character, "\n" a line end. The selection runs
  // from anchor to caret, equal when there is none.
  std::u16string text;
  size_t caret = 0, anchor = 0;

  // How it behaves. A plain arrow over a selection collapses it to its end, as browsers and word
  // processors do, or moves from the caret as an EDIT does. The arrows step over a surrogate pair
  // as one character, or over each of its halves, as Wine's EDIT does.
  bool collapsing = false, halves = false;
  // Its single-byte text (CF_TEXT) is in a double-byte code page, as Japanese, Chinese and Korean
  // Windows have it: two bytes for each character outside ASCII.
  bool doubleByte = false;
  // How Ctrl+C copies: on the window's thread, which is busy copyMs first (a workbook
  // recalculating); copyMs late from another thread or process, the window answering meanwhile (a
  // browser's page); the first time only (a page's script takes the command away); or in a
  // private format alone, which the pad cannot read.
  enum class Copies { OnThread, Late, Once, Unreadable } copies = Copies::OnThread;
  uint32_t copyMs = 0;
  // What Ctrl+C copies instead of the selection, as a grid copies its cells; a grid that copied
  // stays in copy mode (its next Enter pastes) until another program empties the clipboard.
  std::u16string copyAs;
  bool copyMode = false;
  // A clipboard history tool holds the clipboard toolMs after each change; another program holds
  // it open all along; the window's thread never answers, as a hung one does.
  bool tool = false, held = false, hung = false;
  uint32_t toolMs = 40;
  // Ctrl+V keeps its thread busy pasteMs before it reads the clipboard; with pastes false it
  // never reads it.
  uint32_t pasteMs = 0;
  bool pastes = true;
  // The clipboard's owner does not answer (it would not render what it offered); formats whose
  // memory cannot be locked; the clipboard changes while the pad reads it.
  bool ownerHung = false, changesWhileRead = false;
  std::set<unsigned> unlockable;
  // The pad, which renders the formats it offered and takes its ticks from the message loop.
  Bridge* pad = nullptr;
  // Another window comes in front once the field has been sent this many batches of keys.
  int awayAfter = -1;

  // The foreground window: whether there is one, its class, its process's integrity level and the pad's.
  bool foreground = true;
  std::string windowClass = "Edit";
  TIntegrity level = 0x2000, own = 0x2000;

  // The clipboard: each format's bytes, the formats the pad offered without their data yet, the
  // registered formats' names (numbered from 0xC000 as Windows numbers them), the sequence
  // number, whether the pad has it open.
  std::map<unsigned, std::string> clipboard;
  std::set<unsigned> offered;
  std::vector<std::string> registered;
  uint32_t sequence = 0;
  bool open = false;
  // The tick count near its wrap; when the field's thread is free again; until when the tool holds
  // the clipboard.
  uint32_t now = 0xFFFFFF00u, freeAt = now, toolUntil = now;
  // Ctrl and Shift as held down now, and how many keys are; beeps; the pad's tick, 0 when none.
  bool ctrl = false, shift = false;
  int down = 0, beeps = 0, tickMs = 0;
  // The keys the field took, by name, with the modifiers held ("Ctrl+Right Ctrl+Shift+Left
  // Ctrl+C"), and those the pad sent after another window came in front.
  std::string keys, elsewhere;

  // Sets the text from its shown form (UTF-8): the selection in brackets, or the caret as "|".
  void Set(const std::string& shown) {
    text.clear();
    for (char16_t c : Utf16(shown)) {
      if (c == u'[' || c == u'|') anchor = text.size();
      if (c == u']' || c == u'|') caret = text.size();
      if (c != u'[' && c != u']' && c != u'|') text += c;
    }
  }
  // The text with its selection in brackets, or its caret as "|".
  std::string Shown() const {
    std::u16string shown = text;
    if (caret == anchor) return Utf8(shown.insert(caret, u"|"));
    return Utf8(shown.insert(std::max(caret, anchor), u"]").insert(std::min(caret, anchor), u"["));
  }
  // The clipboard as a program's copy of the text leaves it, in both forms.
  void HoldText(const std::string& utf8) {
    padOwns = false, offered.clear();
    clipboard = {{kClipboardUnicodeText, BytesOf(Utf16(utf8))}, {kClipboardText, ToCodePage(Utf16(utf8)) + '\0'}};
    Changed();
  }
  // The clipboard's formats in order with their content: "CF_TEXT=25 CanIncludeInClipboardHistory=0";
  // texts without their zero, a Unicode one in UTF-8, others by their size; "CF_TEXT?" offered.
  std::string OnClipboard() const {
    std::string formats;
    for (const auto& [format, bytes] : clipboard) {
      std::string content = bytes;
      if (format == kClipboardText) content = bytes.substr(0, bytes.find('\0'));
      if (format == kClipboardUnicodeText) content = Utf8(UnicodeOf(bytes));
      if (format < 0xC000 && format != kClipboardText && format != kClipboardUnicodeText)
        content = std::to_string(bytes.size()) + " bytes";
      if (format >= 0xC000 && bytes.size() == 4) content = std::to_string(static_cast<unsigned char>(bytes[0]));
      formats.append(formats.empty() ? "" : " ").append(FormatName(format)).append("=").append(content);
    }
    for (unsigned format : offered) formats.append(formats.empty() ? "" : " ").append(FormatName(format)).append("?");
    return formats;
  }
  std::string FormatName(unsigned format) const {
    if (format == kClipboardText) return "CF_TEXT";
    if (format == kClipboardUnicodeText) return "CF_UNICODETEXT";
    return format >= 0xC000 ? registered.at(format - 0xC000) : "format " + std::to_string(format);
  }
  // The pad's message loop running ms: the field catches up and the pad ticks.
  void Idle(uint32_t ms) {
    if (stalled) padOwns = false, Copy(*std::exchange(stalled, std::nullopt));
    for (uint32_t left = ms; left > 0;) {
      const uint32_t step = tickMs > 0 ? std::min(left, static_cast<uint32_t>(tickMs)) : left;
      now += step, left -= step;
      CatchUp();
      if (tickMs > 0 && pad) pad->PutBackTick();
    }
  }
  // The thread catches up with its queue once it is free, unless it hangs; a late copy comes.
  void CatchUp() {
    if (late.due && static_cast<int32_t>(now - late.at) >= 0) late.due = false, Copy(late.copied);
    while (!hung && Free()) {
      if (copying) copying = false, Copy(Selected());
      if (pasting) pasting = false, Paste();
      if (queue.empty()) return;
      const TKeyEvent event = queue.front();
      queue.erase(queue.begin());
      event.up ? KeyUp(event.vk) : KeyDown(event.vk);
    }
  }

  void Send(const std::vector<TKeyEvent>& events) override {
    if (away) {
      for (const TKeyEvent& event : events) elsewhere += event.up ? "" : " " + KeyName(event.vk);
      return;
    }
    queue.insert(queue.end(), events.begin(), events.end());
    CatchUp();
    if (++batches == awayAfter) away = true;
  }
  bool Open(bool owner) override { return opensAsOwner = owner, open = ClipboardFree(); }
  void Close() override { open = false; }
  bool Empty() override {
    padOwns = opensAsOwner;
    return clipboard.clear(), offered.clear(), Changed(), copyMode = false, open;
  }
  // Rendering what it offered, the pad changes nothing that the sequence number counts.
  bool SetData(unsigned format, const void* bytes, size_t count) override {
    clipboard[format] = std::string(static_cast<const char*>(bytes), count);
    offered.erase(format);
    if (!rendering) Changed();
    return open || rendering;
  }
  bool Offer(unsigned format) override { return offered.insert(format), Changed(), open; }
  std::vector<unsigned> Formats() override {
    std::set<unsigned> all(offered);
    for (const auto& [format, bytes] : clipboard) all.insert(format);
    return std::vector<unsigned>(all.begin(), all.end());
  }
  bool GetData(unsigned format, size_t limit, std::string& bytes) override {
    if (changesWhileRead) changesWhileRead = false, ++sequence;
    if (!open || !clipboard.count(format) || unlockable.count(format) || clipboard[format].size() > limit) return false;
    return bytes = clipboard[format], true;
  }
  bool OwnerAnswers(int timeoutMs) override {
    return ownerHung ? (now += static_cast<uint32_t>(timeoutMs), false) : true;
  }
  bool GetUnicodeText(size_t limit, std::u16string& got) override {
    if (!open || !TextOnClipboard(got)) return false;
    got.resize(std::min(got.size(), limit));
    return true;
  }
  uint32_t SequenceNumber() override { return sequence; }
  unsigned RegisterFormat(const char* name) override {
    auto found = std::find(registered.begin(), registered.end(), name);
    if (found == registered.end()) found = registered.insert(found, name);
    return 0xC000 + static_cast<unsigned>(found - registered.begin());
  }
  void SleepMs(int ms) override { now += static_cast<uint32_t>(ms), CatchUp(); }
  uint32_t NowMs() override { return now; }
  void StartTicks(int ms) override { tickMs = ms; }
  void StopTicks() override { tickMs = 0; }
  void Beep() override { ++beeps; }
  uintptr_t Foreground() override { return !foreground ? 0 : away ? 2 : 1; }
  TIntegrity ForegroundIntegrity() override { return level; }
  TIntegrity Own() override { return own; }
  std::string ForegroundClass() override { return foreground ? windowClass : ""; }
  // A busy thread answers once it is free, within the time-out or not at all.
  bool Answers(int timeoutMs) override {
    const bool answers = !hung && static_cast<int32_t>(now + static_cast<uint32_t>(timeoutMs) - freeAt) >= 0;
    now = answers && !Free() ? freeAt : now + (answers ? 0 : static_cast<uint32_t>(timeoutMs));
    return CatchUp(), answers;
  }

  // Caret steps.
  size_t Next(size_t i) const {
    return i + 1 + (!halves && i + 1 < text.size() && text[i] >= 0xD800 && text[i] < 0xDC00);
  }
  size_t Previous(size_t i) const {
    return i - 1 - (!halves && i > 1 && text[i - 1] >= 0xDC00 && text[i - 1] < 0xE000);
  }
  bool Blank(size_t i) const { return text[i] == u' ' || text[i] == u'\u3000' || text[i] == u'\u00A0'; }
  bool Word(size_t i) const { return !Blank(i) && text[i] != u'\n'; }
  // Ctrl+Left from c: to the start of the word before it, over the blanks that follow it.
  size_t WordLeft(size_t c) const {
    if (c > 0 && text[c - 1] == u'\n') return c - 1;
    while (c > 0 && Blank(c - 1)) --c;
    while (c > 0 && Word(c - 1)) --c;
    return c;
  }
  // Ctrl+Right from `from`: to the next word start, after the blanks that follow a word; a line
  // end is a word of its own, as in a RichEdit.
  size_t WordRight(size_t c) const {
    if (c < text.size() && text[c] == u'\n') {
      ++c;
    } else {
      while (c < text.size() && Word(c)) ++c;
    }
    while (c < text.size() && Blank(c)) ++c;
    return c;
  }

 private:
  std::vector<TKeyEvent> queue;
  bool copying = false, pasting = false, rendering = false, away = false, copiedOnce = false;
  // Whether the pad owns the clipboard, which it opened as its owner before emptying it; a copy
  // then empties the clipboard only once the pad's message loop hears that it lost it.
  bool opensAsOwner = false, padOwns = false;
  std::optional<std::u16string> stalled;
  int batches = 0;
  struct {
    bool due = false;
    uint32_t at = 0;
    std::u16string copied;
  } late;

  bool Free() const { return static_cast<int32_t>(now - freeAt) >= 0; }
  bool ClipboardFree() const { return !held && !(tool && static_cast<int32_t>(now - toolUntil) < 0); }
  void Changed() {
    ++sequence;
    if (tool) toolUntil = now + toolMs;
  }
  std::u16string Selected() const {
    if (!copyAs.empty()) return copyAs;
    std::u16string selected;
    for (size_t i = std::min(caret, anchor); i < std::max(caret, anchor); ++i)
      selected += text[i] == u'\n' ? std::u16string(u"\r\n") : std::u16string(1, text[i]);
    return selected;
  }
  static std::u16string UnicodeOf(const std::string& bytes) {
    std::u16string units;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
      units +=
          static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    return units.substr(0, units.find(u'\0'));
  }
  static std::string BytesOf(const std::u16string& units) {
    std::string bytes;
    for (char16_t c : units) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes + std::string(2, '\0');
  }
  // The code page of the field's single-byte text: ASCII as it is; in a double-byte code page two
  // bytes, a lead byte with its top bit set, for each character it has (U+0080 to U+7FFF);
  // otherwise '?' (a surrogate pair is one character).
  std::string ToCodePage(const std::u16string& units) const {
    std::string bytes;
    for (size_t i = 0; i < units.size(); ++i) {
      const char16_t c = units[i];
      if (c < 0x80) {
        bytes += static_cast<char>(c);
      } else if (doubleByte && c < 0x8000) {
        bytes += {static_cast<char>(0x80 | c >> 8), static_cast<char>(c & 0xFF)};
      } else {
        bytes += '?';
        if (c >= 0xD800 && c < 0xDC00) ++i;
      }
    }
    return bytes;
  }
  std::u16string FromCodePage(const std::string& bytes) const {
    std::u16string units;
    for (size_t i = 0; i < bytes.size(); ++i) {
      const unsigned char b = static_cast<unsigned char>(bytes[i]);
      if (b >= 0x80 && doubleByte && i + 1 < bytes.size()) {
        units += static_cast<char16_t>((b & 0x7F) << 8 | static_cast<unsigned char>(bytes[++i]));
      } else {
        units += static_cast<char16_t>(b < 0x80 ? b : u'?');
      }
    }
    return units;
  }
  // Ctrl+C as programs copy: the clipboard emptied, then the text in both forms. Nothing when
  // nothing is selected or another program holds the clipboard.
  void Copy(const std::u16string& copied) {
    if (copied.empty() || !ClipboardFree()) return;
    if (padOwns) return void(stalled = copied);
    clipboard.clear(), offered.clear();
    if (copies == Copies::Unreadable) {
      clipboard[0xC000 + static_cast<unsigned>(registered.size())] = "data";
    } else {
      clipboard[kClipboardUnicodeText] = BytesOf(copied);
      clipboard[kClipboardText] = ToCodePage(copied) + '\0';
    }
    copyMode = !copyAs.empty();
    Changed();
  }
  // The clipboard's text; Windows makes the Unicode form from the single-byte one, through the
  // code page.
  bool TextOnClipboard(std::u16string& got) const {
    if (clipboard.count(kClipboardUnicodeText)) {
      got = UnicodeOf(clipboard.at(kClipboardUnicodeText));
    } else if (clipboard.count(kClipboardText)) {
      const std::string& bytes = clipboard.at(kClipboardText);
      got = FromCodePage(bytes.substr(0, bytes.find('\0')));
    } else {
      return false;
    }
    return true;
  }
  // Ctrl+V: a text the pad only offered is rendered by the pad while the field reads it.
  void Paste() {
    if (!pastes || !ClipboardFree()) return;
    if (offered.count(kClipboardText) && pad) rendering = true, pad->RenderFormat(kClipboardText), rendering = false;
    std::u16string pasted;
    if (TextOnClipboard(pasted)) Type(pasted);
  }
  void KeyDown(uint8_t vk) {
    ++down;
    ctrl |= vk == kVkControl, shift |= vk == kVkShift;
    if (vk == kVkControl || vk == kVkShift) return;
    keys += (keys.empty() ? "" : " ") + std::string(ctrl ? "Ctrl+" : "") + (shift ? "Shift+" : "") + KeyName(vk);
    if (ctrl && vk == kVkC) CtrlC();
    if (ctrl && vk == kVkV) pasting = true, freeAt = now + pasteMs;
    if (vk == kVkLeft || vk == kVkRight) Move(vk == kVkRight);
    if (vk == kVkDecimal) Type(u".");
    if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9)
      Type(std::u16string(1, static_cast<char16_t>(u'0' + vk - kVkNumpad0)));
  }
  void CtrlC() {
    if (copies == Copies::Once && copiedOnce) return;
    copiedOnce = true;
    if (copies == Copies::Late) {
      late.due = true, late.at = now + copyMs, late.copied = Selected();
    } else {
      copying = true, freeAt = now + copyMs;
    }
  }
  void KeyUp(uint8_t vk) { --down, ctrl &= vk != kVkControl, shift &= vk != kVkShift; }
  static std::string KeyName(uint8_t vk) {
    if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9) return "Numpad" + std::to_string(vk - kVkNumpad0);
    if (vk == kVkLeft || vk == kVkRight) return vk == kVkLeft ? "Left" : "Right";
    return vk == kVkDecimal ? "Decimal" : std::string(1, static_cast<char>(vk));  // the letters C and V
  }
  // Ctrl+Left stops at word starts, a line end being a word of its own; a plain arrow moves the
  // caret one character, or collapses a selection, ending it either way.
  void Move(bool right) {
    size_t c = caret;
    const bool selected = caret != anchor;
    if (ctrl && right) {
      c = WordRight(c);
    } else if (ctrl) {
      c = WordLeft(c);
    } else if (collapsing && selected && !shift) {
      c = right ? std::max(caret, anchor) : std::min(caret, anchor);
    } else {
      c = right ? (c < text.size() ? Next(c) : c) : (c > 0 ? Previous(c) : c);
    }
    caret = c;
    if (!shift) anchor = c;
  }
  // Replaces the selection, leaving the caret after the typed text.
  void Type(const std::u16string& typed) {
    const size_t start = std::min(caret, anchor);
    text.erase(start, std::max(caret, anchor) - start);
    text.insert(start, typed);
    caret = anchor = start + typed.size();
  }
};

#endif
