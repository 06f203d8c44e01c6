#pragma once
// The boxes of Print, Copy and the heard list's copy.

#include "base/message_box.h"

namespace tallix::actions {

base::MessageBox printQuestion();
// When there is no printer to print on, or the printing failed.
base::MessageBox noPrinterMessage();
base::MessageBox printFailedMessage();
base::MessageBox processedCopiedMessage();
base::MessageBox emptyHeardListMessage();

} // namespace tallix::actions
