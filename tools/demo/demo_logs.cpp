#include "demo/demo_logs.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace tallix::demo {
namespace {

// splitmix64: the same numbers on every compiler and library, which the
// standard distributions do not promise.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 <= result < n; n > 0. The modulo bias is far below anything a demo shows.
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    int between(int lo, int hi) {
        return lo + static_cast<int>(below(static_cast<std::size_t>(hi - lo + 1)));
    }
    bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
    template <std::size_t N> std::string_view pick(const std::array<std::string_view, N>& items) {
        return items[below(N)];
    }

private:
    std::uint64_t state_;
};

constexpr std::string_view Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Letters, a digit, letters, sometimes an SSID: at most nine characters, so a
// header always has a blank within the eleven characters after "Fm ".
std::string inventCall(Random& rng) {
    std::string call;
    const int prefix = rng.chance(70) ? 2 : 1;
    for (int i = 0; i < prefix; ++i)
        call += Letters[rng.below(Letters.size())];
    call += static_cast<char>('0' + rng.below(10));
    const int suffix = rng.chance(15) ? 1 : rng.between(2, 3);
    for (int i = 0; i < suffix; ++i)
        call += Letters[rng.below(Letters.size())];
    if (rng.chance(25))
        call += "-" + std::to_string(rng.between(1, 15));
    return call;
}

