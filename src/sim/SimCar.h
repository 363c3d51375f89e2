#pragma once

// The motor car on the mat, seen from above: two wheels, each standing, turning forward or
// turning backward. Between changes of the wheels it moves exactly along a straight line or an
// arc (no frame steps); it stops where its centre reaches the mat's edge.
class SimCar {
public:
    struct Pose {
        double x = 0;        // millimetres, right of the mat's centre
        double y = 0;        // millimetres, up from the mat's centre
        double heading = 0;  // degrees in [0, 360), counter-clockwise from the x axis
    };

    SimCar();
    // Back in the middle of the mat, heading up, wheels standing.
    void reset();
    // -1 backward, 0 standing, 1 forward.
    void setWheels(int left, int right);
    // The wheels as the six outputs drive them.
    void setOutputs(int outputs);
    int leftWheel() const { return _left; }
    int rightWheel() const { return _right; }
    bool moving() const { return _left != 0 || _right != 0; }
    // Moves on by `seconds` with the wheels as they are.
    void advance(double seconds);
    const Pose& pose() const { return _pose; }

private:
    Pose _pose;
    int _left = 0;
    int _right = 0;
};
