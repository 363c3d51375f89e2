#pragma once

#include <cstdint>

// How the board on the screen behaves, in one place: its car, its mat and its clock. The
// simulated board, the stage that draws it and the tests all read these.
struct BoardFigures {
    // The car: output k is bit k-1 of the six outputs.
    static constexpr int kLeftForwardBit = 1 << 0;   // output 1
    static constexpr int kLeftBackwardBit = 1 << 1;  // output 2
    static constexpr int kRightBackwardBit = 1 << 4;  // output 5
    static constexpr int kRightForwardBit = 1 << 5;   // output 6
    static constexpr int kOutputMask = 63;
    static constexpr int kOutputCount = 6;
    // Each turning wheel moves its side this fast, in millimetres a second.
    static constexpr double kWheelSpeed = 100.0;
    // From one wheel to the other, in millimetres.
    static constexpr double kTrack = 100.0;
    // The mat is square, centred on the origin; the car stops where its centre reaches an edge.
    static constexpr double kMatSide = 1200.0;
    static constexpr double kStartX = 0.0;
    static constexpr double kStartY = 0.0;
    static constexpr double kStartHeading = 90.0;  // degrees, counter-clockwise from +x: up

    // The clock, in nanoseconds of virtual time.
    static constexpr int64_t kStatementNs = 1000;  // every statement but a wait
    static constexpr int64_t kJamWaitUnitNs = 1000000000 / 60;  // WAIT n: n sixtieths of a second
    static constexpr double kJamWaitUnitSeconds = 1.0 / 60.0;
    static constexpr int64_t kJamPwmUnitUs = 10;  // PWM p, v: a pulse of v * 10 us

    // Without a board's pauses a run is sent in moments; a run without a limit stops here.
    static constexpr double kDefaultSimulateSeconds = 60.0;
    // At most this many statements for one frame of the editor, so that an endless loop without
    // a wait cannot hold the screen (about 5 ms of a 16 ms frame); the virtual clock then falls
    // behind real time.
    static constexpr int64_t kStatementsPerFrame = 50000;
    // The stage's speeds: how many virtual seconds pass in one real second.
    static constexpr double kSpeeds[3] = {0.25, 1.0, 4.0};
};
