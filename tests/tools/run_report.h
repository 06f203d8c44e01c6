#pragma once
// Runs tallix-report in a scratch folder and collects its exit status, output
// and error output.

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace tallix::testsupport {

struct Ran {
    int status;
    std::string out, err;
    bool outHas(const std::string& s) const { return out.find(s) != std::string::npos; }
    bool errHas(const std::string& s) const { return err.find(s) != std::string::npos; }
};

// No argument here holds a single quote.
inline Ran runReport(const TempDir& dir, const std::vector<std::string>& args) {
    std::string cmd = std::string("'") + TALLIX_REPORT_EXE + "'";
    for (const auto& a : args)
        cmd += " '" + a + "'";
    const int raw = std::system(
        (cmd + " </dev/null >'" + dir.path("out") + "' 2>'" + dir.path("err") + "'").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(dir.path("out")),
            readBytes(dir.path("err"))};
}

} // namespace tallix::testsupport
