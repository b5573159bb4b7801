#include "platform/text/RtfReader.h"

#include <algorithm>
#include <array>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/text/Utf8.h"

namespace hc::text {
namespace {

// Most runs a document may hold (each run keeps a style of its own).
constexpr size_t kMaxRuns = 65536;

// Bytes 0x80..0xFF of the two code pages RTF writers use for "\'hh"; 0xFFFD
// where Windows 1252 has no character.
constexpr std::array<char16_t, 128> kWindows1252 = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152,
    0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
    0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0,
    0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD,
    0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA,
    0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4,
    0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF};

constexpr std::array<char16_t, 128> kMacRoman = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

enum class Destination { Text, FontTable, ColorTable, Skip };

// What a control word does.
enum class Word {
  FontTable,
  ColorTable,
  SkippedDestination,
  Ansi,
  Mac,
  AnsiCodePage,
  DefaultFont,
  DefaultTab,
  UnicodeSkip,
  Unicode,
  Binary,
  Paragraph,
  Line,
  Tab,
  ParagraphDefaults,
  AlignLeft,
  AlignRight,
  AlignCenter,
  AlignJustified,
  Plain,
  Bold,
  Italic,
  Underline,
  UnderlineNone,
  Font,
  FontSize,
  Color,
  FontKindAny,
  FontKindSerif,
  FontKindSans,
  FontKindMono,
  FontKindScript,
  FontKindDecorative,
  Red,
  Green,
  Blue,
  Character,
};

struct WordEntry {
  Word word;
  char32_t character = 0;
};

const std::unordered_map<std::string_view, WordEntry>& WordTable() {
  static const auto* table = [] {
    auto* t = new std::unordered_map<std::string_view, WordEntry>{
        {"fonttbl", {Word::FontTable}},
        {"colortbl", {Word::ColorTable}},
        {"ansi", {Word::Ansi}},
        {"pc", {Word::Ansi}},
        {"pca", {Word::Ansi}},
        {"mac", {Word::Mac}},
        {"ansicpg", {Word::AnsiCodePage}},
        {"deff", {Word::DefaultFont}},
        {"deftab", {Word::DefaultTab}},
        {"uc", {Word::UnicodeSkip}},
        {"u", {Word::Unicode}},
        {"bin", {Word::Binary}},
        {"par", {Word::Paragraph}},
        {"sect", {Word::Paragraph}},
        {"page", {Word::Paragraph}},
        {"line", {Word::Line}},
        {"tab", {Word::Tab}},
        {"pard", {Word::ParagraphDefaults}},
        {"ql", {Word::AlignLeft}},
        {"qr", {Word::AlignRight}},
        {"qc", {Word::AlignCenter}},
        {"qj", {Word::AlignJustified}},
        {"plain", {Word::Plain}},
        {"b", {Word::Bold}},
        {"i", {Word::Italic}},
        {"ul", {Word::Underline}},
        {"uld", {Word::Underline}},
        {"uldb", {Word::Underline}},
        {"uldash", {Word::Underline}},
        {"ulth", {Word::Underline}},
        {"ulw", {Word::Underline}},
        {"ulwave", {Word::Underline}},
        {"ulnone", {Word::UnderlineNone}},
        {"f", {Word::Font}},
        {"fs", {Word::FontSize}},
        {"cf", {Word::Color}},
        {"fnil", {Word::FontKindAny}},
        {"ftech", {Word::FontKindAny}},
        {"fbidi", {Word::FontKindAny}},
        {"froman", {Word::FontKindSerif}},
        {"fswiss", {Word::FontKindSans}},
        {"fmodern", {Word::FontKindMono}},
        {"fscript", {Word::FontKindScript}},
        {"fdecor", {Word::FontKindDecorative}},
        {"red", {Word::Red}},
        {"green", {Word::Green}},
        {"blue", {Word::Blue}},
        {"emdash", {Word::Character, 0x2014}},
        {"endash", {Word::Character, 0x2013}},
        {"bullet", {Word::Character, 0x2022}},
        {"lquote", {Word::Character, 0x2018}},
        {"rquote", {Word::Character, 0x2019}},
        {"ldblquote", {Word::Character, 0x201C}},
        {"rdblquote", {Word::Character, 0x201D}},
        {"emspace", {Word::Character, 0x2003}},
        {"enspace", {Word::Character, 0x2002}},
        {"qmspace", {Word::Character, 0x2005}},
    };
    // Destinations whose content is never shown.
    for (std::string_view name :
         {"stylesheet", "info",       "pict",       "header",     "headerl",    "headerr",     "headerf",
          "footer",     "footerl",    "footerr",    "footerf",    "footnote",   "fldinst",     "object",
          "objdata",    "xe",         "tc",         "txe",        "rxe",        "annotation",  "atnid",
          "atnauthor",  "listtable",  "listoverridetable",        "revtbl",     "rsidtbl",     "generator",
          "themedata",  "colorschememapping",       "latentstyles",           "datastore",   "xmlnstbl",
          "filetbl",    "pgdsctbl",   "nonshppict", "shp",        "shpinst",    "macpict",     "wmetafile",
          "private",    "template",   "userprops",  "fchars",     "lchars",     "ftnsep",      "ftnsepc",
          "ftncn",      "aftnsep",    "aftnsepc",   "aftncn",     "background", "docvar",      "pn",
          "pntxta",     "pntxtb",     "bkmkstart",  "bkmkend"}) {
      t->emplace(name, WordEntry{Word::SkippedDestination});
    }
    return t;
  }();
  return *table;
}

struct FontEntry {
  std::string name;
  FontKind kind = FontKind::Any;
};

// The formatting a group carries; a new group starts as a copy of its parent.
struct GroupState {
  Destination destination = Destination::Text;
  int fontIndex = -1;  // -1: the document's default font
  int halfPoints = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int colorIndex = -1;  // -1: the drawer's colour
  int unicodeSkip = 1;
  ParagraphAlignment alignment = ParagraphAlignment::Left;
};

bool IsLetter(uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

int HexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  explicit Parser(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

  TextErr Run(StyledText& out) {
    while (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t' || m_bytes[m_pos] == '\r' ||
                                      m_bytes[m_pos] == '\n')) {
      ++m_pos;
    }
    static constexpr std::string_view kStart = "{\\rtf";
    if (m_bytes.size() - m_pos < kStart.size() ||
        !std::equal(kStart.begin(), kStart.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos))) {
      return TextErr::MalformedRtf;
    }
    while (m_pos < m_bytes.size()) {
      const TextErr err = Step();
      if (err != TextErr::Ok) return err;
      if (m_stack.empty()) break;
    }
    // Groups still open at the end are closed there.
    if (!m_stack.empty()) FinishParagraph(true);
    out.paragraphs = std::move(m_paragraphs);
    out.tabIntervalPoints = m_tabInterval;
    return TextErr::Ok;
  }

