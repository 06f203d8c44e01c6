#include "files/rtf_reader.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "row_name.h"
#include "temp_dir.h"

namespace tallix::files {
namespace {

using namespace std::string_literals;

struct TextRow : testsupport::NamedRow {
    std::string rtf;
    std::string expected;
};

const TextRow textRows[] = {
    {"line break, tab, table cell and row", R"({\rtf1 a\line b\tab c\cell d\row e})",
     "a\r\nb\tc\td\r\ne"},
    {"source line breaks; a backslash makes one a mark", "{\\rtf1 one\r\ntwo\n\\\r\nthree}",
     "onetwo\r\nthree"},
    {"delimiting space belongs to the word; unknown words go",
     R"({\rtf1\b bold\b0  one\fs20x\kerning12 y})", "bold onexy"},
    {"hex bytes; no hex digits, no byte", R"({\rtf1 caf\'e9\'C4\'80\'4z\'zz})",
     "caf\xE9\xC4\x80zzz"},
    {"escapes and special characters", R"({\rtf1 a\\b\{c\}d\~x\-y\_z})", "a\\b{c}d\xA0xy-z"},
    {"named punctuation", R"({\rtf1\lquote\rquote\ldblquote\rdblquote\emdash\endash\bullet})",
     "\x91\x92\x93\x94\x97\x96\x95"},
    // \uN gives the character in the code page, then skips \ucN fallback characters.
    {"unicode in and outside the code page", R"({\rtf1 \u233?\u8364?\u1046?!})", "\xE9\x80?!"},
    {"fallback of hex bytes", R"({\rtf1\uc2\u1046\'c6\'e5x})", "?x"},
    {"fallback stops at a group's end", R"({\rtf1\uc3{\u233 a}xy})", "\xE9xy"},
    // Destinations whose text is not the document's.
    {"known destinations",
     R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red9;}{\stylesheet{\s1 H;}}{\info{\title T}})"
     R"({\pict 89ab\par}{\header h}x{\footnote n}{\*\listtable{\list l}}y})",
     "xy"},
    {"unknown starred destination", R"({\rtf1{\*\brandnew t {nested {deeper}} more}x})", "x"},
    {"field shows its result", R"({\rtf1{\field{\*\fldinst HYPERLINK "q"}{\fldrslt link}}})",
     "link"},
    {"unicode group replaces its ANSI twin", R"({\rtf1{\upr{ansi}{\*\ud{uni}}}})", "uni"},
    // \binN: N raw bytes, braces and all.
    {"binary in the text is no text", "{\\rtf1 a\\bin4 {}\\\0b}"s, "ab"},
    // Unbalanced braces.
    {"text after the document", "{\\rtf1 a}\r\n}b{c}", "a"},
    {"missing closing braces", R"({\rtf1 a{\b b)", "ab"},
    // Bytes that keep their Windows-1252 reading whatever the code page.
    {"symbol font keeps its bytes", R"({\rtf1\ansicpg1251{\fonttbl{\f2\fcharset2 S;}}\f2\'b7})",
     "\xB7"},
    {"code page the system cannot convert", R"({\rtf1\ansicpg1234 \'e9})", "\xE9"},
};

class RtfText : public testing::TestWithParam<TextRow> {};

TEST_P(RtfText, GivesThePlainText) {
    EXPECT_EQ(readRtf(GetParam().rtf).plainText(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfText, testing::ValuesIn(textRows), testsupport::RowName());

// The text as a rich-edit control gives it: what a writer adds for lesser
// readers is left out, breaks of every kind end the paragraph, and 8-bit
// characters are read in their code page and made Windows-1252 as Windows does.
const TextRow controlRows[] = {
    {"nested-table fallback left out", R"({\rtf1\ansi {\nonesttables FALLBACK\par}real\par})",
     "real\r\n"},
    {"numbered list label left out", R"({\rtf1{\listtext 10.\tab}Fm AB1CD To CQ\par})",
     "Fm AB1CD To CQ\r\n"},
    {"page, section and column breaks end the paragraph",
     R"({\rtf1 one\page two\sect three\column four\par})", "one\r\ntwo\r\nthree\r\nfour\r\n"},
    {"Central European code page with best fits", R"({\rtf1\ansi\ansicpg1250 \'a3\'f3d\'9f})",
     "L\xF3\x64z"},
    {"8-bit text bytes in the code page", "{\\rtf1\\ansicpg1251 caf\xE9}", "caf?"},
    {"font character set wins over the document's",
     R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset204 C;}}\f1\'c0\f0\'c0})",
     "?\xC0"},
    {"default font, and plain returns to it",
     R"({\rtf1\deff1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset204 C;}}\'c0\f0\'c0\plain\'c0})",
     "?\xC0?"},
    // A double-byte code page takes the byte after a lead byte as its second
    // half, whether written as a hex byte or as a character of the text.
    {"Japanese double bytes", R"({\rtf1\ansi\ansicpg932 \'82\'60\'82a x})", "AB x"},
    {"lead byte without its second half", R"({\rtf1\ansicpg932 \'82\par x\'82})", "?\r\nx?"},
    {"best fit of unicode characters", R"({\rtf1\uc0 \u8209 \u8195 \u65313 \u8734 \u8201 \u1046 })",
     "- A8??"},
};

