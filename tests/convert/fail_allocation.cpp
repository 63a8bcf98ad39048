// Preloaded into kartovel-convert (LD_PRELOAD) to make one allocation fail: the one whose
// number, counted from 1 over malloc, calloc, realloc and the aligned forms in every
// thread, is KARTOVEL_FAIL_ALLOCATION. With KARTOVEL_ALLOCATION_COUNT set to a path, the
// count of allocations is written there at exit.
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

extern "C" {

void* __libc_malloc(size_t size);
extern void* __libc_calloc(size_t count, size_t size);
extern void* __libc_realloc(void* old, size_t size);
extern void* __libc_memalign(size_t alignment, size_t size);

static std::atomic<long> gCount;

static int Fails()
{
    static long failAt = -2;
    if (failAt == -2) {
        const char* value = getenv("KARTOVEL_FAIL_ALLOCATION");
        failAt = value ? std::atol(value) : -1;
    }
    if (gCount.fetch_add(1) + 1 != failAt) return 0;
    errno = ENOMEM;
    return 1;
}

void* malloc(size_t size) { return Fails() ? nullptr : __libc_malloc(size); }
void* calloc(size_t count, size_t size) { return Fails() ? nullptr : __libc_calloc(count, size); }
void* realloc(void* old, size_t size) { return Fails() ? nullptr : __libc_realloc(old, size); }
void* aligned_alloc(size_t alignment, size_t size) { return Fails() ? nullptr : __libc_memalign(alignment, size); }
void* memalign(size_t alignment, size_t size) { return Fails() ? nullptr : __libc_memalign(alignment, size); }

int posix_memalign(void** result, size_t alignment, size_t size)
{
    if (Fails()) return ENOMEM;
    void* p = __libc_memalign(alignment, size);
    if (p == nullptr) return ENOMEM;
    *result = p;
    return 0;
}

}  // extern "C"

__attribute__((destructor)) static void WriteCount()
{
    const char* path = getenv("KARTOVEL_ALLOCATION_COUNT");
    if (path == nullptr) return;
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) return;
    std::fprintf(file, "%ld\n", gCount.load());
    std::fclose(file);
}
