#pragma once
// Names of the rows of table-driven tests: as the test's name, and as the
// value printed for the row in test lists and failure messages. A row type
// derives from NamedRow and so prints as its name.

#include <gtest/gtest.h>

#include <cctype>
#include <concepts>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

namespace tallix::testsupport {

// Name generator for INSTANTIATE_TEST_SUITE_P over rows with a `name`: letters
// and digits kept, the rest "_".
struct RowName {
    template <class Row> std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
        std::string out = row.param.name;
        for (char& c : out)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return out;
    }
};

// Prints a row's name on one line for a row's PrintTo: printable ASCII as it
// is, a backslash doubled, every other byte as \xHH.
inline void printRowName(std::string_view name, std::ostream* os) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            *os << "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            *os << c;
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            *os << hex;
        }
    }
}

// The first field of a table's row: the row's name.
struct NamedRow {
    const char* name;
};

// Found for every row derived from NamedRow, and preferred to GoogleTest's
// own printer, which would print the row's bytes.
template <class Row>
requires std::derived_from<Row, NamedRow>
void PrintTo(const Row& row, std::ostream* os) {
    printRowName(row.name, os);
}

} // namespace tallix::testsupport
