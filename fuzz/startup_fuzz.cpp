// The start-up decision over an arbitrary argument text and kest.ini content.
// The input up to its first NUL byte is the argument text, the rest the
// settings file; without a NUL the settings file cannot be opened.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "app/startup.h"
#include "fuzz_check.h"

using namespace tallix;
using app::StartupDecision;

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Whether the argument text, trimmed and upper-cased, is `code` (an ASCII
// word: no upper-cased 8-bit letter can equal one of its letters).
bool isCode(std::string_view argument, std::string_view code) {
    const std::string_view a = trimBlanks(argument);
    if (a.size() != code.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char c = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 0x20) : a[i];
        if (c != code[i])
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::size_t nul = bytes.find('\0');
    const std::string_view argument = bytes.substr(0, nul);
    std::optional<std::string> settings;
    if (nul != std::string_view::npos)
        settings = std::string(bytes.substr(nul + 1));

    const StartupDecision d = app::decideStartup(argument, settings);

    // One of three outcomes, each with its own message.
    switch (d.outcome) {
    case StartupDecision::Outcome::Continue:
        TALLIX_FUZZ_CHECK(!d.message.has_value());
        break;
    case StartupDecision::Outcome::NotFound:
        TALLIX_FUZZ_CHECK(d.message == app::notFoundMessage());
        break;
    case StartupDecision::Outcome::AddOn:
        TALLIX_FUZZ_CHECK(d.message == app::addOnMessage());
        break;
    default:
        TALLIX_FUZZ_CHECK(false && "an outcome outside the three");
    }
    TALLIX_FUZZ_CHECK(d.callCaption == trimBlanks(d.ownCall));

    // The decision table, from the two inputs alone.
    const bool developer = isCode(argument, app::DeveloperCode);
    const bool launch = isCode(argument, app::LaunchCode);
    const bool kestFile = settings && settings->compare(0, 5, ";Kest") == 0;
    StartupDecision::Outcome expected = StartupDecision::Outcome::Continue;
    if (!developer && !kestFile)
        expected = StartupDecision::Outcome::NotFound;
    else if (!developer && !launch)
        expected = StartupDecision::Outcome::AddOn;
    TALLIX_FUZZ_CHECK(d.outcome == expected);
    TALLIX_FUZZ_CHECK(app::normaliseArgument(argument).size() == trimBlanks(argument).size());

    // The call sign is line 4 exactly as read, when it is read at all.
    if (d.outcome != StartupDecision::Outcome::NotFound) {
        const std::optional<std::string> line4 =
            settings ? app::settingsCallSign(*settings) : std::nullopt;
        TALLIX_FUZZ_CHECK(d.ownCall == line4.value_or(std::string()));
        if (line4)
            TALLIX_FUZZ_CHECK(settings->find(*line4) != std::string::npos);
    }
    return 0;
}
