// Arbitrary bytes as the settings file: read through the real file reader and binder into
// the 24 settings. Never a crash, a hang or undefined behaviour; every setting ends up
// exactly as an independent model of the file rules says (its default, or the last value
// in the file that converts for its kind); the same bytes always give the same settings,
// in whatever pieces the reader receives them; the font is rebuilt exactly when a font
// setting changed.
#include <unistd.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/MulDiv.h"
#include "numtext/NumText.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

[[noreturn]] void Fault(const char* what, const std::string& detail = std::string()) {
  std::fprintf(stderr, "settings fuzz: %s %s\n", what, detail.c_str());
  std::abort();
}

// ---- an independent model of the file rules

bool Blank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

Pairs ModelPairs(const char* data, size_t size) {
  Pairs pairs;
  size_t pos = 0;
  while (pos < size && data[pos] != 0x1A) {
    const char* lf = static_cast<const char*>(std::memchr(data + pos, '\n', size - pos));
    const size_t end = lf ? static_cast<size_t>(lf - data) : size;
    std::string line;
    for (size_t i = pos; i < end; ++i) {
      // 0x1A and "#" end the line's text; every CR is dropped.
      if (data[i] == 0x1A || data[i] == '#') break;
      if (data[i] != '\r') line += data[i];
    }
    pos = lf ? end + 1 : size;
    while (!line.empty() && Blank(line.back())) line.pop_back();
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    size_t kb = 0, ke = equals;
    while (kb < ke && Blank(line[kb])) ++kb;
    while (ke > kb && Blank(line[ke - 1])) --ke;
    if (kb == ke) continue;
    size_t vb = equals + 1;
    while (vb < line.size() && Blank(line[vb])) ++vb;
    pairs.emplace_back(line.substr(kb, ke - kb), line.substr(vb));
  }
  return pairs;
}

enum Kind { kInt, kBool, kText };

struct Setting {
  const char* name;
  Kind kind;
  int32_t* integer;
  bool* flag;
  std::string* text;
  int32_t defaultInteger;
  bool defaultFlag;
  const char* defaultText;
};

// The table as users know it from the documentation: names, kinds and defaults.
const Setting kSettings[] = {
    {"Margin", kInt, &Margin, nullptr, nullptr, 5, false, nullptr},
    {"CornerCurveX", kInt, &CornerCurveX, nullptr, nullptr, 5, false, nullptr},
    {"CornerCurveY", kInt, &CornerCurveY, nullptr, nullptr, 5, false, nullptr},
    {"BGColor", kInt, &BGColor, nullptr, nullptr, 0, false, nullptr},
    {"PenColor", kInt, &PenColor, nullptr, nullptr, 0xC0C0C0, false, nullptr},
    {"FontFace", kText, nullptr, nullptr, &FontFace, 0, false, "Verdana"},
    {"FontSize", kInt, &FontSize, nullptr, nullptr, 8, false, nullptr},
    {"BoldFont", kBool, nullptr, &BoldFont, nullptr, 0, true, nullptr},
    {"ItalicFont", kBool, nullptr, &ItalicFont, nullptr, 0, false, nullptr},
    {"BtnMargin", kInt, &BtnMargin, nullptr, nullptr, 1, false, nullptr},
    {"BtnCornerCurveX", kInt, &BtnCornerCurveX, nullptr, nullptr, 5, false, nullptr},
    {"BtnCornerCurveY", kInt, &BtnCornerCurveY, nullptr, nullptr, 5, false, nullptr},
    {"BtnColor", kInt, &BtnColor, nullptr, nullptr, 0, false, nullptr},
    {"BtnTextColor", kInt, &BtnTextColor, nullptr, nullptr, 0xFFFF, false, nullptr},
    {"BtnHoverColor", kInt, &BtnHoverColor, nullptr, nullptr, 0, false, nullptr},
    {"BtnHoverTextColor", kInt, &BtnHoverTextColor, nullptr, nullptr, 0xFFFFFF, false, nullptr},
    {"UseHandCursor", kBool, nullptr, &UseHandCursor, nullptr, 0, false, nullptr},
    {"ClickOnDown", kBool, nullptr, &ClickOnDown, nullptr, 0, true, nullptr},
    {"CalcEditBottomMargin", kInt, &CalcEditBottomMargin, nullptr, nullptr, 3, false, nullptr},
    {"CalcEditCornerCurveX", kInt, &CalcEditCornerCurveX, nullptr, nullptr, 5, false, nullptr},
    {"CalcEditCornerCurveY", kInt, &CalcEditCornerCurveY, nullptr, nullptr, 5, false, nullptr},
    {"CalcEditColor", kInt, &CalcEditColor, nullptr, nullptr, 0, false, nullptr},
    {"CalcEditTextColor", kInt, &CalcEditTextColor, nullptr, nullptr, 0xFFFFFF, false, nullptr},
    {"MaskColor", kInt, &MaskColor, nullptr, nullptr, 0xFF00FF, false, nullptr},
};
constexpr size_t kCount = sizeof kSettings / sizeof kSettings[0];
static_assert(kCount == 24, "the 24 settings");

