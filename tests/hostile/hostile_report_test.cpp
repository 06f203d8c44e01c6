// tallix-report as an attacker or an unlucky user would run it. Each case has
// its exit status and message, and the files it names stay as they were.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "file_traps.h"
#include "row_name.h"
#include "run_process.h"
#include "temp_dir.h"

namespace tallix {
namespace {

namespace fs = std::filesystem;
using testsupport::Finished;
using testsupport::readBytes;
using testsupport::runReport;
using testsupport::TempDir;

const std::string Log = "Kest log\r\nFm PA3XYZ To CQ >[10:00:00]\r\ngone\r\n"
                        "Fm ON4AB To CQ >[10:01:00]\r\nhello\r\n";

// What a case prepares: the arguments after --call PA3XYZ, the files that
// must stay as they were, what to do while the tool runs, and anything more
// to check afterwards.
struct Prepared {
    std::vector<std::string> args{};
    std::vector<std::string> unchanged{};
    std::function<void(pid_t)> whileRunning{};
    std::function<void(const Finished&)> check{};
    std::string skip{}; // why the case cannot be set up here
};

struct HostileCase : testsupport::NamedRow {
    std::function<Prepared(const TempDir&)> prepare;
    int status;
    std::vector<std::string> errHas{};
};

// No byte that steers a terminal reaches it raw.
void noRawControls(const Finished& f) {
    for (const std::string* text : {&f.out, &f.err})
        for (const char c : *text)
            ASSERT_FALSE(static_cast<unsigned char>(c) < 0x20 && c != '\n')
                << "raw control byte " << int(c) << " in\n"
                << *text;
}

Prepared onFile(const std::string& path) {
    return {{path}};
}

const HostileCase Cases[] = {
    // Not files: refused before a byte is read, and said what they are.
    {"zero device",
     [](auto&) { return onFile("/dev/zero"); },
     1,
     {"Error nr: 52", "/dev/zero is a character device, not a regular file"}},
    {"folder",
     [](const TempDir& d) {
         fs::create_directory(d.dir() / "f.log");
         return onFile(d.path("f.log"));
     },
     1,
     {"Error nr: 75", "is a folder"}},

    // Outputs that would destroy: compared by the file, not the spelling.
    {"processed text over its input through a link",
     [](const TempDir& d) {
         const std::string in = d.write("same.txt", Log);
         fs::create_symlink("same.txt", d.dir() / "link.txt");
         return Prepared{{"--processed-out", d.path("link.txt"), in}, {in}};
     },
     2,
     {"is the input FILE"}},
    // A link another user planted in a shared sticky folder, pointing at a
    // file of ours, is not followed.
    {"planted link as processed text",
     [](const TempDir& d) {
         fs::create_directory(d.dir() / "shared");
         const std::string victim = d.write("victim", "root only"), in = d.write("in.log", Log);
         Prepared p{{"--processed-out", d.path("shared/out.txt"), in}, {victim, in}};
         if (!testsupport::plantLink(d.dir() / "shared", "out.txt", victim, testsupport::OtherUser))
             p.skip = "only root can give a link to another user";
         return p;
     },
     1,
     {"cannot write the processed text to", "error nr 70"}},

    // Bytes that would steer the terminal.
    {"line end in a path of an error message",
     [](const TempDir& d) {
         Prepared p = onFile(d.path("a\nb.log"));
         p.check = noRawControls;
         return p;
     },
     1,
     {"Error nr: 53\nAn error has occured when opening the file ", "a\\x0ab.log"}},
    // A log cut short while it is read (as log rotation does) gives a defined
    // result, never a signal. The cut comes as soon as the tool has the file
    // open or mapped.
    {"log truncated while it is read",
     [](const TempDir& d) {
         const std::string path = d.path("big.log");
         {
             std::ofstream out(path, std::ios::binary);
             const std::string line =
                 "Fm ON4AB To CQ >[10:00:00] " + std::string(1000, 'x') + "\r\n";
             for (int i = 0; i < 60000; ++i)
                 out << line;
         }
         Prepared p = onFile(path);
         p.whileRunning = [path](pid_t pid) {
             const std::string proc = "/proc/" + std::to_string(pid);
             for (;;) {
                 bool seen = readBytes(proc + "/maps").find(path) != std::string::npos;
                 std::error_code ec;
                 for (fs::directory_iterator it(proc + "/fd", ec), end; !ec && it != end && !seen;
                      it.increment(ec))
                     seen = fs::read_symlink(it->path(), ec).string() == path;
                 const std::string stat = readBytes(proc + "/stat");
                 const std::size_t close = stat.rfind(')');
                 const bool ended = close == std::string::npos || stat.substr(close + 2, 1) == "Z";
                 if (seen || ended)
                     break;
             }
             ::truncate(path.c_str(), 1000);
         };
         p.check = [](const Finished& f) {
             EXPECT_TRUE(f.status == 0 || (f.status == 1 && f.errHas("Error nr:"))) << f.err;
         };
         return p;
     },
     -1,
     {}},
};

class HostileReportTest : public testing::TestWithParam<HostileCase> {};

TEST_P(HostileReportTest, ExitStatusMessageAndInputsUnchanged) {
    const HostileCase& c = GetParam();
    TempDir dir;
    Prepared p = c.prepare(dir);
    if (!p.skip.empty())
        GTEST_SKIP() << p.skip;
    std::map<std::string, std::string> before;
    for (const auto& f : p.unchanged)
        before[f] = readBytes(f);

    p.args.insert(p.args.begin(), {"--call", "PA3XYZ"});
    const Finished f = runReport(dir, p.args, p.whileRunning);

    ASSERT_FALSE(f.hung) << "did not end by itself";
    ASSERT_EQ(f.signal, 0) << "ended by signal " << f.signal << "\n" << f.err;
    if (c.status >= 0) {
        EXPECT_EQ(f.status, c.status) << f.err;
    }
    for (const auto& s : c.errHas)
        EXPECT_TRUE(f.errHas(s)) << "no \"" << s << "\" in\n" << f.err;
    for (const auto& [file, bytes] : before)
        EXPECT_EQ(readBytes(file), bytes) << file << " changed";
    if (p.check)
        p.check(f);
}

INSTANTIATE_TEST_SUITE_P(AtTheFileBoundary, HostileReportTest, testing::ValuesIn(Cases),
                         testsupport::RowName());

} // namespace
} // namespace tallix
