#include "row_name.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace tallix::testsupport {
namespace {

// Row names reach test lists, which are read a line at a time, and failure
// messages; whatever bytes a name holds, it prints on one line of ASCII.
struct NameRow : NamedRow {
    std::string bytes;
    std::string printed;
};

const NameRow nameRows[] = {
    {"punctuation kept", "8-bit own call, \"calls\" & texts", "8-bit own call, \"calls\" & texts"},
    {"line breaks escaped", "a\r\nb", "a\\x0D\\x0Ab"},
    {"NUL, tab and DEL escaped", std::string("a\0\t\x7F", 4), "a\\x00\\x09\\x7F"},
    {"8-bit bytes escaped", "caf\xE9 \xFF", "caf\\xE9 \\xFF"},
    {"backslash doubled", "C:\\KEST\\x41", "C:\\\\KEST\\\\x41"},
};

class RowNameTest : public testing::TestWithParam<NameRow> {};

TEST_P(RowNameTest, PrintsOneLineOfAscii) {
    std::ostringstream out;
    printRowName(GetParam().bytes, &out);
    EXPECT_EQ(out.str(), GetParam().printed);
    EXPECT_EQ(testing::PrintToString(GetParam()), GetParam().name); // a row prints as its name
}

INSTANTIATE_TEST_SUITE_P(Rows, RowNameTest, testing::ValuesIn(nameRows), RowName());

} // namespace
} // namespace tallix::testsupport