struct Value {
  int32_t integer = 0;
  bool flag = false;
  std::string text;
  bool operator==(const Value& o) const { return integer == o.integer && flag == o.flag && text == o.text; }
};

struct Snapshot {
  Value values[kCount];
  bool operator==(const Snapshot& o) const {
    for (size_t i = 0; i < kCount; ++i) {
      if (!(values[i] == o.values[i])) return false;
    }
    return true;
  }
};

Snapshot Current() {
  Snapshot s;
  for (size_t i = 0; i < kCount; ++i) {
    const Setting& d = kSettings[i];
    if (d.integer) s.values[i].integer = *d.integer;
    if (d.flag) s.values[i].flag = *d.flag;
    if (d.text) s.values[i].text = *d.text;
  }
  return s;
}

bool SameName(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// The value a text gives a setting of the kind, if it gives one.
bool Convert(Kind kind, const std::string& text, Value& out) {
  switch (kind) {
    case kInt: {
      int error = 0;
      const int32_t n = TextToInteger(text, error);
      if (error != 0) return false;
      out.integer = n;
      return true;
    }
    case kBool: {
      int error = 0;
      const int32_t n = TextToInteger(text, error);
      if (error == 0) {
        out.flag = n != 0;
        return true;
      }
      if (SameName(text, "TRUE") || SameName(text, "YES")) {
        out.flag = true;
        return true;
      }
      if (SameName(text, "FALSE") || SameName(text, "NO")) {
        out.flag = false;
        return true;
      }
      return false;
    }
    case kText: out.text = text; return true;
  }
  return false;
}

Snapshot Model(const Pairs& pairs) {
  Snapshot s;
  for (size_t i = 0; i < kCount; ++i) {
    s.values[i].integer = kSettings[i].defaultInteger;
    s.values[i].flag = kSettings[i].defaultFlag;
    if (kSettings[i].defaultText) s.values[i].text = kSettings[i].defaultText;
  }
  for (const auto& pair : pairs) {
    for (size_t i = 0; i < kCount; ++i) {
      if (!SameName(pair.first, kSettings[i].name)) continue;
      Value v = s.values[i];
      if (Convert(kSettings[i].kind, pair.second, v)) s.values[i] = v;
    }
  }
  return s;
}

// Each stored value is the default or one that some line of the file gives its kind.
void CheckProvenance(const Snapshot& s, const Pairs& pairs) {
  for (size_t i = 0; i < kCount; ++i) {
    const Setting& d = kSettings[i];
    Value dflt;
    dflt.integer = d.defaultInteger;
    dflt.flag = d.defaultFlag;
    if (d.defaultText) dflt.text = d.defaultText;
    Value got = s.values[i];
    if (d.kind != kInt) got.integer = dflt.integer;
    if (d.kind != kBool) got.flag = dflt.flag;
    if (got == dflt) continue;
    bool found = false;
    for (const auto& pair : pairs) {
      Value v = dflt;
      if (SameName(pair.first, d.name) && Convert(d.kind, pair.second, v) && v == got) {
        found = true;
        break;
      }
    }
    if (!found) Fault("a setting holds a value no line gives it:", d.name);
  }
}

// ---- the code under test

class CountingFonts : public PadFontHost {
 public:
  int ScreenPixelsPerInchY() override { return 96; }
  void ReplacePadFont(const TLogFont& font) override {
    ++built;
    last = font;
  }
  int built = 0;
  TLogFont last;
};

// A private folder in memory where the system has one: the file is written for every input.
std::string SettingsPath() {
  static std::string path = [] {
    const char* env = std::getenv("TMPDIR");
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (env && *env ? env : "/tmp");
    static std::string folder = base + "/kwix-settings-fuzz-XXXXXX";
    if (!mkdtemp(&folder[0])) Fault("cannot make a temporary folder", folder);
    std::atexit([] {
      std::remove((folder + "/kwix.ini").c_str());
      rmdir(folder.c_str());
    });
    return folder + "/kwix.ini";
  }();
  return path;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) Fault("cannot write", path);
  if (size && std::fwrite(data, 1, size, f) != size) Fault("short write", path);
  std::fclose(f);
}

