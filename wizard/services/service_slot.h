#pragma once
// A process-wide service that tests can replace for a scope. `Service` is an interface
// with a static standard() giving the implementation the program uses.

#include <atomic>

template <class Service>
class ServiceSlot {
public:
    static Service& current() {
        Service* installed = slot().load(std::memory_order_acquire);
        return installed ? *installed : Service::standard();
    }

    // Returns the previously installed service (null for the standard one).
    static Service* install(Service* service) {
        return slot().exchange(service, std::memory_order_acq_rel);
    }

private:
    static std::atomic<Service*>& slot() {
        static std::atomic<Service*> installed{nullptr};
        return installed;
    }
};

// Puts `service` in place for the scope's lifetime; the previous one returns afterwards.
template <class Service>
class ScopedService {
public:
    explicit ScopedService(Service& service)
        : previous_(ServiceSlot<Service>::install(&service)) {}
    ~ScopedService() { ServiceSlot<Service>::install(previous_); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Service* previous_;
};
