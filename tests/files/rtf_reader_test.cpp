#include "files/rtf_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tallix::files {
namespace {

using namespace std::string_literals;

std::string textOf(std::string_view rtf) {
    return readRtf(rtf).plainText();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

template <typename Row> std::string rowName(const testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

// Failure messages name the row rather than dumping its bytes.
template <typename Row>
requires requires(const Row& row) {
    row.name;
}
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

// ---- plain text -------------------------------------------------------------

struct TextRow {
    const char* name;
    std::string rtf;
    std::string expected;
};

class RtfPlainText : public testing::TestWithParam<TextRow> {};

TEST_P(RtfPlainText, GivesTheTextWithoutMarkup) {
    EXPECT_EQ(textOf(GetParam().rtf), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, RtfPlainText,
    testing::Values(
        TextRow{"MarkAtTheEndLeavesABreakAfterTheLastLine", R"({\rtf1 a\par b\par})", "a\r\nb\r\n"},
        TextRow{"TextAfterTheLastMarkIsTheLastLine", R"({\rtf1 a\par b})", "a\r\nb"},
        TextRow{"EmptyDocument", R"({\rtf1})", ""},
        TextRow{"EmptyParagraphs", R"({\rtf1\par\par x})", "\r\n\r\nx"},
        TextRow{"LineBreakInsideAParagraph", R"({\rtf1 a\line b})", "a\r\nb"},
        TextRow{"Tab", R"({\rtf1 call\tab DL1ABC})", "call\tDL1ABC"},
        TextRow{"SourceLineBreaksAreNotText", "{\\rtf1 one\r\ntwo\nthree\rfour}",
                "onetwothreefour"},
        TextRow{"BackslashBeforeSourceLineBreakIsAMark", "{\\rtf1 a\\\r\nb}", "a\r\nb"},
        TextRow{"DelimitingSpaceBelongsToTheWord", R"({\rtf1\b bold\b0  one space})",
                "bold one space"},
        TextRow{"WordEndsAtPunctuation", R"({\rtf1 a\par-b\par;c})", "a\r\n-b\r\n;c"},
        TextRow{"ParameterEndsAtALetter", R"({\rtf1\fs20x})", "x"},
        TextRow{"UnknownWordsAreDropped", R"({\rtf1\ansi\deff0\viewkind4 x\kerning12 y})", "xy"},
        TextRow{"TableCellsAndRows", R"({\rtf1 a\cell b\cell\row c})", "a\tb\t\r\nc"},
        TextRow{"MarksInsideGroups", R"({\rtf1{a\par}{b}\par})", "a\r\nb\r\n"}),
    rowName<TextRow>);

INSTANTIATE_TEST_SUITE_P(
    Characters, RtfPlainText,
    testing::Values(TextRow{"HexByte", R"({\rtf1 caf\'e9})", "caf\xE9"},
                    TextRow{"HexByteUpperCase", R"({\rtf1 \'C4\'d6x})", "\xC4\xD6x"},
                    TextRow{"HexByteInTheHighRange", R"({\rtf1 \'80\'9f})", "\x80\x9F"},
                    TextRow{"UnicodeInLatin1", R"({\rtf1 \u233?x})", "\xE9x"},
                    TextRow{"UnicodeOfAHighRangeByte", R"({\rtf1 \u8364?5})",
                            "\x80"
                            "5"},
                    TextRow{"UnicodeOutsideTheCodePage", R"({\rtf1 \u1046?x})", "?x"},
                    TextRow{"UnicodeWithoutFallback", R"({\rtf1\uc0 \u233 x})", "\xE9x"},
                    TextRow{"FallbackOfTwoLetters", R"({\rtf1\uc2 \u1046 Zh x})", "? x"},
                    TextRow{"FallbackOfHexBytes", R"({\rtf1\uc2\u1046\'c6\'e5x})", "?x"},
                    TextRow{"FallbackCountsAControlWordAsOne", R"({\rtf1\u233\emdash x})", "\xE9x"},
                    TextRow{"FallbackCountsAControlSymbolAsOne", R"({\rtf1\u233\~x})", "\xE9x"},
                    TextRow{"FallbackStopsAtTheEndOfAGroup", R"({\rtf1\uc3{\u233 a}bc})",
                            "\xE9"
                            "bc"},
                    TextRow{"FallbackStopsAtTheStartOfAGroup", R"({\rtf1\uc2\u233{a}b})",
                            "\xE9"
                            "ab"},
                    TextRow{"FallbackLengthIsScopedToTheGroup", R"({\rtf1{\uc0 \u233}\u233 ab})",
                            "\xE9\xE9"
                            "b"},
                    TextRow{"NegativeUnicodeSurrogatePairIsOneCharacter",
                            R"({\rtf1 \u-10179 a\u-8704 bz})", "?z"},
                    TextRow{"NegativeUnicodeAboveTheCodePage", R"({\rtf1 \u-1 ax})", "?x"},
                    TextRow{
                        "NamedPunctuation",
                        R"({\rtf1\lquote a\rquote \ldblquote b\rdblquote  \emdash\endash\bullet})",
                        "\x91"
                        "a\x92\x93"
                        "b\x94 \x97\x96\x95"},
                    TextRow{"EscapedBackslashAndBraces", R"({\rtf1 a\\b\{c\}d})", "a\\b{c}d"},
                    TextRow{"NonBreakingSpace", R"({\rtf1 a\~b})",
                            "a\xA0"
                            "b"},
                    TextRow{"OptionalHyphenIsDropped", R"({\rtf1 hy\-phen})", "hyphen"},
                    TextRow{"NonBreakingHyphen", R"({\rtf1 non\_breaking})", "non-breaking"},
                    TextRow{"OtherBytesAreLiteral", "{\\rtf1 a\tb\xE9\x01}", "a\tb\xE9\x01"}),
    rowName<TextRow>);

INSTANTIATE_TEST_SUITE_P(
    IgnoredDestinations, RtfPlainText,
    testing::Values(
        TextRow{"FontTable", R"({\rtf1{\fonttbl{\f0\fswiss Arial;}{\f1 Courier New;}}x})", "x"},
        TextRow{"ColourTable", R"({\rtf1{\colortbl;\red255\green0\blue0;}x})", "x"},
        TextRow{"Stylesheet", R"({\rtf1{\stylesheet{\s0 Normal;}{\s1\qc heading 1;}}x})", "x"},
        TextRow{"Generator", R"({\rtf1{\*\generator Riched20 10.0;}x})", "x"},
        TextRow{"Info", R"({\rtf1{\info{\title Log}{\author Op}{\creatim\yr2024}}x})", "x"},
        TextRow{"PictureWithHexData", R"({\rtf1{\pict\pngblip\picw10 89504e470d0a\par}x})", "x"},
        TextRow{"HeadersAndFooters", R"({\rtf1{\header head\par}{\footerl foot}x})", "x"},
        TextRow{"Footnote", R"({\rtf1 x{\footnote note}y})", "xy"},
        TextRow{"UnknownStarredDestinationWithNestedGroups",
                R"({\rtf1{\*\brandnew text {nested {deeper}} more}x})", "x"},
        TextRow{"FieldShowsItsResultOnly",
                R"({\rtf1{\field{\*\fldinst HYPERLINK "q"}{\fldrslt link}}})", "link"},
        TextRow{"UnicodeGroupReplacesItsAnsiTwin", R"({\rtf1{\upr{ansi}{\*\ud{uni}}}})", "uni"},
        TextRow{"ListTables", R"({\rtf1{\*\listtable{\list x}}{\*\listoverridetable y}z})", "z"}),
    rowName<TextRow>);

INSTANTIATE_TEST_SUITE_P(
    Binary, RtfPlainText,
    testing::Values(TextRow{"BinaryInAPictureHoldsBraces", "{\\rtf1{\\pict\\bin6 }}{\\{{}y}", "y"},
                    TextRow{"BinaryInTextIsNotText", "{\\rtf1 a\\bin4 {}\\\0b}"s, "ab"},
                    TextRow{"BinaryLongerThanTheFile", "{\\rtf1 a\\bin100 xyz", "a"},
                    TextRow{"HugeBinaryLength", R"({\rtf1 a\bin99999999999999999999 xyz})", "a"},
                    TextRow{"NegativeBinaryLengthSkipsNothing", R"({\rtf1 a\bin-5 xyz})", "axyz"}),
    rowName<TextRow>);

INSTANTIATE_TEST_SUITE_P(
    Malformed, RtfPlainText,
    testing::Values(
        TextRow{"TextAfterTheDocumentIsIgnored", "{\\rtf1 a}\r\n\0\0}b{c}"s, "a"},
        TextRow{"MissingClosingBraces", R"({\rtf1 a{\b b)", "ab"},
        TextRow{"ClosingBraceWithoutGroup", "plain}text", "plaintext"},
        TextRow{"EndsAfterABackslash", "{\\rtf1 a\\", "a"},
        TextRow{"EndsInsideAWord", "{\\rtf1 a\\pa", "a"},
        TextRow{"EndsInsideAHexByte", "{\\rtf1 a\\'e", "a"},
        TextRow{"HexByteWithoutHexDigits", R"({\rtf1 a\'4z\'zz})", "azzz"},
        TextRow{"HugeUnicodeParameter", R"({\rtf1\u99999999999999999999 x})", "?"},
        TextRow{"HugeNegativeUnicodeParameter", R"({\rtf1\u-99999999999999999999 x})", "?"},
        TextRow{"HugeFallbackLengthStopsAtGroupEnd", R"({\rtf1{\uc99999999999\u233 abc}d})",
                "\xE9"
                "d"},
        TextRow{"StarWithoutAWord", R"({\rtf1{\* x}y})", " xy"}),
    rowName<TextRow>);

// ---- paragraphs and their alignment ------------------------------------------

struct AlignmentRow {
    const char* name;
    std::string rtf;
    std::vector<Alignment> expected;
};

class RtfAlignment : public testing::TestWithParam<AlignmentRow> {};

TEST_P(RtfAlignment, EachParagraphKeepsItsAlignment) {
    const auto doc = readRtf(GetParam().rtf);
    std::vector<Alignment> got;
    for (const auto& p : doc.paragraphs)
        got.push_back(p.alignment);
    EXPECT_EQ(got, GetParam().expected);
}

constexpr auto L = Alignment::Left;
constexpr auto C = Alignment::Center;
constexpr auto R = Alignment::Right;
constexpr auto J = Alignment::Justify;

INSTANTIATE_TEST_SUITE_P(
    Rows, RtfAlignment,
    testing::Values(
        AlignmentRow{
            "OnePerParagraph", R"({\rtf1\qc a\par\qr b\par\qj c\par\pard d})", {C, R, J, L}},
        AlignmentRow{"CarriesOverWithoutPard", R"({\rtf1\qr a\par b})", {R, R}},
        AlignmentRow{"ExplicitLeft", R"({\rtf1\qc a\par\ql b})", {C, L}},
        AlignmentRow{"TrailingParagraphInherits", R"({\rtf1\qc a\par})", {C, C}},
        AlignmentRow{"WordAfterTheTextStillCounts", R"({\rtf1 a\qr\par b})", {R, R}},
        AlignmentRow{"GroupEndRestoresIt", R"({\rtf1{\qc a\par}b})", {C, L}},
        AlignmentRow{"StylesheetDoesNotAlign", R"({\rtf1{\stylesheet{\s1\qc Heading;}}a})", {L}},
        AlignmentRow{"LineBreakIsNotAParagraph", R"({\rtf1\qc a\line b})", {C}}),
    rowName<AlignmentRow>);

// ---- character formatting ---------------------------------------------------

struct RunsRow {
    const char* name;
    std::string rtf;
    std::vector<RtfRun> expected;
};

class RtfRuns : public testing::TestWithParam<RunsRow> {};

TEST_P(RtfRuns, FormattingSplitsTheText) {
    const auto doc = readRtf(GetParam().rtf);
    ASSERT_FALSE(doc.paragraphs.empty());
    EXPECT_EQ(doc.paragraphs.front().runs, GetParam().expected);
}

const std::string Colours = R"({\colortbl;\red192\green0\blue0;\red0\green128\blue0;})";

INSTANTIATE_TEST_SUITE_P(
    Rows, RtfRuns,
    testing::Values(
        RunsRow{"BoldOnAndOff",
                R"({\rtf1 a\b b\b0 c})",
                {{.text = "a"}, {.text = "b", .bold = true}, {.text = "c"}}},
        RunsRow{"GroupEndRestoresFormatting",
                R"({\rtf1{\b\i a}b})",
                {{.text = "a", .bold = true, .italic = true}, {.text = "b"}}},
        RunsRow{"UnderlineKindsAndEnds",
                R"({\rtf1\ul a\ulnone b\uldb c\ul0 d})",
                {{.text = "a", .underline = true},
                 {.text = "b"},
                 {.text = "c", .underline = true},
                 {.text = "d"}}},
        RunsRow{"SameFormattingMerges", R"({\rtf1 a{\b0 b}c\i0 d})", {{.text = "abcd"}}},
        RunsRow{
            "ColourFromTheTable",
            "{\\rtf1" + Colours + R"(\cf2 g\cf1 r\cf0 a\cf9 x})",
            {{.text = "g", .color = 0x008000}, {.text = "r", .color = 0xC00000}, {.text = "ax"}}},
        RunsRow{"ColourComponentsAreClamped",
                R"({\rtf1{\colortbl;\red300\green-4\blue16;}\cf1 x})",
                {{.text = "x", .color = 0xFF0010}}},
        RunsRow{"FontSize",
                R"({\rtf1\fs20 s{\fs40 b}})",
                {{.text = "s", .fontSizeHalfPoints = 20}, {.text = "b", .fontSizeHalfPoints = 40}}},
        RunsRow{"PlainResetsEverything",
                "{\\rtf1" + Colours + R"(\b\i\ul\cf1\fs32 a\plain b})",
                {{.text = "a",
                  .bold = true,
                  .italic = true,
                  .underline = true,
                  .color = 0xC00000,
                  .fontSizeHalfPoints = 32},
                 {.text = "b"}}},
        RunsRow{"FormattingInsideIgnoredGroupsHasNoEffect",
                R"({\rtf1{\*\generator\b x}{\fonttbl\i y}a})",
                {{.text = "a"}}}),
    rowName<RunsRow>);

// ---- malformed and large input -------------------------------------------------

TEST(RtfReader, DeepNestingNeitherCrashesNorLosesTheText) {
    constexpr int depth = 100000;
    const std::string open(depth, '{');
    const std::string close(depth, '}');

    EXPECT_EQ(textOf("{\\rtf1 " + open + "deep"), "deep");

    const auto doc = readRtf("{\\rtf1 " + open + "\\b x" + close + "y}");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].runs,
              (std::vector<RtfRun>{{.text = "x", .bold = true}, {.text = "y"}}));
}

TEST(RtfReader, EveryNestingLevelGetsItsOwnFormattingBack) {
    // Each level sets its own size; closing them one by one must give each back.
    constexpr int depth = 20000;
    std::string rtf = "{\\rtf1 ";
    for (int level = 1; level <= depth; ++level)
        rtf += "{\\fs" + std::to_string(level) + " ";
    rtf += "x";
    for (int level = depth; level >= 1; --level)
        rtf += "}" + std::to_string(level % 10);
    rtf += "}";

    const auto doc = readRtf(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), static_cast<std::size_t>(depth) + 1);
    EXPECT_EQ(runs[0].fontSizeHalfPoints, depth);
    // After closing the group of level n, the text is in the size of level n - 1.
    for (int closed = depth; closed >= 1; --closed) {
        const auto& run = runs[static_cast<std::size_t>(depth - closed + 1)];
        ASSERT_EQ(run.fontSizeHalfPoints, closed > 1 ? closed - 1 : 24) << closed;
        ASSERT_EQ(run.text, std::to_string(closed % 10)) << closed;
    }
}

TEST(RtfReader, EveryTruncationGivesAPrefixOfTheText) {
    const std::string rtf =
        R"({\rtf1\ansi{\fonttbl{\f0 Courier New;}}{\colortbl;\red0\green0\blue255;})"
        R"({\*\generator Tallix;}{\info{\title Hidden}}\uc1\pard\qc\b Heard\b0\par)"
        R"(\cf1 caf\'e9\tab\u8364?12\line{\uc2\u1046 Zh}\~x\par)"
        "{\\pict\\bin5 }{\\}{ffd8}"
        R"(\qr\i end \{1\}\emdash\i0})"
        "}trailing";
    const std::string full = textOf(rtf);
    ASSERT_EQ(full, "Heard\r\ncaf\xE9\t\x80"
                    "12\r\n?\xA0x\r\nend {1}\x97");

    for (std::size_t n = 0; n <= rtf.size(); ++n) {
        const auto doc = readRtf(std::string_view(rtf).substr(0, n));
        const std::string text = doc.plainText();
        // A cut word or parameter may give a different last character or line break
        // ("\pard" cut to "\par", "\u8364" to "\u836"); nothing before it differs.
        std::string_view settled = text;
        if (settled.ends_with("\r\n"))
            settled.remove_suffix(2);
        else if (!settled.empty())
            settled.remove_suffix(1);
        EXPECT_TRUE(std::string_view(full).starts_with(settled)) << n << ": " << text;
        EXPECT_EQ(text.find("Courier"), std::string::npos) << n;
        EXPECT_EQ(text.find("Tallix"), std::string::npos) << n;
        EXPECT_EQ(text.find("Hidden"), std::string::npos) << n;
        EXPECT_EQ(text.find("ffd8"), std::string::npos) << n;
        ASSERT_FALSE(doc.paragraphs.empty()) << n;
        for (const auto& p : doc.paragraphs)
            for (const auto& run : p.runs)
                EXPECT_FALSE(run.text.empty()) << n;
    }
}

TEST(RtfReader, ReadsAWordPadStyleFile) {
    const std::string dir = TALLIX_TEST_DATA_DIR "/rtf/";
    const std::string rtf = readFile(dir + "station_notes.rtf");
    ASSERT_FALSE(rtf.empty());
    const auto doc = readRtf(rtf);
    EXPECT_EQ(doc.plainText(), readFile(dir + "station_notes.txt"));

    ASSERT_EQ(doc.paragraphs.size(), 8u);
    EXPECT_EQ(doc.paragraphs[0].alignment, Alignment::Center);
    EXPECT_EQ(
        doc.paragraphs[0].runs,
        (std::vector<RtfRun>{{.text = "Station notes", .bold = true, .fontSizeHalfPoints = 28}}));
    EXPECT_EQ(doc.paragraphs[1].alignment, Alignment::Left);
    EXPECT_EQ(doc.paragraphs[2].runs.at(0),
              (RtfRun{.text = "Link:", .bold = true, .color = 0xC00000, .fontSizeHalfPoints = 20}));
    EXPECT_EQ(doc.paragraphs[3].runs.at(0).color, 0x0000A0u);
    EXPECT_EQ(doc.paragraphs[5].alignment, Alignment::Right);
    EXPECT_TRUE(doc.paragraphs[5].runs.at(0).italic);
    EXPECT_EQ(doc.paragraphs[6].alignment, Alignment::Justify);
}

TEST(RtfReader, LargeFileIsReadInOnePass) {
    const std::string line =
        R"({\cf1\b Fm DL1ABC To DB0XYZ\b0} caf\'e9 \u8364? {\*\generator x}\tab 123\par)"
        "\r\n";
    std::string rtf = R"({\rtf1{\colortbl;\red255\green0\blue0;})";
    std::size_t lines = 0;
    while (rtf.size() < 5'000'000) {
        rtf += line;
        ++lines;
    }
    rtf += "}";

    const auto start = std::chrono::steady_clock::now();
    const auto doc = readRtf(rtf);
    const auto elapsed = std::chrono::steady_clock::now() - start;

    ASSERT_EQ(doc.paragraphs.size(), lines + 1);
    EXPECT_EQ(doc.paragraphs[lines / 2].text(), "Fm DL1ABC To DB0XYZ caf\xE9 \x80 \t123");
#ifdef NDEBUG
    // Unoptimised and sanitised builds are slower; the bound holds for the shipped one.
    EXPECT_LT(elapsed, std::chrono::seconds(1));
#else
    (void)elapsed;
#endif
}

} // namespace
} // namespace tallix::files
