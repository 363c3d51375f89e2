#pragma once

#include <string>

// A program file run on the simulated board without a window: the cards are laid out on the
// sheet's lines by the field scene itself, built on SDL's offscreen driver, so a file becomes
// the same program as when the editor opens it. Nothing of the user's data folder is read or
// written, and no serial port is listed or opened.
class HeadlessSimulation {
public:
    // True with the run's trace; false with a one-line reason when the file holds no program
    // or the sheet cannot be built.
    static bool run(const std::string& file, int target, double seconds, std::string& trace,
                    std::string& message);
};
