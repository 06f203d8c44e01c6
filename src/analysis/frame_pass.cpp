#include "analysis/frame_pass.h"

#include <charconv>
#include <limits>

#include "analysis/intake.h"
#include "analysis/run.h"
#include "analysis/station_stats.h"
#include "text/basic_text.h"

namespace tallix::analysis {

bool isOwnHeader(std::string_view line, std::string_view ownCall) {
    // "Fm " + the call + " T", where that "T" begins the line's first "To ":
    // the fixed parts are compared first, so other lines are left at once.
    const std::size_t n = ownCall.size();
    if (line.size() < n + 7 || !fmAt(line, 0) || line[n + 3] != ' ' || line[n + 4] != 'T' ||
        line[n + 5] != 'o' || line[n + 6] != ' ' || line.compare(3, n, ownCall) != 0)
        return false;
    // The call itself may hold a "To " that comes first.
    return line.substr(0, n + 7).find("To ") == n + 4;
}

bool isStationHeader(std::string_view line) {
    return line.size() >= 2 && text::asciiLower(line[0]) == 'f' && text::asciiLower(line[1]) == 'm';
}

bool packetTime(std::string_view line, std::string_view& time) {
    // The first ">[": looked for by its "[", which headers hold far more
    // rarely than ">" (every "<UI ...>" has one).
    std::size_t p = std::string_view::npos;
    for (std::size_t q = line.find('[', 1); q != std::string_view::npos; q = line.find('[', q + 1)) {
        if (line[q - 1] == '>') {
            p = q - 1;
            break;
        }
    }
    if (p == std::string_view::npos)
        return false;
    time = line.substr(p + 2, 8);
    return true;
}

LineCaption::LineCaption(std::string_view prefix, std::string_view suffix)
    : prefix_(prefix), suffix_(suffix) {}

std::string_view LineCaption::forLine(std::int32_t line) {
    if (line_ >= 0 && line == line_ + 1 && line > 0) {
        // Count the number up in place; only a carry past the first digit
        // (9 to 10, 99 to 100) needs the text built again.
        std::size_t i = buffer_.size() - suffix_.size();
        while (i > prefix_.size() && buffer_[i - 1] == '9')
            buffer_[--i] = '0';
        if (i > prefix_.size()) {
            ++buffer_[i - 1];
            line_ = line;
            return buffer_;
        }
    }
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, line);
    buffer_.assign(prefix_);
    buffer_.append(digits, end.ptr);
    buffer_.append(suffix_);
    line_ = line;
    return buffer_;
}

LineCaption passCaption(float previewLineCount) {
    std::string suffix = "/";
    suffix += text::singleText(previewLineCount);
    return LineCaption("Processing Data Line ", suffix);
}

LineCaption preprocessCaption() {
    return LineCaption("Pre-processing Data Line ", "");
}

PassOutput analyseLines(const LineStore& store, std::string_view ownCall, float previewLineCount,
                        HeardStore& heard, RunControl& control, AnalysisResult& result,
                        std::string* processed, StationStats* stats) {
    PassOutput out;
    LineCaption caption = passCaption(previewLineCount);
    // Nobody watching: no captions, and the removal option and the cancel
    // probe, which only a window can change, are read once.
    const bool watched = control.showsProgress();
    const bool removalAtStart = control.removeTxFrames();
    bool inOwnFrame = false;
    bool ownFrameDigipeated = false;
    std::int32_t blankRun = 0;
    bool firstTimeSeen = false;

    auto write = [&](std::string_view line) {
        if (watched ? control.removeTxFrames() : removalAtStart) {
            if (processed) {
                processed->append(line);
                processed->append("\r\n");
            }
            out.processedSize += line.size() + 2;
            if (watched)
                control.processedLineAppended(line);
        }
    };

    const std::int32_t count = std::min(store.count(), MaxLines);
    for (std::int32_t i = 1; i <= count; ++i) {
        const std::string_view line = store.line(i);

        if (isStationHeader(line)) {
            if (heard.step(line))
                control.heardAdded(heard.listed().back());
            std::string_view time;
            if (packetTime(line, time)) {
                if (!firstTimeSeen) {
                    result.firstPacketTime.assign(time);
                    firstTimeSeen = true;
                } else {
                    result.lastPacketTime.assign(time);
                }
            }
            if (stats)
                stats->stationHeader(line, time);
        }

        if (isOwnHeader(line, ownCall)) {
            inOwnFrame = true;
            if (line.find('*') != std::string_view::npos) {
                // The own frame came back through the digipeater.
                if (result.ownDigipeated < std::numeric_limits<std::int16_t>::max())
                    ++result.ownDigipeated;
                ownFrameDigipeated = true;
                ++result.keptLines;
                write(line);
                ++result.receivedHeaders;
                if (stats) {
                    stats->digipeatedFrame();
                    stats->receivedHeader();
                }
            } else {
                ++result.transmittedFrames;
                if (stats)
                    stats->transmittedFrame();
            }
        } else {
            if (fmAt(line, 0)) {
                ++result.receivedHeaders;
                if (stats)
                    stats->receivedHeader();
            }
            if (!inOwnFrame || ownFrameDigipeated) {
                blankRun = line.empty() ? blankRun + 1 : 0;
                if (blankRun < 2) {
                    write(line);
                    ++result.keptLines;
                }
            }
            // Otherwise the line is the data of an own frame as transmitted:
            // it is dropped and leaves the blank run as it was.
            ownFrameDigipeated = false;
            inOwnFrame = false;
        }

        out.linesHandled = i;
        if (!watched)
            continue;
        control.passLine(i, caption.forLine(i));
        if (control.cancelRequested()) {
            out.cancelled = true;
            break;
        }
    }
    result.heardCount = heard.heardCount();
    result.heardListed = heard.heardListed();
    return out;
}

} // namespace tallix::analysis
