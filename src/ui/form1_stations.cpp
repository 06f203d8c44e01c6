// The station figures in the main window: each heard-list entry's tip, and the
// "Heard stations" window that a double click on an entry opens.

#include <QListWidget>

#include <string_view>
#include <unordered_map>

#include "ui/form1.h"
#include "ui/heard_stations_window.h"
#include "ui/qt_text.h"
#include "ui/widget_helpers.h"

namespace tallix::ui {

void Form1::showStations(std::vector<analysis::StationRecord> stations,
                         analysis::ActivitySeries activity, analysis::PathTable paths,
                         const std::vector<std::string>& heard) {
    stations_ = std::move(stations);
    activity_ = std::move(activity);
    paths_ = std::move(paths);

    // An entry's figures are final only now, at the end of the run. Each call
    // is looked up once, however often a full store listed it.
    std::unordered_map<std::string_view, const analysis::StationRecord*> byCall;
    byCall.reserve(stations_.size());
    for (const auto& s : stations_)
        byCall.emplace(s.call, &s);
    // List1 holds the run's calls in the order heard. Its entries keep the
    // list's tip and add the station's figures on a line of their own; List2,
    // which has no tip, gives its entries none.
    const bool inOrder = static_cast<std::size_t>(heardList_->count()) == heard.size();
    for (int i = 0; i < heardList_->count(); ++i) {
        QListWidgetItem* item = heardList_->item(i);
        const std::string call =
            inOrder ? heard[static_cast<std::size_t>(i)] : toBytes(item->text());
        const auto found = byCall.find(call);
        item->setToolTip(found == byCall.end()
                             ? QString()
                             : tipWithLine(heardList_->toolTip(),
                                           fromBytes(analysis::stationSummary(*found->second))));
    }

    if (HeardStationsWindow* open = heardStations_.data(); open && open->isVisible())
        open->setRun(stations_, activity_, paths_.records(), currentFile_);
}

void Form1::onHeardListDoubleClicked() {
    HeardStationsWindow* window = heardStations_.data();
    if (!window) {
        window = new HeardStationsWindow(prompts_, this);
        heardStations_ = window;
    }
    if (!window->isVisible()) {
        window->setRun(stations_, activity_, paths_.records(), currentFile_);
        window->sortByLastHeard();
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace tallix::ui
