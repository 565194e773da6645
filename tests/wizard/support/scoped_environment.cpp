#include "wizard/support/scoped_environment.h"

#include <cstdlib>

ScopedEnvironment::~ScopedEnvironment() {
    for (auto change = saved_.rbegin(); change != saved_.rend(); ++change) {
        if (change->second) {
            ::setenv(change->first.c_str(), change->second->c_str(), 1);
        } else {
            ::unsetenv(change->first.c_str());
        }
    }
}

void ScopedEnvironment::set(const std::string& name, const std::string& value) {
    const char* previous = std::getenv(name.c_str());
    saved_.emplace_back(name, previous ? std::optional<std::string>(previous) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
}
