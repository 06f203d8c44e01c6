#pragma once
// The boxes of Print, Copy and the heard list's copy.

#include "base/message_box.h"

namespace tallix::actions {

app::MessageBox printQuestion();
// When there is no printer to print on, or the printing failed.
app::MessageBox noPrinterMessage();
app::MessageBox printFailedMessage();
app::MessageBox processedCopiedMessage();
app::MessageBox emptyHeardListMessage();

} // namespace tallix::actions
