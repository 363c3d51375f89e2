#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What a simulated run did, one event a line, the virtual time first in milliseconds with three
// decimals, counted from the moment the program started running:
//   "2000.001 out 0", "0.000 line 1", "12.345 pose 100.000 0.000 90.000", "2000.002 end".
class SimTrace {
public:
    // A loop without a wait that switches outputs makes events as fast as it runs: beyond this
    // many lines (some 40 MB) the trace says where it was cut and keeps only its closing lines.
    static constexpr size_t kMaxLines = 1000000;

    void clear();
    // Off, nothing is kept: the editor keeps a trace only when asked to write it.
    void setRecording(bool on) { _recording = on; }
    // Whether the next add() keeps its line, so that a caller can skip composing one.
    bool accepting() const { return _recording && _lines.size() < kMaxLines; }
    // `ns` is virtual time since the run started; `event` the rest of the line ("out 33").
    void add(int64_t ns, const std::string& event);
    // The run's last pose and how it ended, kept also once the trace is full.
    void addClosing(int64_t ns, const std::string& event);
    const std::vector<std::string>& lines() const { return _lines; }
    // Every line, each ending in a line feed.
    std::string text() const;
    // Writes text() to `path`, replacing what was there; false when it could not.
    bool writeTo(const std::string& path) const;

    // "1234.567": milliseconds with three decimals, from nanoseconds (rounded to microseconds).
    static std::string formatTime(int64_t ns);

private:
    std::vector<std::string> _lines;
    bool _recording = true;
    bool _cut = false;
};
