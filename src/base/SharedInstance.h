#pragma once
// The process-wide instance a manager is known by (`T::shared()`). The
// composition root creates the manager and registers it; it lives until
// exit. Readable from any thread.

#include <atomic>

namespace kestrune {

template <typename T>
class SharedInstance {
public:
    static T* shared() { return static_cast<T*>(instance_.load(std::memory_order_acquire)); }
    static void setShared(T* instance) { instance_.store(instance, std::memory_order_release); }

protected:
    SharedInstance() = default;
    // A registered instance unregisters itself when it goes.
    ~SharedInstance()
    {
        SharedInstance* self = this;
        instance_.compare_exchange_strong(self, nullptr);
    }

private:
    static inline std::atomic<SharedInstance*> instance_{nullptr};
};

} // namespace kestrune
