#include "app/startup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "row_name.h"
#include "temp_dir.h"

namespace tallix::app {
namespace {

using Outcome = StartupDecision::Outcome;

// Settings whose line 1 and line 4 are given.
std::string ini(const std::string& line1, const std::string& line4 = "AB1CD") {
    return line1 + "\r\nline 2\r\nline 3\r\n" + line4 + "\r\nline 5\r\n";
}

struct StartupRow : testsupport::NamedRow {
    std::string argument;
    std::optional<std::string> settings; // none: kest.ini cannot be opened
    Outcome outcome;
    std::string ownCall = "AB1CD", callCaption = "AB1CD";
};

const StartupRow startupRows[] = {
    {"launch code and a second word", "4KTRMN extra", ini(";Kest"), Outcome::AddOn},
    {"line 1 in other case", "4KTRMN", ini(";kest"), Outcome::NotFound},
    {"no settings file", "4KTRMN", std::nullopt, Outcome::NotFound},
    // The settings file is tested before the launch code.
    {"no code and foreign settings", "SOMETHING", ini("[kest]"), Outcome::NotFound},
    {"call kept with its spaces and case", "4KTRMN", ini(";Kest", " ab1cd  "), Outcome::Continue,
     " ab1cd  ", "ab1cd"},
    {"developer code with foreign settings", "HSTK_RW4BZ_LMQ", ini(";kest", " XY9Z"),
     Outcome::Continue, " XY9Z", "XY9Z"},
};

class StartupTest : public testing::TestWithParam<StartupRow> {};

TEST_P(StartupTest, Decides) {
    const auto& row = GetParam();
    const StartupDecision d = decideStartup(row.argument, row.settings);
    EXPECT_EQ(d.outcome, row.outcome);
    if (row.outcome == Outcome::Continue) {
        EXPECT_EQ(d.ownCall, row.ownCall);
        EXPECT_EQ(d.callCaption, row.callCaption);
        EXPECT_FALSE(d.message.has_value());
    } else {
        EXPECT_EQ(d.message, row.outcome == Outcome::NotFound ? notFoundMessage() : addOnMessage());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StartupTest, testing::ValuesIn(startupRows), testsupport::RowName());

TEST(StartupMessages, NotFoundAndAddOn) {
    EXPECT_EQ(notFoundMessage(),
              (base::MessageBox{
                  "Can't find Kest in this directory. Please copy this program and all it's "
                  "files into the folder of Kest.",
                  "Kest not found", base::Buttons::Ok, base::Icon::Exclamation}));
    const base::MessageBox addOn = addOnMessage();
    EXPECT_EQ(addOn.text, "This is an Add-On for Kest v3.x and can only run from within Kest.\r"
                          "Please run Kest and select the 'Kest Modules'-menu.");
    EXPECT_EQ(addOn.title.rfind("Tallix", 0), 0U) << addOn.title;
    EXPECT_EQ(addOn.icon, base::Icon::Exclamation);
}

// Found whatever its letter case; the exact name first.
TEST(Startup, FindsAndReadsTheSettingsFile) {
    testsupport::TempDir dir;
    const std::string bytes(";Kest\0\xff\r\n", 9);
    dir.write("kest.ini.bak", bytes);
    EXPECT_EQ(findSettingsFile(dir.dir().string()), std::nullopt);
    dir.write("Kest.Ini", bytes);
    EXPECT_EQ(findSettingsFile(dir.dir().string()), dir.path("Kest.Ini"));
    dir.write("kest.ini", "exact");
    EXPECT_EQ(findSettingsFile(dir.dir().string()), dir.path("kest.ini"));
}

} // namespace
} // namespace tallix::app
