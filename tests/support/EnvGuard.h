#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

// Sets environment variables for one test and puts the old values back afterwards.
class EnvGuard {
public:
    EnvGuard& set(const std::string& name, const char* value) {
        if (!_saved.count(name)) {
            const char* old = std::getenv(name.c_str());
            _saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) {
            ::setenv(name.c_str(), value, 1);
        } else {
            ::unsetenv(name.c_str());
        }
        return *this;
    }

    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

    ~EnvGuard() {
        for (const auto& [name, value] : _saved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

private:
    std::map<std::string, std::optional<std::string>> _saved;
};
