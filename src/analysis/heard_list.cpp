#include "analysis/heard_list.h"

#include <algorithm>
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

HeardStore::HeardStore() {
    searched_.reserve(1024);
}

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
    const bool found = call.empty() ? next.empty() : searched_.contains(std::string(call));
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
    std::vector<std::string> sorted = listed;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const std::string& a, const std::string& b) { return heardLess(a, b); });
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
