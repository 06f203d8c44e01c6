#include "analysis/heard_list.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "text/basic_text.h"

namespace tallix::analysis {

std::string_view cutHeardCall(std::string_view line) {
    std::string_view call = text::mid(line, 4, 11);
    const std::size_t space = call.find(' ');
    if (space != std::string_view::npos)
        call = call.substr(0, space);
    return call;
}

CallSet::CallSet() : keys_(Capacity), states_(Capacity, State::Empty) {}

std::size_t CallSet::find(const Key& key) const {
    for (std::size_t i = key.slot(Capacity - 1), probes = 0; probes < Capacity;
         i = (i + 1) & (Capacity - 1), ++probes) {
        if (states_[i] == State::Empty)
            return std::string_view::npos;
        if (states_[i] == State::Full && keys_[i] == key)
            return i;
    }
    return std::string_view::npos;
}

bool CallSet::contains(std::string_view call) const {
    return find(Key::of(call)) != std::string_view::npos;
}

void CallSet::insert(std::string_view call) {
    const Key key = Key::of(call);
    if (find(key) != std::string_view::npos)
        return;
    std::size_t i = key.slot(Capacity - 1);
    while (states_[i] == State::Full)
        i = (i + 1) & (Capacity - 1);
    if (states_[i] == State::Erased)
        --erased_;
    keys_[i] = key;
    states_[i] = State::Full;
}

void CallSet::erase(std::string_view call) {
    const std::size_t i = find(Key::of(call));
    if (i == std::string_view::npos)
        return;
    states_[i] = State::Erased;
    // A full store replaces its last slot over and over; clear the marks
    // before they make lookups long.
    if (++erased_ > Capacity / 4)
        rebuild();
}

void CallSet::rebuild() {
    std::vector<Key> live;
    for (std::size_t i = 0; i < Capacity; ++i)
        if (states_[i] == State::Full)
            live.push_back(keys_[i]);
    std::fill(states_.begin(), states_.end(), State::Empty);
    erased_ = 0;
    for (const Key& key : live) {
        std::size_t i = key.slot(Capacity - 1);
        while (states_[i] == State::Full)
            i = (i + 1) & (Capacity - 1);
        keys_[i] = key;
        states_[i] = State::Full;
    }
}

void CallSet::clear() {
    std::fill(states_.begin(), states_.end(), State::Empty);
    erased_ = 0;
}

HeardStore::HeardStore() = default;

void HeardStore::reset() {
    for (auto& slot : slots_)
        slot.clear();
    searched_.clear();
    heardCount_ = 0;
    listed_.clear();
}

bool HeardStore::step(std::string_view line) {
    const std::string_view call = cutHeardCall(line);
    auto& next = slots_[static_cast<std::size_t>(heardCount_)];
    // Slots 0..HeardCount-1 never hold an empty call, so an empty call is found
    // exactly when the next slot is empty.
    const bool found =
        call.empty() ? next.empty() : searched_.contains(CallKey::inHeader(line, call));
    if (found)
        return false;
    if (!next.empty())
        searched_.erase(next); // the full store's last slot takes the newcomer
    next.assign(call);
    if (!call.empty())
        searched_.insert(next);
    if (heardCount_ < HeardCountLimit)
        ++heardCount_;
    listed_.emplace_back(call);
    return true;
}

std::int16_t HeardStore::heardListed() const {
    constexpr std::size_t Max = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::min(listed_.size(), Max));
}

bool heardLess(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(text::asciiLower(a[i]));
        const auto cb = static_cast<unsigned char>(text::asciiLower(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b; // same letters in another case: byte order decides
}

std::vector<std::string> sortedHeard(const std::vector<std::string>& listed) {
    std::vector<const std::string*> order;
    order.reserve(listed.size());
    for (const auto& entry : listed)
        order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(),
                     [](const std::string* a, const std::string* b) { return heardLess(*a, *b); });
    std::vector<std::string> sorted;
    sorted.reserve(order.size());
    for (const std::string* entry : order)
        sorted.push_back(*entry);
    return sorted;
}

std::string heardClipboardText(const std::vector<std::string>& listed) {
    std::string out;
    for (const auto& entry : listed) {
        out.append(text::trimSpaces(entry));
        out.push_back(',');
    }
    return out;
}

} // namespace tallix::analysis
