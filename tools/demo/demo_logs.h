#pragma once
// Made-up Kest logs and a demo Kest folder, deterministic from a seed. Every
// call sign and text here is invented; no real station's log is used.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tallix::demo {

inline constexpr const char* DemoOwnCall = "PD9TLX";

struct LogOptions {
    std::uint32_t seed = 1;
    int lines = 1000;  // exact number of lines in the log
    int stations = 40; // distinct station calls heard
    std::string ownCall = DemoOwnCall;
    bool reportHeader = true;   // first line "Report Kest ..." (else a Monitor-style log)
    bool colonFm = false;       // headers written as "1:Fm ..." (Monitor style)
    bool finalLineBreak = true; // CR LF after the last line
    bool crossMidnight = false; // start at 23:30 or so; a long enough log runs past midnight
};

// A log of exactly `lines` lines, CR LF line ends: received frames, own frames
// as transmitted and as digipeated ("*"), ">[HH:MM:SS]" stamps, data lines and
// runs of blank lines.
std::string generateLog(const LogOptions& options);

// A minimal rich-text report holding a few frames.
std::string generateRtfReport(std::uint32_t seed, const std::string& ownCall);

// Writes a demo Kest folder: kest.ini (";Kest" first, the own call on line 4),
// "Reports", "Logs", "Monitor" with made-up logs, a rich-text report, a log of
// exactly 65000 lines and one of 65001. Returns the files written.
std::vector<std::filesystem::path> writeDemoKestFolder(const std::filesystem::path& folder,
                                                       std::uint32_t seed);

} // namespace tallix::demo
