#include "files/rtf_reader.h"

#include "text/code_page.h"
#include "text/cp1252.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <limits>
#include <unordered_map>
#include <utility>

namespace tallix::files {

std::string RtfParagraph::text() const {
    std::string out;
    for (const auto& run : runs)
        out += run.text;
    return out;
}

std::string RtfDocument::plainText() const {
    std::string out;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        for (const auto& run : paragraphs[i].runs)
            out += run.text;
    }
    return out;
}

namespace {

// Where the text of the current group goes.
enum class Destination : std::uint8_t {
    Text,         // the document's text
    Ignored,      // tables, metadata, pictures: nothing of it is shown
    ColorTable,   // \colortbl: colour entries separated by ';'
    FontTable,    // \fonttbl: each font's character set
    AnsiFallback, // \upr: the 8-bit twin of a \ud group, which we read instead
};

// The formatting that a group saves on '{' and gets back on '}'.
struct GroupState {
    Destination destination = Destination::Text;
    ParagraphFormat paragraph;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::uint32_t color = 0;
    int fontSizeHalfPoints = 24;
    int unicodeFallbackLength = 1; // \ucN
    int font = -1;                 // \fN; -1 for the document's default font
};

// The stack of group states. Nested groups that change nothing share one entry,
// so a file of nothing but opening braces costs a counter, not a copy per brace.
class GroupStack {
public:
    const GroupState& current() const { return entries_.back().state; }

    // The current state, made private to the innermost group before a change.
    GroupState& modify() {
        if (entries_.back().sharedBy > 0) {
            --entries_.back().sharedBy;
            entries_.push_back(Entry{entries_.back().state, 0});
        }
        return entries_.back().state;
    }

    void push() {
        ++depth_;
        ++entries_.back().sharedBy;
    }

    // False for a '}' that closes no group.
    bool pop() {
        if (depth_ == 0)
            return false;
        --depth_;
        if (entries_.back().sharedBy > 0)
            --entries_.back().sharedBy;
        else
            entries_.pop_back();
        return true;
    }

