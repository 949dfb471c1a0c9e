// The pxtool commands. Each returns the exit code: 0 ok, 1 when the library fails
// (its lastError goes to standard error). Usage errors throw UsageError.
#pragma once

#include "options.h"

namespace pxtool {

int RunInfo(const Options& options);
int RunConvert(const Options& options);
int RunPpm(const Options& options);
int RunGifAnim(const Options& options);

}  // namespace pxtool
