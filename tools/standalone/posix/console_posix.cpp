#include "tools/standalone/console.h"

namespace selvarin {

void AttachToConsole() {}  // stdout and stderr are the terminal's already

}  // namespace selvarin