 private:
  GroupState& State() { return m_stack.back(); }

  TextErr Step() {
    const uint8_t c = m_bytes[m_pos];
    switch (c) {
      case '{':
        ++m_pos;
        m_skipCharacters = 0;
        return OpenGroup();
      case '}':
        ++m_pos;
        m_skipCharacters = 0;
        return CloseGroup();
      case '\\': return ControlSequence();
      case '\r':
      case '\n': ++m_pos; return TextErr::Ok;
      default: break;
    }
    ++m_pos;
    if (m_skipCharacters > 0) {
      --m_skipCharacters;
      return TextErr::Ok;
    }
    if (c == '\t') return Emit('\t');
    if (c < 0x20) return TextErr::Ok;
    return Emit(Decode(c));
  }

  TextErr OpenGroup() {
    if (static_cast<int>(m_stack.size()) >= RtfReader::kMaxDepth) return TextErr::MalformedRtf;
    m_stack.push_back(m_stack.empty() ? GroupState{} : m_stack.back());
    m_styleValid = false;
    return TextErr::Ok;
  }

  TextErr CloseGroup() {
    if (m_stack.empty()) return TextErr::MalformedRtf;
    const Destination closed = m_stack.back().destination;
    if (m_stack.size() == 1) FinishParagraph(true);
    m_stack.pop_back();
    m_styleValid = false;
    // A font entry may end with its group instead of a semicolon.
    if (closed == Destination::FontTable) CommitFont();
    return TextErr::Ok;
  }

  TextErr ControlSequence() {
    ++m_pos;
    if (m_pos >= m_bytes.size()) return TextErr::MalformedRtf;
    const uint8_t c = m_bytes[m_pos];
    if (IsLetter(c)) return ControlWord();
    ++m_pos;
    if (c == '\'') {
      if (m_bytes.size() - m_pos < 2) return TextErr::MalformedRtf;
      const int high = HexValue(m_bytes[m_pos]);
      const int low = HexValue(m_bytes[m_pos + 1]);
      if (high < 0 || low < 0) return TextErr::MalformedRtf;
      m_pos += 2;
      if (SkipOne()) return TextErr::Ok;
      return Emit(Decode(static_cast<uint8_t>(high * 16 + low)));
    }
    if (SkipOne()) return TextErr::Ok;
    switch (c) {
      case '\\':
      case '{':
      case '}': return Emit(c);
      case '~': return Emit(0x00A0);
      case '_': return Emit(0x2011);
      case '*':
        State().destination = Destination::Skip;
        return TextErr::Ok;
      case '\r':
      case '\n': return Paragraph();
      default: return TextErr::Ok;
    }
  }

