#include "analysis/heard_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/test_support.h"

namespace tallix::analysis {
namespace {

// ---- the call of a header line ----

struct CutRow {
    const char* name;
    std::string line;
    std::string call;
};

const CutRow cutRows[] = {
    {"plain header", "Fm AB1CD To CQ", "AB1CD"},
    {"lower case header", "fm ab1cd to cq", "ab1cd"},
    {"first three characters skipped whatever they are", "XYZAB1CD To CQ", "AB1CD"},
    {"eleven characters at most", "Fm ABCDEFGHIJKLMNOP To CQ", "ABCDEFGHIJK"},
    {"eleven characters then a space", "Fm ABCDEFGHIJK To CQ", "ABCDEFGHIJK"},
    {"ten characters then a space", "Fm ABCDEFGHIJ To CQ", "ABCDEFGHIJ"},
    {"no space within eleven characters", "Fm AB1CD>QRST,DIGI", "AB1CD>QRST,"},
    {"fm alone", "Fm", ""},
    {"fm and a space", "Fm ", ""},
    {"one character", "Fm X", "X"},
    {"space right after the header", "Fm  AB1CD To CQ", ""},
    {"a tab is not a space", "Fm AB\tCD To CQ", "AB\tCD"},
    {"eight bit bytes kept", "Fm \xc9T\xc9 To CQ", "\xc9T\xc9"},
};

class CutCallTest : public testing::TestWithParam<CutRow> {};

TEST_P(CutCallTest, CutsTheSendersCall) {
    EXPECT_EQ(cutHeardCall(GetParam().line), GetParam().call);
}

INSTANTIATE_TEST_SUITE_P(Rows, CutCallTest, testing::ValuesIn(cutRows), testsupport::RowName());

// ---- the store and the lists ----

struct StoreRow {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> listed;
    std::int16_t heardCount;
};

const StoreRow storeRows[] = {
    {"one call twice", {"Fm AB1CD To CQ", "Fm AB1CD To EF2GH"}, {"AB1CD"}, 1},
    {"calls differ by case", {"Fm AB1CD To CQ", "fm ab1cd To CQ"}, {"AB1CD", "ab1cd"}, 2},
    {"order of first appearance",
     {"Fm ZZ9ZZ To CQ", "Fm AB1CD To CQ", "Fm ZZ9ZZ To X"},
     {"ZZ9ZZ", "AB1CD"},
     2},
    {"fm alone adds nothing", {"Fm", "Fm ", "Fm  AB1CD"}, {}, 0},
    {"cut call differs from the full call",
     {"Fm AB1CD>QRST,DIGI", "Fm AB1CD To CQ", "Fm AB1CD>QRST,OTHER"},
     {"AB1CD>QRST,", "AB1CD"},
     2},
    {"long calls alike in eleven characters",
     {"Fm ABCDEFGHIJKL1", "Fm ABCDEFGHIJKL2"},
     {"ABCDEFGHIJK"},
     1},
    {"a null byte makes a different call",
     {"Fm AB", std::string("Fm AB\0", 6), std::string("Fm AB\0\0", 7)},
     {"AB", std::string("AB\0", 3), std::string("AB\0\0", 4)},
     3},
};

class StoreTest : public testing::TestWithParam<StoreRow> {};

TEST_P(StoreTest, ListsEachCallOnce) {
    const auto& row = GetParam();
    HeardStore store;
    store.step("Fm OLD1 To CQ"); // a reset forgets earlier runs
    store.reset();
    for (const auto& l : row.lines)
        store.step(l);
    EXPECT_EQ(store.listed(), row.listed);
    EXPECT_EQ(store.heardCount(), row.heardCount);
    EXPECT_EQ(store.heardListed(), static_cast<std::int16_t>(row.listed.size()));
}

INSTANTIATE_TEST_SUITE_P(Rows, StoreTest, testing::ValuesIn(storeRows), testsupport::RowName());

TEST(HeardStore, StepTellsWhetherTheCallWasAdded) {
    HeardStore store;
    EXPECT_TRUE(store.step("Fm AB1CD To CQ"));
    EXPECT_FALSE(store.step("Fm AB1CD To CQ"));
    EXPECT_FALSE(store.step("Fm"));
    EXPECT_TRUE(store.step("Fm EF2GH To CQ"));
    EXPECT_EQ(store.listed().back(), "EF2GH");
}

std::string numberedCall(int i) {
    return "C" + std::to_string(i);
}
std::string header(const std::string& call) {
    return "Fm " + call + " To CQ";
}

void fill500(HeardStore& store) {
    for (int i = 0; i < 500; ++i)
        store.step(header(numberedCall(i)));
    ASSERT_EQ(store.heardCount(), 500);
    ASSERT_EQ(store.heardListed(), 500);
}

TEST(HeardStore, FullStoreReusesTheLastSlot) {
    HeardStore store;
    fill500(store);
    // With 500 calls stored the next slot is still empty: an empty call finds it.
    store.step("Fm  To CQ");
    EXPECT_EQ(store.heardListed(), 500);

    store.step(header("NEW501"));
    EXPECT_EQ(store.heardCount(), 500);
    EXPECT_EQ(store.heardListed(), 501);
    EXPECT_EQ(store.listed().back(), "NEW501");

    store.step(header("NEW501")); // in slot 500
    store.step(header("C0"));     // in slot 0
    store.step(header("C499"));   // in slot 499
    EXPECT_EQ(store.heardListed(), 501);

    store.step(header("NEW502")); // replaces NEW501 in slot 500
    EXPECT_EQ(store.heardListed(), 502);
    EXPECT_EQ(store.listed().back(), "NEW502");
    store.step(header("NEW502"));
    EXPECT_EQ(store.heardListed(), 502);

    store.step(header("NEW501")); // listed a second time
    EXPECT_EQ(store.heardListed(), 503);
    EXPECT_EQ(store.listed().back(), "NEW501");
    EXPECT_EQ(store.heardCount(), 500);

    // Slot 500 now holds a call, so no slot is empty and an empty call is new.
    store.step("Fm");
    EXPECT_EQ(store.heardListed(), 504);
    EXPECT_EQ(store.listed().back(), "");
    store.step("Fm  AB1CD"); // the empty call is in slot 500 now
    EXPECT_EQ(store.heardListed(), 504);
    store.step(header("NEW501"));
    EXPECT_EQ(store.heardListed(), 505);
    EXPECT_EQ(store.heardCount(), 500);

    store.reset();
    EXPECT_EQ(store.heardCount(), 0);
    EXPECT_EQ(store.heardListed(), 0);
    EXPECT_TRUE(store.listed().empty());
    store.step(header("NEW501"));
    store.step("Fm");
    EXPECT_EQ(store.listed(), std::vector<std::string>{"NEW501"});
}

// The store as the heard-list step describes it: 501 slots, a linear scan of
// slots 0..HeardCount, a newcomer written to slot HeardCount.
struct SlotModel {
    std::vector<std::string> slots = std::vector<std::string>(501);
    int count = 0;
    std::vector<std::string> listed;

