#include "entry/progress.h"

namespace lumaveil {

ProgressHook progress_hook = nullptr;

}  // namespace lumaveil