  TextErr ControlWord() {
    const size_t start = m_pos;
    while (m_pos < m_bytes.size() && IsLetter(m_bytes[m_pos])) {
      if (m_pos - start >= RtfReader::kMaxWordLength) return TextErr::MalformedRtf;
      ++m_pos;
    }
    const std::string_view name(reinterpret_cast<const char*>(m_bytes.data() + start), m_pos - start);
    bool hasParameter = false;
    bool negative = false;
    int64_t parameter = 0;
    if (m_pos + 1 < m_bytes.size() && m_bytes[m_pos] == '-' && IsDigit(m_bytes[m_pos + 1])) {
      negative = true;
      ++m_pos;
    }
    const size_t digitsStart = m_pos;
    while (m_pos < m_bytes.size() && IsDigit(m_bytes[m_pos])) {
      if (m_pos - digitsStart >= RtfReader::kMaxParameterDigits) return TextErr::MalformedRtf;
      parameter = parameter * 10 + (m_bytes[m_pos] - '0');
      hasParameter = true;
      ++m_pos;
    }
    if (negative) parameter = -parameter;
    parameter = std::clamp<int64_t>(parameter, INT32_MIN, INT32_MAX);
    if (m_pos < m_bytes.size() && m_bytes[m_pos] == ' ') ++m_pos;

    const auto& table = WordTable();
    const auto found = table.find(name);
    if (found != table.end() && found->second.word == Word::Binary) {
      return SkipBinary(hasParameter, parameter);
    }
    if (SkipOne()) return TextErr::Ok;
    if (found == table.end() || State().destination == Destination::Skip) return TextErr::Ok;
    return Apply(found->second, hasParameter, static_cast<int>(parameter));
  }

  // While the fallback characters of a "\u" are being skipped, the next
  // character, escape or control word is one of them.
  bool SkipOne() {
    if (m_skipCharacters == 0) return false;
    --m_skipCharacters;
    return true;
  }

  TextErr SkipBinary(bool hasParameter, int64_t count) {
    if (!hasParameter || count < 0 || static_cast<uint64_t>(count) > m_bytes.size() - m_pos) {
      return TextErr::MalformedRtf;
    }
    m_pos += static_cast<size_t>(count);
    return TextErr::Ok;
  }

  TextErr Apply(const WordEntry& entry, bool hasParameter, int parameter) {
    GroupState& state = State();
    const bool on = !hasParameter || parameter != 0;
    switch (entry.word) {
      case Word::FontTable: state.destination = Destination::FontTable; return TextErr::Ok;
      case Word::ColorTable: state.destination = Destination::ColorTable; return TextErr::Ok;
      case Word::SkippedDestination: state.destination = Destination::Skip; return TextErr::Ok;
      case Word::Ansi: m_macRoman = false; return TextErr::Ok;
      case Word::Mac: m_macRoman = true; return TextErr::Ok;
      case Word::AnsiCodePage: m_macRoman = hasParameter && parameter == 10000; return TextErr::Ok;
      case Word::DefaultFont:
        if (hasParameter) m_defaultFont = parameter;
        m_styleValid = false;
        return TextErr::Ok;
      case Word::DefaultTab:
        if (hasParameter && parameter > 0) m_tabInterval = std::clamp(static_cast<float>(parameter) / 20.0f, 1.0f, 1000.0f);
        return TextErr::Ok;
      case Word::UnicodeSkip:
        if (hasParameter) state.unicodeSkip = std::clamp(parameter, 0, 16);
        return TextErr::Ok;
      case Word::Unicode: return Unicode(hasParameter, parameter);
      case Word::Binary: return TextErr::Ok;
      default: break;
    }
    switch (state.destination) {
      case Destination::FontTable: return ApplyToFontTable(entry.word, hasParameter, parameter);
      case Destination::ColorTable: return ApplyToColorTable(entry.word, parameter);
      case Destination::Skip: return TextErr::Ok;
      case Destination::Text: break;
    }
    switch (entry.word) {
      case Word::Paragraph: return Paragraph();
      case Word::Line: return Emit('\n');
      case Word::Tab: return Emit('\t');
      case Word::ParagraphDefaults: state.alignment = ParagraphAlignment::Left; return TextErr::Ok;
      case Word::AlignLeft: state.alignment = ParagraphAlignment::Left; return TextErr::Ok;
      case Word::AlignRight: state.alignment = ParagraphAlignment::Right; return TextErr::Ok;
      case Word::AlignCenter: state.alignment = ParagraphAlignment::Center; return TextErr::Ok;
      case Word::AlignJustified: state.alignment = ParagraphAlignment::Justified; return TextErr::Ok;
      case Word::Character: return entry.character != 0 ? Emit(entry.character) : TextErr::Ok;
      default: break;
    }
    m_styleValid = false;
    switch (entry.word) {
      case Word::Plain: {
        const GroupState plain;
        state.fontIndex = plain.fontIndex;
        state.halfPoints = plain.halfPoints;
        state.bold = state.italic = state.underline = false;
        state.colorIndex = plain.colorIndex;
        break;
      }
      case Word::Bold: state.bold = on; break;
      case Word::Italic: state.italic = on; break;
      case Word::Underline: state.underline = on; break;
      case Word::UnderlineNone: state.underline = false; break;
      case Word::Font:
        if (hasParameter) state.fontIndex = parameter;
        break;
      case Word::FontSize:
        // Half points; 0 means the default.
        if (hasParameter && parameter >= 0) state.halfPoints = parameter == 0 ? 24 : std::clamp(parameter, 2, 2000);
        break;
      case Word::Color:
        if (hasParameter) state.colorIndex = std::max(parameter, 0);
        break;
      default: break;
    }
    return TextErr::Ok;
  }

