#pragma once
// A thread that starts with a small stack and is joined by its owner. A worker converts
// one block at a time in a few kilobytes of stack; the system's default of 8 MiB a
// thread would make -j 32 reserve 256 MiB of address space, which a process under an
// address-space limit (ulimit -v) does not have. std::thread cannot set the size.
#include <cerrno>
#include <cstddef>
#include <functional>
#include <memory>
#include <new>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <thread>
#else
#include <limits.h>
#include <pthread.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define KARTOVEL_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KARTOVEL_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef KARTOVEL_ADDRESS_SANITIZER
inline constexpr std::size_t kWorkerStackBytes = std::size_t{1} << 20;  // room for the redzones
#else
inline constexpr std::size_t kWorkerStackBytes = std::size_t{256} << 10;
#endif

class OwnedThread {
public:
    // Starts `work`, which must not throw. Throws std::system_error when the system
    // cannot start a thread, std::bad_alloc when memory for it runs out.
    explicit OwnedThread(std::function<void()> work) : work_(std::make_unique<std::function<void()>>(std::move(work)))
    {
#ifdef _WIN32
        thread_ = std::thread(*work_);
#else
        pthread_attr_t attributes;
        if (const int error = pthread_attr_init(&attributes); error != 0)
            throw std::system_error(error, std::generic_category());
        std::size_t stack = kWorkerStackBytes;
#ifdef PTHREAD_STACK_MIN
        if (stack < static_cast<std::size_t>(PTHREAD_STACK_MIN)) stack = PTHREAD_STACK_MIN;
#endif
        int error = pthread_attr_setstacksize(&attributes, stack);
        if (error == 0) error = pthread_create(&thread_, &attributes, &Run, work_.get());
        pthread_attr_destroy(&attributes);
        if (error == ENOMEM) throw std::bad_alloc();
        if (error != 0) throw std::system_error(error, std::generic_category());
        joinable_ = true;
#endif
    }
    OwnedThread(OwnedThread&& other) noexcept
        : thread_(std::move(other.thread_)), joinable_(std::exchange(other.joinable_, false)),
          work_(std::move(other.work_))
    {
    }
    OwnedThread& operator=(OwnedThread&&) = delete;
    OwnedThread(const OwnedThread&) = delete;
    ~OwnedThread() { Join(); }

    void Join() noexcept
    {
#ifdef _WIN32
        if (thread_.joinable()) thread_.join();
#else
        if (joinable_) pthread_join(thread_, nullptr);
        joinable_ = false;
#endif
    }

private:
#ifdef _WIN32
    std::thread thread_;
#else
    static void* Run(void* work)
    {
        (*static_cast<std::function<void()>*>(work))();
        return nullptr;
    }
    pthread_t thread_{};
#endif
    bool joinable_ = false;
    std::unique_ptr<std::function<void()>> work_;  // lives at one address while the thread runs
};
