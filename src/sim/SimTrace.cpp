#include "sim/SimTrace.h"

#include <cinttypes>
#include <cstdio>
#include <fstream>

void SimTrace::clear() {
    _lines.clear();
    _cut = false;
}

void SimTrace::add(int64_t ns, const std::string& event) {
    if (accepting()) {
        _lines.push_back(formatTime(ns) + " " + event);
    } else if (_recording && !_cut) {
        _cut = true;
        _lines.push_back(formatTime(ns) + " trace full");
    }
}

void SimTrace::addClosing(int64_t ns, const std::string& event) {
    if (_recording) {
        _lines.push_back(formatTime(ns) + " " + event);
    }
}

std::string SimTrace::text() const {
    std::string all;
    for (const auto& line : _lines) {
        all += line;
        all += '\n';
    }
    return all;
}

bool SimTrace::writeTo(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out << text();
    out.close();
    return static_cast<bool>(out);
}

std::string SimTrace::formatTime(int64_t ns) {
    // Integer arithmetic, so that a long run's microseconds never lose digits to a double.
    const bool negative = ns < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(ns) : static_cast<uint64_t>(ns);
    const uint64_t us = (magnitude + 500) / 1000;
    char text[48];
    std::snprintf(text, sizeof text, "%s%" PRIu64 ".%03" PRIu64, negative && us > 0 ? "-" : "",
                  us / 1000, us % 1000);
    return text;
}