  TextErr ApplyToFontTable(Word word, bool hasParameter, int parameter) {
    switch (word) {
      case Word::Font:
        CommitFont();
        m_fontIndex = hasParameter ? parameter : -1;
        m_fontKind = FontKind::Any;
        return TextErr::Ok;
      case Word::FontKindAny: m_fontKind = FontKind::Any; return TextErr::Ok;
      case Word::FontKindSerif: m_fontKind = FontKind::Serif; return TextErr::Ok;
      case Word::FontKindSans: m_fontKind = FontKind::Sans; return TextErr::Ok;
      case Word::FontKindMono: m_fontKind = FontKind::Mono; return TextErr::Ok;
      case Word::FontKindScript: m_fontKind = FontKind::Script; return TextErr::Ok;
      case Word::FontKindDecorative: m_fontKind = FontKind::Decorative; return TextErr::Ok;
      default: return TextErr::Ok;
    }
  }

  TextErr ApplyToColorTable(Word word, int parameter) {
    const auto component = static_cast<uint8_t>(std::clamp(parameter, 0, 255));
    switch (word) {
      case Word::Red: m_color.r = component; break;
      case Word::Green: m_color.g = component; break;
      case Word::Blue: m_color.b = component; break;
      default: return TextErr::Ok;
    }
    m_colorGiven = true;
    return TextErr::Ok;
  }