INSTANTIATE_TEST_SUITE_P(AsAControlReadsIt, RtfText, testing::ValuesIn(controlRows),
                         testsupport::RowName());

// Printable ASCII, each character as a hex byte and then as text (the specials
// escaped), after a header that sets the code page.
std::string asciiIn(const std::string& header) {
    // A space ends a control word; after a group it would be text.
    std::string rtf = "{\\rtf1" + header + (header.ends_with('}') ? "" : " ");
    for (char c = ' '; c < 0x7F; ++c) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\'%02x", c);
        rtf += hex + std::string(c == '\\' || c == '{' || c == '}' ? "\\" : "") + c;
    }
    return rtf + "}";
}

std::string doubledAscii() {
    std::string text;
    for (char c = ' '; c < 0x7F; ++c)
        text += std::string(2, c);
    return text;
}

// A plain log in rich text gives the plain log's figures: its ASCII takes the
// same way through every code page but Windows-1252's. One row for each way,
// a double-byte page, and the font table naming Johab, the one system
// converter that would not keep ASCII by itself.
const TextRow codePageRows[] = {
    {"ASCII in code page 1252", asciiIn(R"(\ansi\ansicpg1252)"), doubledAscii()},
    {"ASCII in code page 932", asciiIn(R"(\ansi\ansicpg932)"), doubledAscii()},
    {"ASCII in Johab", asciiIn(R"(\ansi\deff0{\fonttbl{\f0\fcharset130 M;}})"), doubledAscii()},
};

INSTANTIATE_TEST_SUITE_P(KeepsASCII, RtfText, testing::ValuesIn(codePageRows),
                         testsupport::RowName());

// A document as "C:[b/28]Heard / L<720,0,-360>:[]caf[#C00000]x": each paragraph's
// alignment and, when any is set, its left, right and first-line indents, then
// each run's text after its formatting: bold, italic, underline, colour and "/"
// the size in half-points when not the default.
std::string layout(const RtfDocument& doc) {
    std::string out;
    for (const auto& p : doc.paragraphs) {
        const ParagraphFormat& f = p.format;
        out += (out.empty() ? "" : " / ") + std::string(1, "LCRJ"[static_cast<int>(f.alignment)]);
        if (f.leftIndent != 0 || f.rightIndent != 0 || f.firstLineIndent != 0)
            out += "<" + std::to_string(f.leftIndent) + "," + std::to_string(f.rightIndent) + "," +
                   std::to_string(f.firstLineIndent) + ">";
        out += ":";
        for (const auto& run : p.runs) {
            char colour[16] = "";
            if (run.color)
                std::snprintf(colour, sizeof colour, "#%06X", run.color);
            const int size = run.fontSizeHalfPoints;
            out += "["s + (run.bold ? "b" : "") + (run.italic ? "i" : "") +
                   (run.underline ? "u" : "") + colour +
                   (size == 24 ? "" : "/" + std::to_string(size)) + "]" + run.text;
        }
    }
    return out;
}

const TextRow layoutRows[] = {
    {"alignment kept until changed; a group's end restores it",
     R"({\rtf1{\qr a\par b\par}c\par\qj d\par\ql e})", "R:[]a / R:[]b / L:[]c / J:[]d / L:[]e"},
    {"indents kept until changed; pard resets them with the alignment",
     R"({\rtf1\li720\ri360\fi-240 a\par\qc\lin100 b\par\fi0 c\par\pard d})",
     "L<720,360,-240>:[]a / C<100,360,-240>:[]b / C<100,360,0>:[]c / L:[]d"},
    {"bold, italic, underline; a group's end restores",
     R"({\rtf1 a\b b\b0{\i\ul c}\uldb d\ulnone e})", "L:[]a[b]b[iu]c[u]d[]e"},
    {"colour by index, clamped; an unknown index is automatic",
     R"({\rtf1{\colortbl;\red192\green0\blue0;\red300\green-4\blue16;}\cf2 a\cf1 b\cf9 c})",
     "L:[#FF0010]a[#C00000]b[]c"},
    {"font size; plain resets everything", R"({\rtf1\fs20 a{\fs40\b\i\ul b\plain c}})",
     "L:[/20]a[biu/40]b[]c"},
};

class RtfLayout : public testing::TestWithParam<TextRow> {};

TEST_P(RtfLayout, KeepsAlignmentAndFormatting) {
    EXPECT_EQ(layout(readRtf(GetParam().rtf)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfLayout, testing::ValuesIn(layoutRows), testsupport::RowName());

TEST(RtfReader, ReadsAWordPadStyleFile) {
    const std::string dir = TALLIX_TEST_DATA_DIR "/rtf/";
    const auto doc = readRtf(testsupport::readBytes(dir + "station_notes.rtf"));
    EXPECT_EQ(doc.plainText(), testsupport::readBytes(dir + "station_notes.txt"));
    EXPECT_NE(layout(doc).find(" / L:[b#C00000/20]Link:[#C00000/20] DB0ABC"), std::string::npos);
}

} // namespace
} // namespace tallix::files