    std::size_t depth() const { return depth_; }

private:
    struct Entry {
        GroupState state;
        std::size_t sharedBy = 0; // groups nested inside this entry's own that share it
    };
    std::vector<Entry> entries_{Entry{}};
    std::size_t depth_ = 0;
};

enum class Word {
    Unknown,
    Par,
    Line,
    Tab,
    Cell,
    Row,
    Pard,
    Plain,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstLineIndent,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    ColorIndex,
    FontSize,
    Unicode,
    UnicodeFallback,
    Bin,
    Red,
    Green,
    Blue,
    ColorTable,
    FontTable,
    Font,
    FontCharset,
    FontCodePage,
    DefaultFont,
    AnsiCodePage,
    Ansi,
    Mac,
    Pc,
    Pca,
    IgnoredDestination,
    AnsiFallback,
    UnicodeGroup,
    EmDash,
    EnDash,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    Bullet,
    Space,
};

Word lookUp(std::string_view name) {
    using Entry = std::pair<std::string_view, Word>;
    static const auto table = [] {
        std::array words = {
            Entry{"par", Word::Par},
            // A page, section or column break ends the paragraph as a mark does.
            Entry{"page", Word::Par},
            Entry{"sect", Word::Par},
            Entry{"column", Word::Par},
            Entry{"line", Word::Line},
            Entry{"tab", Word::Tab},
            Entry{"cell", Word::Cell},
            Entry{"nestcell", Word::Cell},
            Entry{"row", Word::Row},
            Entry{"nestrow", Word::Row},
            Entry{"pard", Word::Pard},
            Entry{"plain", Word::Plain},
            Entry{"ql", Word::AlignLeft},
            Entry{"qc", Word::AlignCenter},
            Entry{"qr", Word::AlignRight},
            Entry{"qj", Word::AlignJustify},
            Entry{"li", Word::LeftIndent},
            Entry{"lin", Word::LeftIndent},
            Entry{"ri", Word::RightIndent},
            Entry{"rin", Word::RightIndent},
            Entry{"fi", Word::FirstLineIndent},
            Entry{"b", Word::Bold},
            Entry{"i", Word::Italic},
            // Every kind of underline shows as underlined; \ulc is its colour only.
            Entry{"ul", Word::Underline},
            Entry{"uld", Word::Underline},
            Entry{"uldash", Word::Underline},
            Entry{"uldashd", Word::Underline},
            Entry{"uldashdd", Word::Underline},
            Entry{"uldb", Word::Underline},
            Entry{"ulhwave", Word::Underline},
            Entry{"ulldash", Word::Underline},
            Entry{"ulth", Word::Underline},
            Entry{"ulthd", Word::Underline},
            Entry{"ulthdash", Word::Underline},
            Entry{"ulthdashd", Word::Underline},
            Entry{"ulthdashdd", Word::Underline},
            Entry{"ulthldash", Word::Underline},
            Entry{"ululdbwave", Word::Underline},
            Entry{"ulw", Word::Underline},
            Entry{"ulwave", Word::Underline},
            Entry{"ulnone", Word::UnderlineNone},
            Entry{"cf", Word::ColorIndex},
            Entry{"fs", Word::FontSize},
            Entry{"u", Word::Unicode},
            Entry{"uc", Word::UnicodeFallback},
            Entry{"bin", Word::Bin},
            Entry{"red", Word::Red},
            Entry{"green", Word::Green},
            Entry{"blue", Word::Blue},
            Entry{"colortbl", Word::ColorTable},
            Entry{"fonttbl", Word::FontTable},
            Entry{"f", Word::Font},
            Entry{"fcharset", Word::FontCharset},
            Entry{"cpg", Word::FontCodePage},
            Entry{"deff", Word::DefaultFont},
            Entry{"ansicpg", Word::AnsiCodePage},
            Entry{"ansi", Word::Ansi},
            Entry{"mac", Word::Mac},
            Entry{"pc", Word::Pc},
            Entry{"pca", Word::Pca},
            Entry{"upr", Word::AnsiFallback},
            Entry{"ud", Word::UnicodeGroup},
            Entry{"emdash", Word::EmDash},
            Entry{"endash", Word::EnDash},
            Entry{"lquote", Word::LeftQuote},
            Entry{"rquote", Word::RightQuote},
            Entry{"ldblquote", Word::LeftDoubleQuote},
            Entry{"rdblquote", Word::RightDoubleQuote},
            Entry{"bullet", Word::Bullet},
            Entry{"emspace", Word::Space},
            Entry{"enspace", Word::Space},
            Entry{"qmspace", Word::Space},
            // Destinations whose text is never part of the document's text.
            Entry{"stylesheet", Word::IgnoredDestination},
            Entry{"info", Word::IgnoredDestination},
            Entry{"pict", Word::IgnoredDestination},
            Entry{"nonshppict", Word::IgnoredDestination},
            Entry{"object", Word::IgnoredDestination},
            Entry{"header", Word::IgnoredDestination},
            Entry{"headerl", Word::IgnoredDestination},
            Entry{"headerr", Word::IgnoredDestination},
            Entry{"headerf", Word::IgnoredDestination},
            Entry{"footer", Word::IgnoredDestination},
            Entry{"footerl", Word::IgnoredDestination},
            Entry{"footerr", Word::IgnoredDestination},
            Entry{"footerf", Word::IgnoredDestination},
            Entry{"footnote", Word::IgnoredDestination},
            Entry{"ftnsep", Word::IgnoredDestination},
            Entry{"ftnsepc", Word::IgnoredDestination},
            Entry{"ftncn", Word::IgnoredDestination},
            Entry{"aftnsep", Word::IgnoredDestination},
            Entry{"aftnsepc", Word::IgnoredDestination},
            Entry{"aftncn", Word::IgnoredDestination},
            Entry{"listtable", Word::IgnoredDestination},
            Entry{"listoverridetable", Word::IgnoredDestination},
            Entry{"rsidtbl", Word::IgnoredDestination},
            Entry{"revtbl", Word::IgnoredDestination},
            Entry{"filetbl", Word::IgnoredDestination},
            Entry{"pgdsctbl", Word::IgnoredDestination},
            Entry{"generator", Word::IgnoredDestination},
            Entry{"template", Word::IgnoredDestination},
            Entry{"themedata", Word::IgnoredDestination},
            Entry{"colorschememapping", Word::IgnoredDestination},
            Entry{"latentstyles", Word::IgnoredDestination},
            Entry{"datastore", Word::IgnoredDestination},
            Entry{"xmlnstbl", Word::IgnoredDestination},
            Entry{"mmathPr", Word::IgnoredDestination},
            Entry{"fldinst", Word::IgnoredDestination},
            Entry{"xe", Word::IgnoredDestination},
            Entry{"tc", Word::IgnoredDestination},
            Entry{"txe", Word::IgnoredDestination},
            // What a writer adds for readers that know less: the text of nested
            // tables again as plain paragraphs, and list labels (numbers,
            // bullets) that a reader of lists draws itself.
            Entry{"nonesttables", Word::IgnoredDestination},
            Entry{"listtext", Word::IgnoredDestination},
            Entry{"pntext", Word::IgnoredDestination},
            Entry{"pn", Word::IgnoredDestination},
            Entry{"pntxta", Word::IgnoredDestination},
            Entry{"pntxtb", Word::IgnoredDestination},
        };
        std::sort(words.begin(), words.end());
        return words;
    }();
    const auto it =
        std::lower_bound(table.begin(), table.end(), name,
                         [](const Entry& e, std::string_view n) { return e.first < n; });
    return it != table.end() && it->first == name ? it->second : Word::Unknown;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Code pages that are no code page: the bytes of a symbol font are kept as
// they are, and Windows-1252 is what the text is made of anyway.
constexpr int SymbolCodePage = 42;
constexpr int WesternCodePage = 1252;
constexpr int MacRomanCodePage = 10000;
constexpr int PcCodePage = 437;  // \pc, the IBM PC's
constexpr int PcaCodePage = 850; // \pca, the PC's multilingual one

// The code page of a font's character set (\fcharsetN); 0 where the
// document's code page applies.
int codePageOfCharset(int charset) {
    switch (charset) {
    case 0:
        return WesternCodePage;
    case 2:
        return SymbolCodePage;
    case 77:
        return MacRomanCodePage;
    case 128:
        return 932; // Japanese
    case 129:
        return 949; // Korean
    case 130:
        return 1361; // Korean, Johab
    case 134:
        return 936; // simplified Chinese
    case 136:
        return 950; // traditional Chinese
    case 161:
        return 1253; // Greek
    case 162:
        return 1254; // Turkish
    case 163:
        return 1258; // Vietnamese
    case 177:
        return 1255; // Hebrew
    case 178:
        return 1256; // Arabic
    case 186:
        return 1257; // Baltic
    case 204:
        return 1251; // Cyrillic
    case 222:
        return 874; // Thai
    case 238:
        return 1250; // Central European
    case 254:
        return PcCodePage;
    case 255:
        return PcCodePage; // OEM
    default:
        return 0; // 1 (default) and anything unknown
    }
}

struct FontEntry {
    int charset = -1; // \fcharsetN
    int codePage = 0; // \cpgN, which wins over the character set
};

class Parser {
public:
    explicit Parser(std::string_view input) : in_(input) { doc_.paragraphs.emplace_back(); }

    RtfDocument document() {
        parse();
        return std::move(doc_);
    }

    // The plain text only, handed to `sink` a piece at a time.
    void plainText(const std::function<void(std::string_view)>& sink) {
        sink_ = &sink;
        parse();
        sink(text_);
    }

private:
    // A piece of plain text goes to the sink after about this much input.
    static constexpr std::size_t PieceInput = 1 << 20;

    void parse() {
        std::size_t nextPiece = PieceInput;
        while (pos_ < in_.size()) {
            if (sink_ && pos_ >= nextPiece) {
                (*sink_)(text_);
                text_.clear();
                nextPiece = pos_ + PieceInput;
            }
            switch (in_[pos_]) {
            case '{':
                ++pos_;
                endWaitingCharacter();
                fallbackLeft_ = 0; // a fallback never reaches across a group boundary
                ignorableNext_ = false;
                groups_.push();
                break;
            case '}':
                ++pos_;
                endWaitingCharacter();
                fallbackLeft_ = 0;
                ignorableNext_ = false;
                // A '}' that closes nothing is dropped. The brace that closes the
                // outermost group ends the document; what follows it is not read.
                if (groups_.pop() && groups_.depth() == 0)
                    return;
                break;
            case '\\':
                ++pos_;
                readControl();
                break;
            case '\r':
            case '\n':
                ++pos_; // line breaks of the source are not text
                break;
            default:
                readText();
                break;
            }
        }
    }

    void readText() {
        const std::size_t start = pos_;
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
                break;
            ++pos_;
        }
        ignorableNext_ = false;
        auto chunk = in_.substr(start, pos_ - start);
        const std::size_t skipped = std::min(chunk.size(), fallbackLeft_);
        fallbackLeft_ -= skipped;
        chunk.remove_prefix(skipped);
        if (chunk.empty())
            return;
        switch (groups_.current().destination) {
        case Destination::Text:
            emitBytes(chunk);
            break;
        case Destination::ColorTable:
            for (const char c : chunk)
                if (c == ';')
                    endColorEntry();
            break;
        case Destination::Ignored:
        case Destination::FontTable:
        case Destination::AnsiFallback:
            break;
        }
    }

    // After a backslash.
    void readControl() {
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (isLetter(c)) {
            readControlWord();
            return;
        }
        ++pos_;
        if (c == '\'') {
            readHexByte();
            return;
        }
        if (c != '\\' && c != '{' && c != '}') // these three are characters of the text
            endWaitingCharacter();
        const bool star = c == '*';
        ignorableNext_ = star;
        if (star || consumeFallback())
            return;
        if (c == '\r' || c == '\n') {
            // A backslash before a line break of the source is a paragraph mark.
            if (groups_.current().destination == Destination::Text)
                endParagraph();
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            emitInText(std::string_view(&in_[pos_ - 1], 1));
            break;
        case '~':
            emitCodePointInText(0x00A0); // non-breaking space
            break;
        case '_':
            emitCodePointInText(0x2011); // non-breaking hyphen
            break;
        default: // \- optional hyphen, \: index subentry, \| formula and unknown symbols
            break;
        }
    }

    void readHexByte() {
        ignorableNext_ = false;
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < in_.size()) {
            const int v = hexValue(in_[pos_]);
            if (v < 0)
                break;
            value = value * 16 + v;
            ++digits;
            ++pos_;
        }
        if (consumeFallback() || digits < 2)
            return;
        const char byte = static_cast<char>(value);
        emitInText(std::string_view(&byte, 1));
    }

