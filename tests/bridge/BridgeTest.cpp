#include "bridge/Bridge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

namespace {

// A simulated desktop in fake time: the clipboard, other programs that hold it, and a
// target that handles Ctrl+C some time after the keys were sent.
class Sim : public BridgeClock {
 public:
  // Close to the wrap of a 32-bit millisecond count, so every wait crosses it.
  uint32_t now = 0xFFFFFF00u;

  void SleepMs(int ms) override {
    uint32_t until = now + static_cast<uint32_t>(ms);
    for (;;) {
      auto next = std::min_element(events_.begin(), events_.end(),
                                   [this](const Event& a, const Event& b) { return a.at - now < b.at - now; });
      if (next == events_.end() || next->at - now > until - now) break;
      now = next->at;
      auto action = next->action;
      events_.erase(next);
      action();
    }
    now = until;
  }
  uint32_t NowMs() override { return now; }

  void At(uint32_t delayMs, std::function<void()> action) { events_.push_back({now + delayMs, std::move(action)}); }

 private:
  struct Event {
    uint32_t at;
    std::function<void()> action;
  };
  std::vector<Event> events_;
};

class FakeClipboard : public ClipboardPort {
 public:
  explicit FakeClipboard(Sim& sim) : sim_(sim) {}

  bool Open() override {
    EXPECT_FALSE(open) << "opened twice";
    ++openAttempts;
    if (heldByOther) return false;
    open = true;
    return true;
  }
  void Close() override {
    EXPECT_TRUE(open) << "closed while not open";
    open = false;
  }
  bool Empty() override {
    EXPECT_TRUE(open) << "emptied while not open";
    if (refuseEmpty) return false;
    data.clear();
    ++sequence;
    return true;
  }
  bool SetData(unsigned format, const void* bytes, size_t count) override {
    EXPECT_TRUE(open) << "written while not open";
    if (refuseSet) return false;
    data[format] = std::string(static_cast<const char*>(bytes), count);
    ++sequence;
    return true;
  }
  std::string GetText() override {
    EXPECT_TRUE(open) << "read while not open";
    auto it = data.find(kClipboardText);
    if (it == data.end()) return std::string();
    return it->second.substr(0, it->second.find('\0'));
  }
  uint32_t SequenceNumber() override { return sequence; }

  // What another program does when it copies: it empties the clipboard at once and keeps
  // it open for holdMs before its text is there.
  void CopyByOther(const std::string& text, int holdMs) {
    heldByOther = true;
    data.clear();
    ++sequence;
    sim_.At(holdMs, [this, text] {
      data[kClipboardText] = text + '\0';
      ++sequence;
      heldByOther = false;
    });
  }
  void HoldByOther(int ms) {
    heldByOther = true;
    sim_.At(ms, [this] { heldByOther = false; });
  }
  void Put(const std::string& text) {
    data[kClipboardText] = text + '\0';
    ++sequence;
  }

  std::map<unsigned, std::string> data;
  uint32_t sequence = 1000;
  bool open = false;
  bool heldByOther = false;
  bool refuseEmpty = false;
  bool refuseSet = false;
  int openAttempts = 0;

 private:
  Sim& sim_;
};

std::string KeyName(uint8_t vk) {
  switch (vk) {
    case kVkControl: return "Ctrl";
    case kVkShift: return "Shift";
    case kVkLeft: return "Left";
    case kVkRight: return "Right";
    case kVkC: return "C";
    case kVkV: return "V";
  }
  std::ostringstream name;
  name << "0x" << std::hex << std::uppercase << int(vk);
  return name.str();
}

// What the target does with each Ctrl+C, in order; nullopt: it has nothing to copy.
struct TargetCopy {
  std::optional<std::string> text;
  int delayMs = 3;
  int holdMs = 0;
};

// Records the key events ("+Ctrl" down, "-Ctrl" up) and plays the target: Ctrl+C copies
// the next scripted text later in fake time; Ctrl+V notes what the clipboard held.
class FakeTarget : public KeySink {
 public:
  FakeTarget(Sim& sim, FakeClipboard& clipboard) : sim_(sim), clipboard_(clipboard) {}

  void KeyDown(uint8_t vk) override {
    Record('+', vk);
    if (vk == kVkControl) ctrl_ = true;
    if (ctrl_ && vk == kVkC && !copies.empty()) {
      TargetCopy copy = copies.front();
      copies.pop_front();
      if (copy.text) {
        sim_.At(copy.delayMs, [this, copy] { clipboard_.CopyByOther(*copy.text, copy.holdMs); });
      }
    }
    if (ctrl_ && vk == kVkV) {
      auto it = clipboard_.data.find(kClipboardText);
      pasted.push_back(it == clipboard_.data.end() ? std::string("(no text)") : it->second);
    }
  }
  void KeyUp(uint8_t vk) override {
    Record('-', vk);
    if (vk == kVkControl) ctrl_ = false;
  }

  std::string Keys() const { return keys_.str(); }
  int Count(const std::string& event) const {
    std::istringstream in(keys_.str());
    std::string word;
    int n = 0;
    while (in >> word) n += word == event;
    return n;
  }