Pairs ParserPairs(const char* data, size_t size, uint32_t seed) {
  Pairs pairs;
  TSettingsParser parser([&](const std::string& k, const std::string& v) { pairs.emplace_back(k, v); });
  size_t pos = 0;
  // Pieces of 1 to 64 bytes, cut where the seed says.
  while (pos < size) {
    seed = seed * 1103515245u + 12345u;
    const size_t piece = std::min<size_t>(size - pos, 1 + (seed >> 16) % 64);
    if (!parser.Feed(data + pos, piece)) return pairs;
    pos += piece;
  }
  parser.Finish();
  return pairs;
}

bool SameFont(const TLogFont& a, const TLogFont& b) {
  return a.Height == b.Height && a.Weight == b.Weight && a.Italic == b.Italic &&
         std::memcmp(a.FaceName, b.FaceName, sizeof a.FaceName) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const std::string path = SettingsPath();
  WriteFile(path, data, size);

  const Pairs model = ModelPairs(bytes, size);
  Pairs read;
  ReadSettingsFile(path, [&](const std::string& k, const std::string& v) { read.emplace_back(k, v); });
  if (read != model) Fault("the reader's pairs differ from the file rules");
  uint32_t seed = 2166136261u;
  for (size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 16777619u;
  if (ParserPairs(bytes, size, seed) != model) Fault("pairs depend on how the bytes are cut into pieces");

  const TFontParams fontBefore{FontFace, FontSize, BoldFont, ItalicFont};
  CountingFonts fonts;
  LoadSettingsFrom(path, fonts);
  const Snapshot first = Current();
  const Snapshot expected = Model(model);
  if (!(first == expected)) Fault("the settings differ from the model of the file rules");
  CheckProvenance(first, model);

  const TFontParams fontAfter{FontFace, FontSize, BoldFont, ItalicFont};
  if (fonts.built != (fontAfter != fontBefore ? 1 : 0))
    Fault("the font was rebuilt when nothing changed, or not when it did");
  if (fonts.built) {
    const TLogFont want = MakePadLogFont(fontAfter, 96);
    if (!SameFont(fonts.last, want)) Fault("the font built is not the one the settings describe");
    if (want.Height != -MulDiv(FontSize, 96, 72) || std::strlen(want.FaceName) > 31) Fault("font height or face");
  }

  // The same bytes again: the same settings, and no new font.
  LoadSettingsFrom(path, fonts);
  if (!(Current() == first)) Fault("the same file gave different settings");
  if (fonts.built > 1) Fault("an unchanged file rebuilt the font");
  return 0;
}
