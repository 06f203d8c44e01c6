#include "actions/print_copy.h"

namespace tallix::actions {

base::MessageBox printQuestion() {
    return {"Do you want to print the processed file?", "Print", base::Buttons::YesNo,
            base::Icon::None};
}

base::MessageBox noPrinterMessage() {
    return {"No printer is installed, so the processed file was not printed.", "Print",
            base::Buttons::Ok, base::Icon::Exclamation};
}

base::MessageBox printFailedMessage() {
    return {"The printer could not print the processed file.", "Print", base::Buttons::Ok,
            base::Icon::Exclamation};
}

base::MessageBox processedCopiedMessage() {
    return {"Processed file copied to the Clipboard.", "Copy", base::Buttons::Ok,
            base::Icon::Information};
}

base::MessageBox emptyHeardListMessage() {
    return {"No heard list to copy to clipboard", "Empty MHeard List", base::Buttons::Ok,
            base::Icon::Exclamation};
}

} // namespace tallix::actions