    void readControlWord() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            ++pos_;
        const auto name = in_.substr(start, pos_ - start);
        endWaitingCharacter();

        bool hasParameter = false;
        bool negative = false;
        std::int64_t value = 0;
        constexpr std::int64_t limit = std::numeric_limits<int>::max();
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            hasParameter = true;
            if (value < limit)
                value = std::min(limit, value * 10 + (in_[pos_] - '0'));
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_; // the delimiting space belongs to the control word
        const int parameter = static_cast<int>(negative ? -value : value);

        const Word word = lookUp(name);
        if (word == Word::Bin) {
            // Raw bytes, which may hold anything, braces included.
            const auto count = static_cast<std::size_t>(std::max(0, parameter));
            pos_ += std::min(count, in_.size() - pos_);
        }
        const bool ignorable = std::exchange(ignorableNext_, false);
        if (consumeFallback())
            return;
        controlWord(word, ignorable, hasParameter, parameter);
    }

    void controlWord(Word word, bool ignorable, bool hasParameter, int parameter) {
        const Destination destination = groups_.current().destination;
        if (destination == Destination::Ignored)
            return;
        if (ignorable && word != Word::UnicodeGroup) {
            // "\*\word": a destination this reader does not take in.
            groups_.modify().destination = Destination::Ignored;
            return;
        }
        if (word == Word::IgnoredDestination) {
            groups_.modify().destination = Destination::Ignored;
            return;
        }
        if (destination == Destination::ColorTable) {
            colorComponent(word, parameter);
            return;
        }
        if (destination == Destination::FontTable) {
            fontTableEntry(word, parameter);
            return;
        }
        if (destination == Destination::AnsiFallback) {
            if (word == Word::UnicodeGroup)
                groups_.modify().destination = Destination::Text;
            return;
        }
        const bool on = !hasParameter || parameter != 0;
        switch (word) {
        case Word::Par:
        case Word::Row:
            endParagraph();
            break;
        case Word::Line:
            emit("\r\n");
            break;
        case Word::Tab:
        case Word::Cell:
            emit("\t");
            break;
        case Word::Pard:
            setParagraph([](ParagraphFormat& f) { f = {}; });
            break;
        case Word::AlignLeft:
            setParagraph([](ParagraphFormat& f) { f.alignment = Alignment::Left; });
            break;
        case Word::AlignCenter:
            setParagraph([](ParagraphFormat& f) { f.alignment = Alignment::Center; });
            break;
        case Word::AlignRight:
            setParagraph([](ParagraphFormat& f) { f.alignment = Alignment::Right; });
            break;
        case Word::AlignJustify:
            setParagraph([](ParagraphFormat& f) { f.alignment = Alignment::Justify; });
            break;
        case Word::LeftIndent:
            setParagraph([&](ParagraphFormat& f) { f.leftIndent = parameter; });
            break;
        case Word::RightIndent:
            setParagraph([&](ParagraphFormat& f) { f.rightIndent = parameter; });
            break;
        case Word::FirstLineIndent:
            setParagraph([&](ParagraphFormat& f) { f.firstLineIndent = parameter; });
            break;
        case Word::Plain: {
            GroupState& s = groups_.modify();
            s.bold = s.italic = s.underline = false;
            s.color = 0;
            s.fontSizeHalfPoints = 24;
            s.font = -1;
            break;
        }
        case Word::Bold:
            groups_.modify().bold = on;
            break;
        case Word::Italic:
            groups_.modify().italic = on;
            break;
        case Word::Underline:
            groups_.modify().underline = on;
            break;
        case Word::UnderlineNone:
            groups_.modify().underline = false;
            break;
        case Word::ColorIndex: {
            const bool known =
                parameter >= 0 && static_cast<std::size_t>(parameter) < colors_.size();
            groups_.modify().color = known ? colors_[static_cast<std::size_t>(parameter)] : 0;
            break;
        }
        case Word::FontSize:
            groups_.modify().fontSizeHalfPoints = parameter > 0 ? parameter : 24;
            break;
        case Word::Unicode:
            if (hasParameter)
                unicodeCharacter(parameter);
            break;
        case Word::UnicodeFallback:
            groups_.modify().unicodeFallbackLength = std::max(0, parameter);
            break;
        case Word::ColorTable:
            groups_.modify().destination = Destination::ColorTable;
            color_ = {};
            break;
        case Word::FontTable:
            groups_.modify().destination = Destination::FontTable;
            break;
        case Word::Font:
            groups_.modify().font = parameter;
            break;
        case Word::DefaultFont:
            defaultFont_ = parameter;
            break;
        case Word::AnsiCodePage:
            if (parameter > 0)
                documentCodePage_ = parameter;
            break;
        case Word::Ansi:
            documentCodePage_ = WesternCodePage;
            break;
        case Word::Mac:
            documentCodePage_ = MacRomanCodePage;
            break;
        case Word::Pc:
            documentCodePage_ = PcCodePage;
            break;
        case Word::Pca:
            documentCodePage_ = PcaCodePage;
            break;
        case Word::AnsiFallback:
            groups_.modify().destination = Destination::AnsiFallback;
            break;
        case Word::EmDash:
            emitCodePoint(0x2014);
            break;
        case Word::EnDash:
            emitCodePoint(0x2013);
            break;
        case Word::LeftQuote:
            emitCodePoint(0x2018);
            break;
        case Word::RightQuote:
            emitCodePoint(0x2019);
            break;
        case Word::LeftDoubleQuote:
            emitCodePoint(0x201C);
            break;
        case Word::RightDoubleQuote:
            emitCodePoint(0x201D);
            break;
        case Word::Bullet:
            emitCodePoint(0x2022);
            break;
        case Word::Space:
            emit(" ");
            break;
        default: // \rtf1, \ansi, fonts, spacing and everything else unknown or not shown
            break;
        }
    }

    void unicodeCharacter(int parameter) {
        // The parameter is a signed 16-bit value; larger ones are taken as they are.
        const std::int64_t value = parameter < 0 ? std::int64_t{parameter} + 65536 : parameter;
        const bool highSurrogate = value >= 0xD800 && value <= 0xDBFF;
        const bool lowSurrogate = value >= 0xDC00 && value <= 0xDFFF;
        // A character outside the basic plane comes as two halves; it gives one '?'.
        if (!(lowSurrogate && afterHighSurrogate_)) {
            const bool valid = value >= 0 && value <= 0x10FFFF;
            emitCodePoint(valid ? static_cast<char32_t>(value) : U'?');
        }
        afterHighSurrogate_ = highSurrogate;
        fallbackLeft_ = static_cast<std::size_t>(groups_.current().unicodeFallbackLength);
    }

    // A skipped character of the 8-bit fallback after \u; true when skipped.
    bool consumeFallback() {
        if (fallbackLeft_ == 0)
            return false;
        --fallbackLeft_;
        return true;
    }

    void colorComponent(Word word, int parameter) {
        const auto component = static_cast<std::uint32_t>(std::clamp(parameter, 0, 255));
        switch (word) {
        case Word::Red:
            color_.value = (color_.value & 0x00FFFFu) | (component << 16);
            color_.given = true;
            break;
        case Word::Green:
            color_.value = (color_.value & 0xFF00FFu) | (component << 8);
            color_.given = true;
            break;
        case Word::Blue:
            color_.value = (color_.value & 0xFFFF00u) | component;
            color_.given = true;
            break;
        default:
            break;
        }
    }

    void fontTableEntry(Word word, int parameter) {
        switch (word) {
        case Word::Font:
            definedFont_ = parameter;
            break;
        case Word::FontCharset:
            fonts_[definedFont_].charset = parameter;
            break;
        case Word::FontCodePage:
            fonts_[definedFont_].codePage = parameter;
            break;
        default:
            break;
        }
    }

    // The code page of the text's 8-bit characters: the current font's, else
    // the document's.
    int codePage() const {
        const int font = groups_.current().font;
        const auto it = fonts_.find(font >= 0 ? font : defaultFont_);
        if (it != fonts_.end()) {
            const FontEntry& entry = it->second;
            const int own = entry.codePage > 0 ? entry.codePage : codePageOfCharset(entry.charset);
            if (own > 0)
                return own;
        }
        return documentCodePage_;
    }

    void endColorEntry() {
        // An entry without components is the automatic colour.
        colors_.push_back(color_.given ? color_.value : 0);
        color_ = {};
    }

    // A paragraph property holds for the paragraph it stands in, wherever in it.
    template <class Change> void setParagraph(Change change) {
        change(groups_.modify().paragraph);
        if (!sink_)
            doc_.paragraphs.back().format = groups_.current().paragraph;
    }

    void endParagraph() {
        afterHighSurrogate_ = false;
        if (sink_) {
            text_ += "\r\n";
            return;
        }
        const ParagraphFormat format = groups_.current().paragraph;
        doc_.paragraphs.back().format = format;
        doc_.paragraphs.emplace_back().format = format;
    }

    void emitCodePoint(char32_t codePoint) {
        const auto byte = static_cast<char>(text::toCp1252BestFit(codePoint));
        emit(std::string_view(&byte, 1));
    }

    void emitCodePointInText(char32_t codePoint) {
        if (groups_.current().destination == Destination::Text)
            emitCodePoint(codePoint);
    }

    void emitInText(std::string_view bytes) {
        if (groups_.current().destination == Destination::Text)
            emitBytes(bytes);
    }

    // Characters of the text in the current code page, made Windows-1252.
    void emitBytes(std::string_view bytes) {
        const int page = codePage();
        if ((page == WesternCodePage || page == SymbolCodePage) && !decoder_.waiting()) {
            emit(bytes);
            return;
        }
        std::size_t i = 0;
        while (i < bytes.size()) {
            if (!decoder_.waiting()) {
                // ASCII reads the same in every code page; only 8-bit bytes,
                // and the second half of a double byte, need the converter.
                std::size_t end = i;
                while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) < 0x80)
                    ++end;
                if (end > i) {
                    emit(bytes.substr(i, end - i));
                    i = end;
                    continue;
                }
            }
            decoded_.clear();
            decoder_.put(page, static_cast<unsigned char>(bytes[i++]), decoded_);
            emitDecoded();
        }
    }

    // A character of a double-byte code page whose second byte never came.
    void endWaitingCharacter() {
        if (!decoder_.waiting())
            return;
        decoded_.clear();
        decoder_.flush(decoded_);
        emitDecoded();
    }

    void emitDecoded() {
        converted_.clear();
        for (const char32_t codePoint : decoded_)
            converted_.push_back(static_cast<char>(text::toCp1252BestFit(codePoint)));
        if (!converted_.empty())
            emit(converted_);
    }

    // Appends text with the current formatting to the current paragraph.
    void emit(std::string_view bytes) {
        if (sink_) {
            afterHighSurrogate_ = false;
            text_ += bytes;
            return;
        }
        const GroupState& s = groups_.current();
        RtfParagraph& paragraph = doc_.paragraphs.back();
        paragraph.format = s.paragraph;
        afterHighSurrogate_ = false;
        if (!paragraph.runs.empty()) {
            RtfRun& last = paragraph.runs.back();
            if (last.bold == s.bold && last.italic == s.italic && last.underline == s.underline &&
                last.color == s.color && last.fontSizeHalfPoints == s.fontSizeHalfPoints) {
                last.text += bytes;
                return;
            }
        }
        RtfRun run;
        run.text = bytes;
        run.bold = s.bold;
        run.italic = s.italic;
        run.underline = s.underline;
        run.color = s.color;
        run.fontSizeHalfPoints = s.fontSizeHalfPoints;
        paragraph.runs.push_back(std::move(run));
    }

    struct ColorEntry {
        std::uint32_t value = 0;
        bool given = false;
    };

    std::string_view in_;
    std::size_t pos_ = 0;
    const std::function<void(std::string_view)>* sink_ = nullptr; // plain text only
    std::string text_; // plain text not yet handed to the sink
    GroupStack groups_;
    RtfDocument doc_;
    std::vector<std::uint32_t> colors_;
    ColorEntry color_;
    std::unordered_map<int, FontEntry> fonts_;
    int definedFont_ = 0;                    // the font table entry being read
    int defaultFont_ = -1;                   // \deffN
    int documentCodePage_ = WesternCodePage; // \ansicpgN, \mac, \pc, \pca
    text::CodePageDecoder decoder_;
    std::u32string decoded_;
    std::string converted_;
    std::size_t fallbackLeft_ = 0;    // characters of a \u fallback still to skip
    bool ignorableNext_ = false;      // "\*" was just read
    bool afterHighSurrogate_ = false; // the last character was the first half of a pair
};

} // namespace

RtfDocument readRtf(std::string_view bytes) {
    return Parser(bytes).document();
}

void readRtfText(std::string_view bytes, const std::function<void(std::string_view)>& sink) {
    Parser(bytes).plainText(sink);
}

} // namespace tallix::files
