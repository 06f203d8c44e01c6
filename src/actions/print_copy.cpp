#include "actions/print_copy.h"

namespace tallix::actions {

app::MessageBox printQuestion() {
    return {"Do you want to print the processed file?", "Print", app::Buttons::YesNo,
            app::Icon::None};
}

app::MessageBox noPrinterMessage() {
    return {"No printer is installed, so the processed file was not printed.", "Print",
            app::Buttons::Ok, app::Icon::Exclamation};
}

app::MessageBox printFailedMessage() {
    return {"The printer could not print the processed file.", "Print", app::Buttons::Ok,
            app::Icon::Exclamation};
}

app::MessageBox processedCopiedMessage() {
    return {"Processed file copied to the Clipboard.", "Copy", app::Buttons::Ok,
            app::Icon::Information};
}

app::MessageBox emptyHeardListMessage() {
    return {"No heard list to copy to clipboard", "Empty MHeard List", app::Buttons::Ok,
            app::Icon::Exclamation};
}

} // namespace tallix::actions