  std::deque<TargetCopy> copies;
  std::vector<std::string> pasted;

 private:
  void Record(char edge, uint8_t vk) {
    if (keys_.tellp() > 0) keys_ << ' ';
    keys_ << edge << KeyName(vk);
  }

  Sim& sim_;
  FakeClipboard& clipboard_;
  bool ctrl_ = false;
  std::ostringstream keys_;
};

class CountingBeeper : public Beeper {
 public:
  void Beep() override { ++beeps; }
  int beeps = 0;
};

struct Rig {
  Sim sim;
  FakeClipboard clipboard{sim};
  FakeTarget target{sim, clipboard};
  CountingBeeper beeper;
  Bridge bridge{target, clipboard, sim, beeper};
  uint32_t start = sim.now;

  uint32_t Elapsed() const { return sim.now - start; }
};

const char* const kFirstCopyKeys = "+Ctrl +Right -Right +Shift +Left -Left -Shift +C -C -Ctrl";
const char* const kSecondCopyKeys = "+Ctrl +Shift +Left -Left -Shift +C -C -Ctrl";

std::string Repeat(const std::string& keys, size_t n) {
  std::string all;
  for (size_t i = 0; i < n; ++i) all += keys + " ";
  return all;
}

TEST(Bridge, TapKeySendsDownThenUp) {
  Rig rig;
  rig.bridge.TapKey(kVkNumpad0 + 7);
  rig.bridge.TapKey(kVkDecimal);
  EXPECT_EQ(rig.target.Keys(), "+0x67 -0x67 +0x6E -0x6E");
}

TEST(Bridge, PasteSendsCtrlVThenOneShiftLeftPerCharacter) {
  struct Case {
    std::string text;
    std::string keys;
  } cases[] = {
      {"12.5", "+Ctrl +V -V -Ctrl +Shift " + Repeat("+Left -Left", 4) + "-Shift"},
      {"", "+Ctrl +V -V -Ctrl +Shift -Shift"},
      {"0.333333333333333", "+Ctrl +V -V -Ctrl +Shift " + Repeat("+Left -Left", 17) + "-Shift"},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.clipboard.Put("99");
    rig.bridge.PasteAndSelect(c.text);
    EXPECT_EQ(rig.target.Keys(), c.keys) << "text '" << c.text << "'";
    // The text and its zero byte, length + 1 bytes, and nothing else on the clipboard.
    ASSERT_EQ(rig.target.pasted.size(), 1u) << c.text;
    EXPECT_EQ(rig.target.pasted[0], c.text + std::string(1, '\0')) << c.text;
    EXPECT_EQ(rig.clipboard.data.size(), 1u) << c.text;
    EXPECT_EQ(rig.beeper.beeps, 0) << c.text;
    EXPECT_FALSE(rig.clipboard.open) << c.text;
  }
}

TEST(Bridge, PasteWaitsBrieflyForAClipboardHeldElsewhereAndNeverPastesStaleContent) {
  struct Case {
    const char* name;
    int heldMs;
    bool refuseEmpty;
    bool refuseSet;
    bool pasted;
  } cases[] = {
      {"free", 0, false, false, true},          {"held 20 ms", 20, false, false, true},
      {"held 45 ms", 45, false, false, true},   {"held 1 s", 1000, false, false, false},
      {"empty refused", 0, true, false, false}, {"data refused", 0, false, true, false},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.clipboard.Put("99");
    if (c.heldMs > 0) rig.clipboard.HoldByOther(c.heldMs);
    rig.clipboard.refuseEmpty = c.refuseEmpty;
    rig.clipboard.refuseSet = c.refuseSet;
    rig.bridge.PasteAndSelect("12.5");
    if (c.pasted) {
      EXPECT_EQ(rig.target.Count("+V"), 1) << c.name;
      ASSERT_EQ(rig.target.pasted.size(), 1u) << c.name;
      EXPECT_EQ(rig.target.pasted[0], std::string("12.5", 5)) << c.name;
      EXPECT_EQ(rig.beeper.beeps, 0) << c.name;
    } else {
      EXPECT_EQ(rig.target.Keys(), "") << c.name;
      EXPECT_EQ(rig.beeper.beeps, 1) << c.name;
    }
    EXPECT_LE(rig.Elapsed(), uint32_t(kClipboardOpenLimitMs + kClipboardOpenPollMs)) << c.name;
    EXPECT_FALSE(rig.clipboard.open) << c.name;
  }
}

TEST(Bridge, GrabSendsTheTwoCopiesWithOneRightPerCharacterBetween) {
  Rig rig;
  rig.target.copies = {{"12.5"}, {"12.5"}};
  EXPECT_EQ(rig.bridge.GrabNumberAtCaret(), "12.5");
  EXPECT_EQ(rig.target.Keys(), std::string(kFirstCopyKeys) + " " + Repeat("+Right -Right", 4) + kSecondCopyKeys);
  EXPECT_FALSE(rig.clipboard.open);
}

TEST(Bridge, GrabStepsToTheWordsEndBeforeTrailingBlanks) {
  struct Case {
    const char* name;
    std::optional<std::string> firstCopy;
    std::optional<std::string> secondCopy;
    int rights;
    std::string result;
  } cases[] = {
      {"number", "12.5", "12.5", 4, "12.5"},
      {"two digits and a blank", "42 ", "42", 2, "42"},
      {"spreadsheet cell", "42\r\n", "42\r\n", 2, "42\r\n"},
      {"second copy ends in a blank", "7", "7 ", 1, "7 "},
      {"blanks only", " \t", "", 0, ""},
      {"empty text", "", "", 0, ""},
      {"byte above 0x7F is a character", "5\xA0", "5\xA0", 2, "5\xA0"},
      {"nothing to copy", std::nullopt, std::nullopt, 0, ""},
      {"nothing the second time", "12.5", std::nullopt, 4, ""},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.clipboard.Put("99");
    rig.target.copies = {{c.firstCopy}, {c.secondCopy}};
    EXPECT_EQ(rig.bridge.GrabNumberAtCaret(), c.result) << c.name;
    EXPECT_EQ(rig.target.Count("+Right"), 1 + c.rights) << c.name;
    EXPECT_EQ(rig.target.Count("+C"), 2) << c.name;
    EXPECT_FALSE(rig.clipboard.open) << c.name;
  }
}

TEST(Bridge, GrabWaitsForTheTargetWithinBoundsAndNeverReturnsTheOldClipboard) {
  const uint32_t open = kClipboardOpenLimitMs + kClipboardOpenPollMs;
  const uint32_t wait = kCopyWaitLimitMs + kCopyPollMs;
  const uint32_t unanswered = open + wait;       // no second wait after an unanswered copy
  const uint32_t worst = 2 * (wait + 2 * open);  // both copies answered just in time
  struct Case {
    const char* name;
    std::deque<TargetCopy> copies;
    int heldByOtherMs;
    int otherAddsAFormatAtMs;  // without emptying the clipboard, as some clipboard tools do
    std::string result;
    uint32_t maxMs;
  } cases[] = {
      {"prompt target", {{"12.5", 1}, {"12.5", 1}}, 0, 0, "12.5", 20},
      {"slow target", {{"12.5", 450}, {"12.5", 450}}, 0, 0, "12.5", 910},
      {"target keeps the clipboard open while copying", {{"12.5", 5, 30}, {"12.5", 5, 30}}, 0, 0, "12.5", 100},
      {"target keeps the clipboard open too long", {{"12.5", 5, 200}, {"12.5", 5, 200}}, 0, 0, "", worst},
      {"target ignores the keys", {}, 0, 0, "", unanswered},
      {"target later than the wait", {{"12.5", 700}, {"12.5", 700}}, 0, 0, "", unanswered},
      {"target answers only the first copy", {{"12.5"}, {std::nullopt}}, 0, 0, "", worst},
      {"clipboard held elsewhere throughout", {}, 5000, 0, "", unanswered},
      {"clipboard held elsewhere at first", {{"12.5"}, {"12.5"}}, 30, 0, "12.5", 100},
      {"another program touches the clipboard", {{"12.5"}, {std::nullopt}}, 0, 30, "", worst},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.clipboard.Put("99");
    rig.target.copies = c.copies;
    if (c.heldByOtherMs > 0) rig.clipboard.HoldByOther(c.heldByOtherMs);
    if (c.otherAddsAFormatAtMs > 0) {
      rig.sim.At(c.otherAddsAFormatAtMs, [&rig] {
        rig.clipboard.data[0xC000] = "private";
        ++rig.clipboard.sequence;
      });
    }
    EXPECT_EQ(rig.bridge.GrabNumberAtCaret(), c.result) << c.name;
    EXPECT_LE(rig.Elapsed(), c.maxMs) << c.name;
    EXPECT_FALSE(rig.clipboard.open) << c.name;
  }
}

TEST(Bridge, ClipboardReadsAndWritesGiveUpOnAClipboardHeldElsewhere) {
  Rig rig;
  EXPECT_EQ(rig.bridge.ReadClipboardText(), "");
  rig.clipboard.data[13] = "unicode only";
  EXPECT_EQ(rig.bridge.ReadClipboardText(), "") << "no CF_TEXT";
  EXPECT_TRUE(rig.bridge.WriteClipboard(kClipboardText, "12\0junk", 8));
  EXPECT_EQ(rig.clipboard.data.size(), 1u) << "the write empties the clipboard first";
  EXPECT_EQ(rig.bridge.ReadClipboardText(), "12");

  rig.clipboard.HoldByOther(1000);
  uint32_t start = rig.sim.now;
  EXPECT_EQ(rig.bridge.ReadClipboardText(), "");
  EXPECT_FALSE(rig.bridge.WriteClipboard(kClipboardText, "7", 2));
  EXPECT_LE(rig.sim.now - start, uint32_t(2 * (kClipboardOpenLimitMs + kClipboardOpenPollMs)));
  EXPECT_GT(rig.clipboard.openAttempts, 4) << "retried";
  EXPECT_FALSE(rig.clipboard.open);
}

}  // namespace
