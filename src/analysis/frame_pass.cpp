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
    for (std::size_t q = line.find('[', 1); q != std::string_view::npos;
         q = line.find('[', q + 1)) {
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

FramePass::FramePass(std::string_view ownCall, float previewLineCount, HeardStore& heard,
                     RunControl& control, AnalysisResult& result, std::string* processed,
                     StationStats* stats)
    : ownCall_(ownCall), heard_(heard), control_(control), result_(result), processed_(processed),
      stats_(stats), caption_(passCaption(previewLineCount)), watched_(control.showsProgress()),
      removalAtStart_(control.removeTxFrames()) {}

void FramePass::write(std::string_view line) {
    if (watched_ ? control_.removeTxFrames() : removalAtStart_) {
        if (processed_) {
            processed_->append(line);
            processed_->append("\r\n");
        }
        out_.processedSize += line.size() + 2;
        if (watched_)
            control_.processedLineAppended(line);
    }
}

bool FramePass::step(std::int32_t i, std::string_view line) {
    AnalysisResult& result = result_;
    if (isStationHeader(line)) {
        if (heard_.step(line))
            control_.heardAdded(heard_.listed().back());
        std::string_view time;
        if (packetTime(line, time)) {
            if (!firstTimeSeen_) {
                result.firstPacketTime.assign(time);
                firstTimeSeen_ = true;
            } else {
                result.lastPacketTime.assign(time);
            }
        }
        if (stats_)
            stats_->stationHeader(line, time);
    }

    if (isOwnHeader(line, ownCall_)) {
        inOwnFrame_ = true;
        if (line.find('*') != std::string_view::npos) {
            // The own frame came back through the digipeater.
            if (result.ownDigipeated < std::numeric_limits<std::int16_t>::max())
                ++result.ownDigipeated;
            ownFrameDigipeated_ = true;
            ++result.keptLines;
            write(line);
            ++result.receivedHeaders;
            if (stats_) {
                stats_->digipeatedFrame();
                stats_->receivedHeader();
            }
        } else {
            ++result.transmittedFrames;
            if (stats_)
                stats_->transmittedFrame();
        }
    } else {
        if (fmAt(line, 0)) {
            ++result.receivedHeaders;
            if (stats_)
                stats_->receivedHeader();
        }
        if (!inOwnFrame_ || ownFrameDigipeated_) {
            blankRun_ = line.empty() ? blankRun_ + 1 : 0;
            if (blankRun_ < 2) {
                write(line);
                ++result.keptLines;
            }
        }
        // Otherwise the line is the data of an own frame as transmitted:
        // it is dropped and leaves the blank run as it was.
        ownFrameDigipeated_ = false;
        inOwnFrame_ = false;
    }

    out_.linesHandled = i;
    if (!watched_)
        return true;
    control_.passLine(i, caption_.forLine(i));
    if (control_.cancelRequested()) {
        out_.cancelled = true;
        return false;
    }
    return true;
}

PassOutput FramePass::finish() {
    result_.heardCount = heard_.heardCount();
    result_.heardListed = heard_.heardListed();
    return out_;
}

PassOutput analyseLines(const LineStore& store, std::string_view ownCall, float previewLineCount,
                        HeardStore& heard, RunControl& control, AnalysisResult& result,
                        std::string* processed, StationStats* stats) {
    FramePass pass(ownCall, previewLineCount, heard, control, result, processed, stats);
    const std::int32_t count = std::min(store.count(), MaxLines);
    for (std::int32_t i = 1; i <= count && pass.step(i, store.line(i)); ++i) {
    }
    return pass.finish();
}

} // namespace tallix::analysis