  TextErr Unicode(bool hasParameter, int parameter) {
    if (!hasParameter) return TextErr::Ok;
    // Values above 32767 are written as negative 16-bit numbers.
    int64_t value = parameter;
    if (value < 0) value += 65536;
    const char32_t c = value < 0 || value > 0x10FFFF ? kReplacementCharacter : static_cast<char32_t>(value);
    TextErr err = TextErr::Ok;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (m_highSurrogate != 0) err = EmitDecoded(kReplacementCharacter);
      m_highSurrogate = c;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      if (m_highSurrogate != 0) {
        const char32_t combined = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (c - 0xDC00);
        m_highSurrogate = 0;
        err = EmitDecoded(combined);
      } else {
        err = EmitDecoded(kReplacementCharacter);
      }
    } else {
      err = Emit(c);
    }
    m_skipCharacters = State().unicodeSkip;
    return err;
  }

  char32_t Decode(uint8_t byte) const {
    if (byte < 0x80) return byte;
    return (m_macRoman ? kMacRoman : kWindows1252)[byte - 0x80];
  }

  // A character from anything but a low surrogate: a high surrogate waiting
  // for its partner is given up first.
  TextErr Emit(char32_t c) {
    if (m_highSurrogate != 0) {
      m_highSurrogate = 0;
      if (TextErr err = EmitDecoded(kReplacementCharacter); err != TextErr::Ok) return err;
    }
    return EmitDecoded(c);
  }

  TextErr EmitDecoded(char32_t c) {
    switch (State().destination) {
      case Destination::Text: return AppendToRun(c);
      case Destination::FontTable:
        if (c == ';') {
          CommitFont();
        } else if (m_fontName.size() < 256) {
          AppendUtf8(m_fontName, c);
        }
        return TextErr::Ok;
      case Destination::ColorTable:
        if (c == ';') CommitColor();
        return TextErr::Ok;
      case Destination::Skip: return TextErr::Ok;
    }
    return TextErr::Ok;
  }

  TextErr AppendToRun(char32_t c) {
    RefreshStyle();
    std::vector<TextRun>& runs = m_paragraph.runs;
    if (!m_runOpen || runs.empty()) {
      if (++m_runCount > kMaxRuns) return TextErr::MalformedRtf;
      runs.push_back(TextRun{{}, m_style});
      m_runOpen = true;
    }
    AppendUtf8(runs.back().text, c);
    return TextErr::Ok;
  }

  void RefreshStyle() {
    if (m_styleValid) return;
    TextStyle style = ResolveStyle();
    if (!(style == m_style)) {
      m_style = std::move(style);
      m_runOpen = false;
    }
    m_styleValid = true;
  }

  TextStyle ResolveStyle() const {
    const GroupState& state = m_stack.back();
    TextStyle style;
    const int fontIndex = state.fontIndex < 0 ? m_defaultFont : state.fontIndex;
    if (const auto font = m_fonts.find(fontIndex); font != m_fonts.end()) {
      style.fontName = font->second.name;
      style.fontKind = font->second.kind;
    }
    style.sizePoints = static_cast<float>(state.halfPoints) / 2.0f;
    style.bold = state.bold;
    style.italic = state.italic;
    style.underline = state.underline;
    if (state.colorIndex >= 0 && static_cast<size_t>(state.colorIndex) < m_colors.size()) {
      style.color = m_colors[static_cast<size_t>(state.colorIndex)];
    }
    return style;
  }

  TextErr Paragraph() {
    if (State().destination != Destination::Text) return TextErr::Ok;
    FinishParagraph(false);
    return TextErr::Ok;
  }

  // Closes the paragraph being read; at the end of the document an empty one
  // (the line after a final paragraph mark) is dropped.
  void FinishParagraph(bool atEnd) {
    if (atEnd && m_paragraph.runs.empty()) return;
    RefreshStyle();
    m_paragraph.alignment = State().alignment;
    m_paragraph.endStyle = m_style;
    m_paragraphs.push_back(std::move(m_paragraph));
    m_paragraph = TextParagraph{};
    m_runOpen = false;
  }

  void CommitFont() {
    if (m_fontIndex >= 0 && (m_fonts.size() < RtfReader::kMaxTableEntries || m_fonts.count(m_fontIndex) != 0)) {
      std::string name = m_fontName;
      while (!name.empty() && name.back() == ' ') name.pop_back();
      m_fonts[m_fontIndex] = FontEntry{std::move(name), m_fontKind};
      m_styleValid = false;
    }
    m_fontIndex = -1;
    m_fontName.clear();
    m_fontKind = FontKind::Any;
  }

  void CommitColor() {
    if (m_colors.size() < RtfReader::kMaxTableEntries) {
      m_colors.push_back(m_colorGiven ? std::optional<Rgba8>(m_color) : std::nullopt);
      m_styleValid = false;
    }
    m_color = Rgba8{};
    m_colorGiven = false;
  }

  std::span<const uint8_t> m_bytes;
  size_t m_pos = 0;
  std::vector<GroupState> m_stack;
  bool m_macRoman = false;
  int m_defaultFont = 0;
  float m_tabInterval = 36.0f;
  int m_skipCharacters = 0;
  char32_t m_highSurrogate = 0;
  // Tables.
  std::map<int, FontEntry> m_fonts;
  int m_fontIndex = -1;
  FontKind m_fontKind = FontKind::Any;
  std::string m_fontName;
  std::vector<std::optional<Rgba8>> m_colors;
  Rgba8 m_color;
  bool m_colorGiven = false;
  // Output.
  std::vector<TextParagraph> m_paragraphs;
  TextParagraph m_paragraph;
  TextStyle m_style;
  bool m_styleValid = false;
  bool m_runOpen = false;
  size_t m_runCount = 0;
};

}  // namespace

TextErr RtfReader::Read(std::span<const uint8_t> bytes, StyledText* out) {
  if (!out) return TextErr::BadArgument;
  if (bytes.size() > kMaxBytes) return TextErr::MalformedRtf;
  try {
    StyledText text;
    Parser parser(bytes);
    const TextErr err = parser.Run(text);
    if (err != TextErr::Ok) return err;
    *out = std::move(text);
    return TextErr::Ok;
  } catch (const std::bad_alloc&) {
    return TextErr::OutOfMemory;
  }
}

}  // namespace hc::text
