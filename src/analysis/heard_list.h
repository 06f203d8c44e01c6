#pragma once
// The heard list: the distinct stations whose headers occur in a log, in order
// of first appearance (List1) and sorted (List2), behind a store of 501 slots.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/call_key.h"

namespace tallix::analysis {

inline constexpr int HeardSlots = 501;
inline constexpr std::int16_t HeardCountLimit = 500;

// The call of a station header line: characters 4 to 14, cut before the first
// blank among them. Whatever the first three characters are, they are skipped.
std::string_view cutHeardCall(std::string_view line);

// A set of calls of up to eleven characters, each packed into two words, with
// open addressing: no allocation per lookup. Holds at most a few hundred calls.
class CallSet {
public:
    CallSet();
    bool contains(std::string_view call) const;
    bool contains(const CallKey& key) const { return find(key) != std::string_view::npos; }
    void insert(std::string_view call);
    void erase(std::string_view call);
    void clear();

private:
    using Key = CallKey;
    enum class State : std::uint8_t { Empty, Full, Erased };
    std::size_t find(const Key& key) const; // the key's entry, or npos
    void rebuild();

    static constexpr std::size_t Capacity = 2048;
    std::vector<Key> keys_;
    std::vector<State> states_;
    std::size_t erased_ = 0;
};

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
    CallSet searched_;
    std::int16_t heardCount_ = 0;
    std::vector<std::string> listed_;
};

// List2's order: ASCII letters compared without case, ties in byte order.
bool heardLess(std::string_view a, std::string_view b);
std::vector<std::string> sortedHeard(const std::vector<std::string>& listed);

// One line of every List1 entry, blanks trimmed, each followed by a comma.
std::string heardClipboardText(const std::vector<std::string>& listed);

} // namespace tallix::analysis