std::string twoDigits(int n) {
    return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

std::string clockText(int seconds) {
    return twoDigits(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" +
           twoDigits(seconds % 60);
}

// Texts carry Windows-1252 bytes as Kest writes them: e9 e-acute, b0 degree,
// f6 o-umlaut, fc u-umlaut, f8 o-slash, e7 c-cedilla, e8 e-grave, 80 euro.
constexpr std::array<std::string_view, 10> Towns = {
    "Li\xE8ge", "Malm\xF6", "Z\xFCrich", "Br\xF8ndby", "Utrecht",
    "Gent",     "Aarhus",   "Tilburg",   "N\xEEmes",   "Kleve"};
constexpr std::array<std::string_view, 10> Names = {
    "Jan", "Erik", "Ana", "Pierre", "Jos\xE9", "Ren\xE9", "Bj\xF6rn", "Fran\xE7ois", "Kees", "Mia"};
constexpr std::array<std::string_view, 8> Chat = {
    "Signals are fine here, the relay is doing well today.",
    "Thanks for the message about the antenna, I will try it this weekend.",
    "The new TNC works, only the squelch needs some tuning.",
    "Are you coming to the club evening on Thursday?",
    "Weather here is grey, 8\xB0 and drizzle. Typical.",
    "I put the files on the mailbox, look for DEMO.ZIP.",
    "Caf\xE9 at the field day was great, see you next year.",
    "The second-hand radio cost me 40 \x80, not bad at all."};
constexpr std::array<std::string_view, 5> Closing = {
    "Bye for now, 73!", "OK, QRT for dinner. 73", "Thanks for the QSO, 73 and hope to hear you.",
    "Must go, 73 et \xE0 bient\xF4t.", "Cheers, 73."};
constexpr std::array<std::string_view, 4> BulletinTopics = {
    "Antenna for sale", "Club meeting moved", "Relay maintenance Saturday", "New node in town"};

class LogWriter {
public:
    explicit LogWriter(const LogOptions& options)
        : options_(options), rng_(options.seed), target_(std::max(options.lines, 0)) {
        out_.reserve(static_cast<std::size_t>(target_) * 48);
        std::set<std::string> taken = {options.ownCall};
        const int wanted = std::max(options.stations, 0);
        while (static_cast<int>(pool_.size()) < wanted) {
            std::string call = inventCall(rng_);
            if (taken.insert(call).second)
                pool_.push_back(std::move(call));
        }
        // The first stations of a larger pool are digipeaters: they relay and
        // send their own ID beacons, nothing else. A small log relays through
        // one that is never heard itself.
        if (pool_.size() >= 6)
            digis_.assign(pool_.begin(), pool_.begin() + 3);
        else
            digis_.push_back("RELAY1");
        firstTalker_ = pool_.size() >= 6 ? 3 : 0;
        introduced_ = firstTalker_;

        const int lines = std::max(target_, 1);

        if (options.crossMidnight) {
            clock_ = 23 * 3600 + 30 * 60 + rng_.between(0, 600);
            maxStep_ = std::clamp(2 * 7200 / lines, 1, 20);
        } else {
            clock_ = 9 * 3600 + rng_.between(0, 1800);
            const int budget = 86399 - clock_;
            // A log has fewer frames than lines and each moves the clock on by
            // budget / lines seconds on average, so the stamps stay within the day.
            maxStep_ = std::clamp(2 * budget / lines, 1, 20);
        }
    }

    std::string run() {
        emit(firstLine());
        for (int scene = 0; !full(); ++scene) {
            if (scene == 0) {
                // The station starts with its beacon, so even a short log shows
                // the own frame both as transmitted and as digipeated.
                ownBeacon(true);
                continue;
            }
            const std::size_t kind = rng_.below(100);
            if (pool_.empty())
                kind < 80 ? ownBeacon(false) : blankRun();
            else if (kind < 4 && firstTalker_ > 0)
                digiBeacon();
            else if (kind < 30)
                stationBeacon();
            else if (kind < 55)
                stationQso();
            else if (kind < 67)
                ownBeacon(false);
            else if (kind < 80)
                ownQso();
            else if (kind < 90)
                bulletinList();
            else
                blankRun();
        }
        if (!options_.finalLineBreak && out_.size() >= 2)
            out_.resize(out_.size() - 2);
        return std::move(out_);
    }

private:
    struct Frame {
        std::string from;
        std::string to;
        std::string via;     // the digipeater path, "" when heard directly
        std::string control; // e.g. "UI", "I C P R1 S2", "SABM P"
        bool info = false;   // carries pid and Len, and the data lines
        std::vector<std::string> data;
    };

    bool full() const { return written_ >= target_; }

    void emit(std::string line) {
        if (full())
            return;
        // Without a final line break an empty last line would not be a line.
        if (written_ + 1 == target_ && !options_.finalLineBreak && line.empty())
            line = std::string(rng_.pick(Closing));
        out_ += line;
        out_ += "\r\n";
        ++written_;
    }

    std::string date() {
        const int day = 1 + static_cast<int>(options_.seed % 28);
        const int month = 1 + static_cast<int>(options_.seed / 28 % 12);
        return twoDigits(day) + "-" + twoDigits(month) + "-2024";
    }

    std::string firstLine() {
        const std::string start = date() + " " + clockText(clock_);
        if (options_.reportHeader)
            return "Report Kest 3.2 of " + options_.ownCall + ", started " + start;
        return "Kest 3.2 monitor of " + options_.ownCall + ", port 1, started " + start;
    }

    std::string stamp() {
        clock_ += rng_.between(0, maxStep_);
        if (options_.crossMidnight)
            clock_ %= 86400;
        else
            clock_ = std::min(clock_, 86399);
        return clockText(clock_);
    }

    std::string portPrefix() {
        if (!options_.colonFm)
            return {};
        return rng_.chance(80) ? "1:" : "2:";
    }

    void frame(const Frame& f) {
        std::string header = portPrefix() + "Fm " + f.from + " To " + f.to;
        if (!f.via.empty())
            header += " Via " + f.via;
        header += " <" + f.control;
        if (f.info) {
            std::size_t length = 0;
            for (const auto& line : f.data)
                length += line.size() + 1;
            header += " pid=F0 Len=" + std::to_string(length);
        }
        header += ">";
        // The clock runs on for every frame, stamped or not.
        const std::string time = stamp();
        if (!rng_.chance(6))
            header += " >[" + time + "]";
        emit(std::move(header));
        if (f.info)
            for (const auto& line : f.data)
                emit(line);
    }

    // A station from the pool: sometimes one not heard yet, else one of those
    // heard so far, the early ones more often (some stations talk a lot).
    const std::string& station() {
        if (introduced_ < pool_.size() &&
            (introduced_ == firstTalker_ || newStationDue() || rng_.chance(5)))
            return pool_[introduced_++];
        const std::size_t heard = introduced_ - firstTalker_;
        const std::size_t a = rng_.below(heard);
        const std::size_t b = rng_.below(heard);
        return pool_[firstTalker_ + std::min(a, b)];
    }

    // A station already heard, for a mention in a text; it adds no new call.
    const std::string& heardStation() {
        const std::size_t heard = introduced_ - firstTalker_;
        return heard == 0 ? options_.ownCall : pool_[firstTalker_ + rng_.below(heard)];
    }

    // New stations keep turning up until the whole pool has been heard by
    // the middle of the log.
    bool newStationDue() const {
        const std::size_t talkers = pool_.size() - firstTalker_;
        const std::size_t heard = introduced_ - firstTalker_;
        return static_cast<std::size_t>(written_) * 2 * talkers >=
               heard * static_cast<std::size_t>(target_);
    }

    const std::string& otherStation(const std::string& not1) {
        for (int tries = 0; tries < 8; ++tries) {
            const std::string& s = station();
            if (s != not1)
                return s;
        }
        return not1;
    }

    const std::string& digi() { return digis_[rng_.below(digis_.size())]; }

    // A path as heard here: "" (direct), "D1", "D1*" (heard via the digipeater),
    // or two hops.
    std::string heardPath() {
        const std::size_t kind = rng_.below(10);
        if (kind < 4)
            return {};
        if (kind < 6)
            return digi();
        if (kind < 9)
            return digi() + "*";
        const std::string first = digi();
        std::string second = digi();
        if (second == first)
            return first + "*";
        return first + "*," + second;
    }

    std::string maybeTrailingBlanks(std::string line) {
        if (rng_.chance(4))
            line += "  ";
        return line;
    }

    std::string beaconText(const std::string& call, std::string_view dest) {
        const std::string town(rng_.pick(Towns));
        if (dest == "WX")
            return "WX " + town + ": temp " + std::to_string(rng_.between(-5, 28)) + "." +
                   std::to_string(rng_.between(0, 9)) + "\xB0" + "C, wind " +
                   std::to_string(rng_.between(0, 35) * 10) + "\xB0 " +
                   std::to_string(rng_.between(0, 14)) + " m/s, baro " +
                   std::to_string(rng_.between(985, 1035)) + " hPa";
        if (dest == "APRS")
            return "=" + std::to_string(rng_.between(4800, 5599)) + "." +
                   twoDigits(rng_.between(0, 99)) + "N/00" +
                   std::to_string(rng_.between(300, 999)) + "." + twoDigits(rng_.between(0, 99)) +
                   "E- " + town + " packet station";
        if (dest == "CQ")
            return "CQ CQ de " + call + ", anyone on frequency?";
        if (dest == "MAIL") {
            const std::string& first = heardStation();
            const std::string& second = heardStation();
            return "Mail for: " + first + (second == first ? "" : " " + second);
        }
        std::string id = call + "/B beacon, QTH " + town;
        if (rng_.chance(30))
            id += ", locator JO" + twoDigits(rng_.between(10, 39)) + "XY";
        return id;
    }

    void digiBeacon() {
        const std::string& call = digis_[rng_.below(digis_.size())];
        frame({call,
               "ID",
               {},
               "UI",
               true,
               {call + "/R digipeater, QTH " + std::string(rng_.pick(Towns)) + ", 438.100 MHz"}});
    }

    void stationBeacon() {
        static constexpr std::array<std::string_view, 6> Dests = {"BEACON", "ID",   "CQ",
                                                                  "WX",     "APRS", "MAIL"};
        const std::string call = station();
        const std::string_view dest = rng_.pick(Dests);
        Frame f{call, std::string(dest), heardPath(), "UI", true, {}};
        if (rng_.chance(8))
            f.data.emplace_back(); // an empty beacon
        else
            f.data.push_back(maybeTrailingBlanks(beaconText(call, dest)));
        if (rng_.chance(10))
            f.data.push_back(beaconText(call, "BEACON"));
        frame(f);
    }

    std::vector<std::string> chatLines(const std::string& from, const std::string& to) {
        std::vector<std::string> lines;
        switch (rng_.below(5)) {
        case 0:
            lines.push_back("Hello " + std::string(rng_.pick(Names)) + ", good to hear you.");
            break;
        case 1:
            lines.push_back(std::string(rng_.pick(Chat)));
            lines.push_back(to + " de " + from + " k");
            break;
        case 2:
            lines.push_back(std::string(rng_.pick(Chat)));
            break;
        case 3:
            lines.push_back("(" + std::to_string(rng_.between(1, 9)) + ") " + from + " BBS >");
            break;
        default:
            lines.push_back(std::string(rng_.pick(Closing)));
            lines.push_back("73 de " + from);
            break;
        }
        lines.back() = maybeTrailingBlanks(lines.back());
        return lines;
    }

    // Two other stations connect, talk and disconnect.
    void stationQso() {
        const std::string a = station();
        const std::string b = otherStation(a);
        const std::string path = heardPath();
        int ns = 0, nr = 0;
        frame({a, b, path, "SABM P", false, {}});
        frame({b, a, path, "UA F", false, {}});
        const int turns = rng_.between(1, 3);
        for (int t = 0; t < turns && !full(); ++t) {
            frame({a, b, path, "I C P R" + std::to_string(nr) + " S" + std::to_string(ns), true,
                   chatLines(a, b)});
            ns = (ns + 1) % 8;
            frame({b, a, path, "RR R" + std::to_string(ns), false, {}});
            if (rng_.chance(70)) {
                frame({b, a, path, "I C R" + std::to_string(ns) + " S" + std::to_string(nr), true,
                       chatLines(b, a)});
                nr = (nr + 1) % 8;
            }
        }
        frame({a, b, path, "DISC P", false, {}});
        frame({b, a, path, rng_.chance(85) ? "UA F" : "DM F", false, {}});
    }

    // One own frame as transmitted, and often once more as the digipeater
    // repeated it (marked "*"), which is what the efficiency figure counts.
    void ownFrame(const std::string& to, const std::string& digiCall, const std::string& control,
                  bool info, const std::vector<std::string>& data, bool forceRepeat) {
        const std::string& own = options_.ownCall;
        frame({own, to, digiCall, control, info, data});
        if (digiCall.empty())
            return;
        if (forceRepeat || rng_.chance(75))
            frame({own, to, digiCall + "*", control, info, data});
        else if (rng_.chance(50))
            frame({own, to, digiCall, control, info, data}); // sent again, not heard back
    }

    void ownBeacon(bool forceRepeat) {
        static constexpr std::array<std::string_view, 3> Dests = {"BEACON", "ID", "CQ"};
        const std::string_view dest = rng_.pick(Dests);
        const std::string via = digi();
        std::vector<std::string> data;
        if (dest == "CQ")
            data.push_back("CQ CQ de " + options_.ownCall + ", QRV via " + via);
        else
            data.push_back(options_.ownCall + "/B Kest 3.2, QTH " + std::string(rng_.pick(Towns)));
        ownFrame(std::string(dest), via, "UI", true, data, forceRepeat);
    }

    // The operator connects to a station, through the digipeater or directly.
    void ownQso() {
        const std::string peer = station();
        const std::string& own = options_.ownCall;
        const std::string via = rng_.chance(80) ? digi() : std::string();
        const std::string peerPath = via.empty() ? via : via + "*";
        int ns = 0, nr = 0;
        ownFrame(peer, via, "SABM P", false, {}, false);
        frame({peer, own, peerPath, "UA F", false, {}});
        const int turns = rng_.between(1, 3);
        for (int t = 0; t < turns && !full(); ++t) {
            if (rng_.chance(60)) {
                frame({peer, own, peerPath,
                       "I C R" + std::to_string(nr) + " S" + std::to_string(ns), true,
                       chatLines(peer, own)});
                ns = (ns + 1) % 8;
                ownFrame(peer, via, "RR R" + std::to_string(ns), false, {}, false);
            }
            ownFrame(peer, via, "I C P R" + std::to_string(ns) + " S" + std::to_string(nr), true,
                     chatLines(own, peer), false);
            nr = (nr + 1) % 8;
            frame({peer, own, peerPath, "RR R" + std::to_string(nr), false, {}});
        }
        ownFrame(peer, via, "DISC P", false, {}, false);
        frame({peer, own, peerPath, "UA F", false, {}});
    }

    // A mailbox answers a list command with several data lines.
    void bulletinList() {
        const std::string bbs = station();
        const std::string reader = heardStation();
        std::vector<std::string> data;
        data.push_back("Msg#  Date    From     Subject");
        const int count = rng_.between(1, 3);
        for (int i = 0; i < count; ++i)
            data.push_back(std::to_string(rng_.between(1000, 9999)) + "  " +
                           twoDigits(rng_.between(1, 28)) + "-" + twoDigits(rng_.between(1, 12)) +
                           "   " + heardStation() + "   " + std::string(rng_.pick(BulletinTopics)));
        data.push_back("(" + std::to_string(rng_.between(1, 9)) + ") " + bbs + " BBS >");
        frame({bbs, reader, heardPath(), "I C R0 S0", true, data});
    }

    void blankRun() {
        const int blanks = rng_.between(2, 4);
        for (int i = 0; i < blanks; ++i)
            emit({});
    }

    const LogOptions& options_;
    Random rng_;
    int target_;
    int written_ = 0;
    std::string out_;
    std::vector<std::string> pool_;
    std::vector<std::string> digis_;
    std::size_t firstTalker_ = 0; // pool_ below this index are the digipeaters
    std::size_t introduced_ = 0;  // pool_ below this index have been heard
    int clock_ = 0;               // seconds since midnight
    int maxStep_ = 1;             // the clock advances 0..maxStep_ seconds per frame
};

// Plain text into a rich-text paragraph: the control characters escaped, bytes
// above 127 as \'hh.
std::string rtfEscape(std::string_view text) {
    static constexpr std::string_view Hex = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (byte >= 0x80) {
            out += "\\'";
            out += Hex[byte >> 4];
            out += Hex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::uint32_t fileSeed(std::uint32_t seed, std::uint32_t index) {
    Random rng((static_cast<std::uint64_t>(seed) << 32) | index);
    return static_cast<std::uint32_t>(rng.next() >> 32);
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

std::string generateLog(const LogOptions& options) {
    return LogWriter(options).run();
}

std::string generateRtfReport(std::uint32_t seed, const std::string& ownCall) {
    LogOptions options;
    options.seed = seed;
    options.lines = 14;
    options.stations = 6;
    options.ownCall = ownCall;
    std::string text = generateLog(options);
    text += "Tnx for the report, caf\xE9 is ready. 73 de " + ownCall + "\r\n";

    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0"
                      "{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}"
                      "{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
                      "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue160;"
                      "\\red150\\green0\\blue0;}\r\n"
                      "\\viewkind4\\uc1\\pard\\f0\\fs20\r\n";
    bool first = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        const std::string_view line = std::string_view(text).substr(pos, end - pos);
        pos = end + 2;
        if (first) {
            rtf += "\\cf3\\f1\\b " + rtfEscape(line) + "\\b0\\f0\\par\r\n";
            first = false;
        } else if (line.substr(0, 3) == "Fm ") {
            rtf += "\\cf2 " + rtfEscape(line) + "\\par\r\n";
        } else {
            rtf += "\\cf1 " + rtfEscape(line) + "\\par\r\n";
        }
    }
    rtf += "}\r\n";
    return rtf;
}

std::vector<std::filesystem::path> writeDemoKestFolder(const std::filesystem::path& folder,
                                                       std::uint32_t seed) {
    namespace fs = std::filesystem;
    fs::create_directories(folder / "Reports");
    fs::create_directories(folder / "Logs");
    fs::create_directories(folder / "Monitor");

    std::vector<fs::path> written;
    const fs::path ini = folder / "kest.ini";
    writeBytes(ini, std::string(";Kest 3.2 settings, written by Kest - do not edit\r\n"
                                "ComPort=3,9600,KISS\r\n"
                                "BeaconEvery=20\r\n") +
                        DemoOwnCall +
                        "\r\n"
                        "Locator=JO22NC\r\n"
                        "MonitorPort=1\r\n");
    written.push_back(ini);

    struct LogFile {
        const char* name;
        int lines;
        int stations;
        bool reportHeader;
        bool colonFm;
        bool finalLineBreak;
    };
    static constexpr std::array<LogFile, 10> Logs = {{
        {"kest-today.log", 800, 30, false, false, true},
        {"Reports/qso-report.txt", 300, 12, true, false, true},
        {"Reports/beacons.txt", 60, 8, true, false, false},
        {"Logs/daily.log", 3000, 45, true, false, true},
        {"Logs/evening.txt", 1500, 25, false, false, false},
        {"Logs/many-stations.log", 15000, 620, true, false, true},
        {"Logs/big65000.log", 65000, 700, true, false, true},
        {"Logs/toolong65001.log", 65001, 60, true, false, true},
        {"Monitor/port1.log", 2000, 35, false, true, true},
        {"Monitor/short.txt", 25, 5, false, false, true},
    }};
    std::uint32_t index = 0;
    for (const LogFile& log : Logs) {
        LogOptions options;
        options.seed = fileSeed(seed, index++);
        options.lines = log.lines;
        options.stations = log.stations;
        options.reportHeader = log.reportHeader;
        options.colonFm = log.colonFm;
        options.finalLineBreak = log.finalLineBreak;
        const fs::path path = folder / fs::path(log.name);
        writeBytes(path, generateLog(options));
        written.push_back(path);
    }

    const fs::path rtf = folder / "Reports" / "pass.rtf";
    writeBytes(rtf, generateRtfReport(fileSeed(seed, index++), DemoOwnCall));
    written.push_back(rtf);

    // A text that is no Kest log, to see the question the program asks.
    const fs::path notes = folder / "Reports" / "notes.txt";
    writeBytes(notes, "Shopping list for the field day\r\n"
                      "- coax, 20 m\r\n"
                      "- spare fuses\r\n"
                      "- coffee\r\n");
    written.push_back(notes);
    return written;
}

} // namespace tallix::demo
