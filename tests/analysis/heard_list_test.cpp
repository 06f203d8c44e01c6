#include "analysis/heard_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text_lines.h"

namespace tallix::analysis {
namespace {

using testsupport::bars;

// The heard-list step as written: 501 slots, a scan of slots 0..HeardCount, a
// newcomer written to slot HeardCount. The store's fast lookup must agree.
struct SlotModel {
    std::vector<std::string> slots = std::vector<std::string>(501);
    int count = 0;
    std::vector<std::string> listed;

    void step(const std::string& line) {
        std::string c = line.size() > 3 ? line.substr(3, 11) : std::string();
        c = c.substr(0, c.find(' '));
        for (int i = 0; i <= count; ++i)
            if (slots[static_cast<std::size_t>(i)] == c)
                return;
        slots[static_cast<std::size_t>(count)] = c;
        if (count < 500)
            ++count;
        listed.push_back(c);
    }
};

// Lines of every shape: cut at a space or at eleven characters, tabs and bytes
// kept, empty calls, first three characters of any kind.
TEST(HeardStore, MatchesALinearScanOverManyLines) {
    std::mt19937 gen(20261206);
    std::vector<std::string> pool = {""};
    for (int i = 0; i < 700; ++i) {
        const std::string call = "K" + std::to_string(i * 7919 % 100000);
        const std::string shapes[] = {call + " X",
                                      call + "\t-" + std::to_string(i % 16),
                                      call + ">QRSTUVWXYZ,DIGI",
                                      " " + call,
                                      call + '\0',
                                      std::string(1, static_cast<char>(0xC0 + i % 32)) + call,
                                      call};
        pool.push_back(shapes[i % 7]);
    }
    const std::vector<std::string> prefixes = {"Fm ", "fm ", "FM ", "xyz"};
    const std::vector<std::string> tails = {" To CQ Via DIGI >[10:00:00]", "", " ", " To X"};
    HeardStore store;
    for (int round = 0; round < 3; ++round) {
        // A reused store must behave as a fresh one.
        store.reset();
        SlotModel model;
        for (int i = 0; i < 6000 + 2000 * round; ++i) {
            std::string line = prefixes[gen() % 4] + pool[gen() % pool.size()] + tails[gen() % 4];
            if (gen() % 50 == 0)
                line.resize(gen() % 5); // "Fm", "F", ...
            model.step(line);
            store.step(line);
            ASSERT_EQ(store.heardCount(), model.count) << "after line " << i << ": " << line;
        }
        EXPECT_EQ(store.listed(), model.listed);
    }
}

// Letters compared without case, digits before letters, a shorter text before a
// longer one that begins with it; same letters in other case in byte order.
TEST(HeardSort, LettersWithoutCaseThenBytes) {
    EXPECT_EQ(sortedHeard(bars("b|ab1cd|AB1CD|K1|1K|AB1|Ab1cd||B|b")),
              bars("|1K|AB1|AB1CD|Ab1cd|ab1cd|B|b|b|K1"));
}

TEST(HeardClipboard, EachTrimmedEntryFollowedByAComma) {
    EXPECT_EQ(heardClipboardText({" AB1CD  ", "", "AB1CD>QRST,"}), "AB1CD,,AB1CD>QRST,,");
    EXPECT_EQ(heardClipboardText({}), "");
}

} // namespace
} // namespace tallix::analysis
