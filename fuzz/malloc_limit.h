// The replays' counterpart of libFuzzer's -malloc_limit_mb: an allocation larger
// than the limit stops the program with a report, so a decoder that believes a
// declared size fails its replay instead of passing on a machine with memory.
#pragma once

#include <cstddef>

// 0 (the start) means no limit. `input` names what is being replayed, for the report.
void SetMallocLimit(std::size_t bytes);
void SetMallocLimitInput(const char* input);

// The largest single allocation since the last reset, for tests that bound what a
// decoder allocates.
void ResetLargestAllocation();
std::size_t LargestAllocation();
