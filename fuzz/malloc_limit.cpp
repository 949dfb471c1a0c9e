#include "malloc_limit.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define OSTREL_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define OSTREL_SANITIZER_ALLOCATOR 1
#endif
#endif

namespace {

std::atomic<std::size_t> g_limit{0};
std::atomic<const char*> g_input{nullptr};
std::atomic<std::size_t> g_largest{0};

void Say(const char* text) {
    if (write(STDERR_FILENO, text, std::strlen(text)) < 0) return;
}

// Only what cannot allocate: the allocator is the thing being watched.
[[noreturn]] void Exceeded(std::size_t size) {
    char number[32];
    int n = 0;
    char digits[32];
    for (std::size_t v = size; n == 0 || v != 0; v /= 10)
        digits[n++] = static_cast<char>('0' + v % 10);
    for (int i = 0; i < n; ++i)
        number[i] = digits[n - 1 - i];
    number[n] = '\0';
    Say("==malloc limit: an allocation of ");
    Say(number);
    Say(" bytes exceeds -malloc_limit_mb");
    if (const char* input = g_input.load()) {
        Say(" while replaying ");
        Say(input);
    }
    Say("\n");
    std::abort();
}

void Check(std::size_t size) {
    std::size_t largest = g_largest.load(std::memory_order_relaxed);
    while (size > largest && !g_largest.compare_exchange_weak(largest, size)) {
    }
    const std::size_t limit = g_limit.load(std::memory_order_relaxed);
    if (limit != 0 && size > limit) Exceeded(size);
}

}  // namespace

void SetMallocLimitInput(const char* input) {
    g_input.store(input);
}

std::size_t LargestAllocation() {
    return g_largest.load();
}

#ifdef OSTREL_SANITIZER_ALLOCATOR

// The sanitizer owns the allocator; it tells every allocation to a hook.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             std::size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {
void OnMalloc(const volatile void*, std::size_t size) {
    Check(size);
}
void OnFree(const volatile void*) {}

void Watch() {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
    (void)installed;
}
}  // namespace

void SetMallocLimit(std::size_t bytes) {
    g_limit.store(bytes);
    Watch();
}

void ResetLargestAllocation() {
    Watch();
    g_largest.store(0);
}

#else

// Without a sanitizer the C library's allocator is wrapped: these definitions take
// the place of its entry points for the whole program (libraries included) and
// hand every request on to it, so memory freed anywhere stays its own.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);

void* malloc(std::size_t size) {
    Check(size);
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    if (size != 0 && count > static_cast<std::size_t>(-1) / size) return __libc_calloc(count, size);
    Check(count * size);
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
    Check(size);
    return __libc_realloc(block, size);
}

void* memalign(std::size_t alignment, std::size_t size) {
    Check(size);
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
    Check(size);
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
    Check(size);
    void* block = __libc_memalign(alignment, size);
    if (!block) return 12;  // ENOMEM
    *result = block;
    return 0;
}
}

void SetMallocLimit(std::size_t bytes) {
    g_limit.store(bytes);
}

void ResetLargestAllocation() {
    g_largest.store(0);
}

#endif
