#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "analysis/test_support.h"

namespace tallix::app {
namespace {

using Outcome = StartupDecision::Outcome;

const std::string validIni = ";Kest v3.2\r\nPort=1\r\nSpeed=1200\r\nAB1CD\r\nMore=1\r\n";

std::string iniWith(const std::string& line1, const std::string& line4) {
    return line1 + "\r\nline 2\r\nline 3\r\n" + line4 + "\r\nline 5\r\n";
}

struct StartupRow {
    const char* name;
    std::string argument;
    std::optional<std::string> settings;
    Outcome outcome;
    std::string ownCall;
    std::string callCaption;
};

const StartupRow startupRows[] = {
    {"launch code", "4KTRMN", validIni, Outcome::Continue, "AB1CD", "AB1CD"},
    {"launch code lower case with spaces", "   4ktrmn  ", validIni, Outcome::Continue, "AB1CD",
     "AB1CD"},
    {"developer code", "HSTK_RW4BZ_LMQ", validIni, Outcome::Continue, "AB1CD", "AB1CD"},
    {"developer code in any case with spaces", "  hStK_rw4Bz_lmq ", validIni, Outcome::Continue,
     "AB1CD", "AB1CD"},
    {"launch code and a second word", "4KTRMN extra", validIni, Outcome::AddOn, "", ""},
    {"launch code inside a longer word", "4KTRMNX", validIni, Outcome::AddOn, "", ""},
    {"no argument", "", validIni, Outcome::AddOn, "", ""},
    {"tab is not trimmed", "\t4KTRMN", validIni, Outcome::AddOn, "", ""},
    {"settings file with lower case k", "4KTRMN", iniWith(";kest", "AB1CD"), Outcome::NotFound, "",
     ""},
    {"settings file line 1 with more after kest", "4KTRMN", iniWith(";Kest and more", "AB1CD"),
     Outcome::Continue, "AB1CD", "AB1CD"},
    {"settings file line 1 after a space", "4KTRMN", iniWith(" ;Kest", "AB1CD"), Outcome::NotFound,
     "", ""},
    {"settings file line 1 cut short", "4KTRMN", iniWith(";Kes", "AB1CD"), Outcome::NotFound, "",
     ""},
    {"empty settings file", "4KTRMN", std::string(), Outcome::NotFound, "", ""},
    {"no settings file", "4KTRMN", std::nullopt, Outcome::NotFound, "", ""},
    {"call with spaces and lower case", "4KTRMN", iniWith(";Kest", "  ab1cd  "), Outcome::Continue,
     "  ab1cd  ", "ab1cd"},
    {"three line settings file", "4KTRMN", std::string(";Kest\r\nline 2\r\nline 3\r\n"),
     Outcome::Continue, "", ""},
    {"fourth line without line end", "4KTRMN", std::string(";Kest\r\n2\r\n3\r\nAB1CD"),
     Outcome::Continue, "AB1CD", "AB1CD"},
    {"empty fourth line", "4KTRMN", std::string(";Kest\r\n2\r\n3\r\n\r\n5\r\n"), Outcome::Continue,
     "", ""},
    {"eight bit call kept", "4KTRMN", iniWith(";Kest", "\xe9t\xe9"), Outcome::Continue, "\xe9t\xe9",
     "\xe9t\xe9"},
    {"developer code without settings", "HSTK_RW4BZ_LMQ", std::nullopt, Outcome::Continue, "", ""},
    {"developer code with a foreign settings file", "HSTK_RW4BZ_LMQ", iniWith(";kest", " XY9Z"),
     Outcome::Continue, " XY9Z", "XY9Z"},
    {"no code and no settings gives not found", "", std::nullopt, Outcome::NotFound, "", ""},
    {"no code and bad settings gives not found", "SOMETHING", iniWith("[kest]", "AB1CD"),
     Outcome::NotFound, "", ""},
};

class StartupTest : public testing::TestWithParam<StartupRow> {};

TEST_P(StartupTest, Decides) {
    const auto& row = GetParam();
    const StartupDecision d = decideStartup(row.argument, row.settings);
    EXPECT_EQ(d.outcome, row.outcome);
    switch (row.outcome) {
    case Outcome::Continue:
        EXPECT_EQ(d.ownCall, row.ownCall);
        EXPECT_EQ(d.callCaption, row.callCaption);
        EXPECT_FALSE(d.message.has_value());
        break;
    case Outcome::NotFound:
        ASSERT_TRUE(d.message.has_value());
        EXPECT_EQ(*d.message, notFoundMessage());
        break;
    case Outcome::AddOn:
        ASSERT_TRUE(d.message.has_value());
        EXPECT_EQ(*d.message, addOnMessage());
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StartupTest, testing::ValuesIn(startupRows), testsupport::RowName());

TEST(StartupMessages, NotFound) {
    const MessageBox box = notFoundMessage();
    EXPECT_EQ(box.text, "Can't find Kest in this directory. Please copy this program and all it's "
                        "files into the folder of Kest.");
    EXPECT_EQ(box.title, "Kest not found");
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.icon, Icon::Exclamation);
}

TEST(StartupMessages, AddOn) {
    const MessageBox box = addOnMessage();
    EXPECT_EQ(box.text, "This is an Add-On for Kest v3.x and can only run from within Kest.\r"
                        "Please run Kest and select the 'Kest Modules'-menu.");
    EXPECT_EQ(box.title.rfind("Tallix", 0), 0U) << box.title;
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.icon, Icon::Exclamation);
}

TEST(Startup, NormalisesTheArgument) {
    EXPECT_EQ(normaliseArgument("  4ktrmn "), "4KTRMN");
    EXPECT_EQ(normaliseArgument("a b"), "A B");
    EXPECT_EQ(normaliseArgument("\t4ktrmn"), "\t4KTRMN");
    EXPECT_EQ(normaliseArgument(""), "");
}

TEST(Startup, CallSignIsTheFourthLine) {
    EXPECT_EQ(settingsCallSign(";Kest\r\n2\r\n3\r\n ab1cd \r\n5"), " ab1cd ");
    EXPECT_EQ(settingsCallSign(";Kest\r\n2\r\n3\r\n"), std::nullopt);
    EXPECT_EQ(settingsCallSign(";Kest\r\n2\r\n3\r\n\r\n"), "");
    EXPECT_EQ(settingsCallSign(""), std::nullopt);
}

// ---- finding and reading the settings file ----

struct FindRow {
    const char* name;
    std::vector<std::string> files;
    std::optional<std::string> found;
};

const FindRow findRows[] = {
    {"exact name", {"kest.ini"}, "kest.ini"},
    {"upper case", {"KEST.INI"}, "KEST.INI"},
    {"mixed case", {"other.ini", "Kest.Ini"}, "Kest.Ini"},
    {"exact name first", {"KEST.INI", "kest.ini"}, "kest.ini"},
    {"none", {"kest.ini.bak", "kest.in", "other.txt"}, std::nullopt},
};

class FindTest : public testing::TestWithParam<FindRow> {};

TEST_P(FindTest, FindsTheSettingsFileInAnyCase) {
    const auto& row = GetParam();
    testsupport::TempDir dir;
    for (const auto& f : row.files)
        dir.write(f, ";Kest " + f + "\r\n");
    const auto found = findSettingsFile(dir.dir().string());
    if (!row.found) {
        EXPECT_EQ(found, std::nullopt);
        return;
    }
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(std::filesystem::equivalent(*found, dir.dir() / *row.found)) << *found;
    EXPECT_EQ(readWholeFile(*found), ";Kest " + *row.found + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, FindTest, testing::ValuesIn(findRows), testsupport::RowName());

TEST(Startup, ReadWholeFileKeepsBytes) {
    testsupport::TempDir dir;
    const std::string bytes("\xff\r\n\x00;Kest\r", 9);
    EXPECT_EQ(readWholeFile(dir.write("a.ini", bytes)), bytes);
    EXPECT_EQ(readWholeFile(dir.path("missing.ini")), std::nullopt);
}

} // namespace
} // namespace tallix::app
