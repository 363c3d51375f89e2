#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a simulated run did, one event a line, the virtual time first in milliseconds with three
// decimals, counted from the moment the program started running:
//   "2000.001 out 0", "0.000 line 1", "12.345 pose 100.000 0.000 90.000", "2000.002 end".
class SimTrace {
public:
    void clear();
    // `ns` is virtual time since the run started; `event` the rest of the line ("out 33").
    void add(int64_t ns, const std::string& event);
    const std::vector<std::string>& lines() const { return _lines; }
    // Every line, each ending in a line feed.
    std::string text() const;
    // Writes text() to `path`, replacing what was there; false when it could not.
    bool writeTo(const std::string& path) const;

    // "1234.567": milliseconds with three decimals, from nanoseconds (rounded to microseconds).
    static std::string formatTime(int64_t ns);

private:
    std::vector<std::string> _lines;
};
