#pragma once
// The heard list: the distinct stations whose headers occur in a log, in order
// of first appearance (List1) and sorted (List2), behind a store of 501 slots.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tallix::analysis {

inline constexpr int HeardSlots = 501;
inline constexpr std::int16_t HeardCountLimit = 500;

// The call of a station header line: characters 4 to 14, cut before the first
// blank among them. Whatever the first three characters are, they are skipped.
std::string_view cutHeardCall(std::string_view line);

class HeardStore {
public:
    HeardStore();
    // Empties every slot and the list; HeardCount back to 0.
    void reset();
    // The heard-list step for one station header line. Returns true when the
    // line's call was added to the list (it is then listed().back()).
    bool step(std::string_view line);

    std::int16_t heardCount() const { return heardCount_; }
    // Entries of List1, repeats included once the store is full.
    const std::vector<std::string>& listed() const { return listed_; }
    // The list's entry count as the window's 16-bit figure holds it.
    std::int16_t heardListed() const;

private:
    // Slots 0..HeardCount are searched. Calls in slots 0..499 are all different
    // and never empty (an empty call always finds the empty next slot), so a
    // set of the searched slots' calls answers the search exactly as a scan in
    // slot order would, without walking 501 slots per header line.
    std::array<std::string, HeardSlots> slots_;
    std::unordered_set<std::string> searched_;
    std::int16_t heardCount_ = 0;
    std::vector<std::string> listed_;
};

// List2's order: ASCII letters compared without case, ties in byte order.
bool heardLess(std::string_view a, std::string_view b);
std::vector<std::string> sortedHeard(const std::vector<std::string>& listed);

// One line of every List1 entry, blanks trimmed, each followed by a comma.
std::string heardClipboardText(const std::vector<std::string>& listed);

} // namespace tallix::analysis