    void step(const std::string& line) {
        std::string c = line.size() > 3 ? line.substr(3, 11) : std::string();
        const auto space = c.find(' ');
        if (space != std::string::npos)
            c.resize(space);
        for (int i = 0; i <= count; ++i)
            if (slots[static_cast<std::size_t>(i)] == c)
                return;
        slots[static_cast<std::size_t>(count)] = c;
        if (count < 500)
            ++count;
        listed.push_back(c);
    }
};

TEST(HeardStore, MatchesALinearScanOverManyLines) {
    std::mt19937 gen(20261206);
    std::vector<std::string> pool;
    pool.push_back("");
    for (int i = 0; i < 700; ++i) {
        std::string call = "K" + std::to_string(i * 7919 % 100000);
        switch (i % 7) {
        case 0:
            call += " X";
            break; // cut at the space
        case 1:
            call += "-" + std::to_string(i % 16);
            break;
        case 2:
            call += ">QRSTUVWXYZ,DIGI";
            break; // cut to eleven
        case 3:
            call = " " + call;
            break; // empty call
        case 4:
            call.push_back('\0');
            break;
        case 5:
            call = std::string(1, static_cast<char>(0xC0 + i % 32)) + call;
            break;
        default:
            break;
        }
        pool.push_back(call);
    }
    const std::vector<std::string> prefixes = {"Fm ", "fm ", "FM ", "xyz"};
    const std::vector<std::string> tails = {" To CQ Via DIGI >[10:00:00]", "", " ", " To X"};

    for (int round = 0; round < 3; ++round) {
        HeardStore store;
        SlotModel model;
        // A first run fills the store past its limit; later rounds reuse it.
        const int lines = 6000 + 2000 * round;
        for (int i = 0; i < lines; ++i) {
            const auto& call = pool[gen() % pool.size()];
            std::string line =
                prefixes[gen() % prefixes.size()] + call + tails[gen() % tails.size()];
            if (gen() % 50 == 0)
                line = line.substr(0, gen() % 5); // "Fm", "F", ...
            model.step(line);
            store.step(line);
            ASSERT_EQ(store.heardCount(), model.count) << "after line " << i << ": " << line;
        }
        EXPECT_EQ(store.listed(), model.listed);
        EXPECT_EQ(store.heardListed(), static_cast<std::int16_t>(model.listed.size()));
        store.reset();
    }
}

// ---- the sorted list and the clipboard line ----

struct SortRow {
    const char* name;
    std::vector<std::string> listed;
    std::vector<std::string> sorted;
};

const SortRow sortRows[] = {
    {"two calls", {"ZZ9ZZ", "AB1CD"}, {"AB1CD", "ZZ9ZZ"}},
    {"case ignored", {"b", "A", "c"}, {"A", "b", "c"}},
    {"case ties in byte order", {"ab1cd", "AB1CD", "Ab1cd"}, {"AB1CD", "Ab1cd", "ab1cd"}},
    {"digits before letters", {"K1", "1K", "AB"}, {"1K", "AB", "K1"}},
    {"shorter first", {"ABC", "AB", "abc"}, {"AB", "ABC", "abc"}},
    {"repeats kept", {"B", "A", "B"}, {"A", "B", "B"}},
    {"empty entry first", {"A", ""}, {"", "A"}},
};

class SortTest : public testing::TestWithParam<SortRow> {};

TEST_P(SortTest, SortsWithoutCase) {
    const auto& row = GetParam();
    EXPECT_EQ(sortedHeard(row.listed), row.sorted);
}

INSTANTIATE_TEST_SUITE_P(Rows, SortTest, testing::ValuesIn(sortRows), testsupport::RowName());

TEST(HeardClipboard, EachTrimmedEntryFollowedByAComma) {
    EXPECT_EQ(heardClipboardText({"AB1CD", "EF2GH"}), "AB1CD,EF2GH,");
    EXPECT_EQ(heardClipboardText({}), "");
    EXPECT_EQ(heardClipboardText({"AB1CD", ""}), "AB1CD,,");
    EXPECT_EQ(heardClipboardText({" AB1CD  "}), "AB1CD,");
    EXPECT_EQ(heardClipboardText({"AB1CD>QRST,"}), "AB1CD>QRST,,");
}

} // namespace
} // namespace tallix::analysis
