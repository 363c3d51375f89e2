#include "sim/SimCar.h"

#include <algorithm>
#include <cmath>

#include "sim/BoardFigures.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfMat = BoardFigures::kMatSide / 2.0;
// Positions within this of an edge count as on it: the car is left exactly on the edge when it
// stops, and rounding must not make it leave at once when it moves along or away from it.
constexpr double kEdgeSlack = 1e-9;
// Arcs are searched for their exit in steps of this many radians; between two samples an arc of
// the car's radius can stray outside by far less than a micrometre unnoticed.
constexpr double kArcStep = 0.01;

double normalised(double degrees) {
    double h = std::fmod(degrees, 360.0);
    if (h < 0) {
        h += 360.0;
    }
    return h >= 360.0 ? 0.0 : h;
}

// How far the point lies outside the mat (negative inside).
double outside(double x, double y) { return std::max(std::fabs(x), std::fabs(y)) - kHalfMat; }

// The car's motion from one pose with fixed wheels, in closed form.
struct Motion {
    double x0, y0, theta0;  // theta in radians
    double speed;           // mm/s of the centre
    double turn;            // rad/s, counter-clockwise

    SimCar::Pose at(double t) const {
        SimCar::Pose p;
        const double theta = theta0 + turn * t;
        if (turn == 0) {
            p.x = x0 + speed * t * std::cos(theta0);
            p.y = y0 + speed * t * std::sin(theta0);
        } else {
            const double r = speed / turn;
            p.x = x0 + r * (std::sin(theta) - std::sin(theta0));
            p.y = y0 - r * (std::cos(theta) - std::cos(theta0));
        }
        p.heading = normalised(theta * 180.0 / kPi);
        return p;
    }
    double outsideAt(double t) const {
        const SimCar::Pose p = at(t);
        return outside(p.x, p.y);
    }
    // Whether the whole path, whatever its length, stays on the mat: a spin, or an arc whose
    // circle lies inside.
    bool staysInside() const {
        if (speed == 0) {
            return true;
        }
        if (turn == 0) {
            return false;
        }
        const double r = speed / turn;
        const double cx = x0 - r * std::sin(theta0);
        const double cy = y0 + r * std::cos(theta0);
        const double radius = std::fabs(r);
        return std::fabs(cx) + radius <= kHalfMat && std::fabs(cy) + radius <= kHalfMat;
    }
};

// The first moment in (lo, hi] the path leaves the mat, given that it is on the mat at lo and off
// it at hi.
double bisect(const Motion& m, double lo, double hi) {
    for (int i = 0; i < 80 && hi - lo > 1e-12; ++i) {
        const double mid = 0.5 * (lo + hi);
        (m.outsideAt(mid) > kEdgeSlack ? hi : lo) = mid;
    }
    return lo;
}

// The moment within `seconds` at which the path first leaves the mat, or `seconds` when it never
// does. A line's distance outside is convex in time, so its end alone tells; an arc is sampled.
double timeOnMat(const Motion& m, double seconds) {
    if (m.staysInside()) {
        return seconds;
    }
    if (m.turn == 0) {
        return m.outsideAt(seconds) > kEdgeSlack ? bisect(m, 0, seconds) : seconds;
    }
    const double step = kArcStep / std::fabs(m.turn);
    double lo = 0;
    while (lo < seconds) {
        const double hi = std::min(seconds, lo + step);
        if (m.outsideAt(hi) > kEdgeSlack) {
            return bisect(m, lo, hi);
        }
        lo = hi;
    }
    return seconds;
}

}  // namespace

SimCar::SimCar() { reset(); }

void SimCar::reset() {
    _pose.x = BoardFigures::kStartX;
    _pose.y = BoardFigures::kStartY;
    _pose.heading = BoardFigures::kStartHeading;
    _left = 0;
    _right = 0;
}

void SimCar::setWheels(int left, int right) {
    _left = left > 0 ? 1 : (left < 0 ? -1 : 0);
    _right = right > 0 ? 1 : (right < 0 ? -1 : 0);
}

void SimCar::setOutputs(int outputs) {
    // A wheel driven both ways at once, or not at all, stands.
    auto wheel = [outputs](int forwardBit, int backwardBit) {
        const bool forward = (outputs & forwardBit) != 0;
        const bool backward = (outputs & backwardBit) != 0;
        return forward == backward ? 0 : (forward ? 1 : -1);
    };
    setWheels(wheel(BoardFigures::kLeftForwardBit, BoardFigures::kLeftBackwardBit),
              wheel(BoardFigures::kRightForwardBit, BoardFigures::kRightBackwardBit));
}

void SimCar::advance(double seconds) {
    if (!(seconds > 0) || !moving()) {
        return;
    }
    const double left = _left * BoardFigures::kWheelSpeed;
    const double right = _right * BoardFigures::kWheelSpeed;
    const Motion m{_pose.x, _pose.y, _pose.heading * kPi / 180.0, (left + right) / 2.0,
                   (right - left) / BoardFigures::kTrack};
    // Standing on an edge, the car moves only when its first step carries it inward or along.
    const double probe = std::min(seconds, 1e-6);
    if (outside(_pose.x, _pose.y) > -kEdgeSlack && m.outsideAt(probe) > kEdgeSlack) {
        return;
    }
    const double t = timeOnMat(m, seconds);
    Pose next = m.at(t);
    if (t < seconds) {
        // Stopped on the edge: left exactly on it, so that it can leave it again inward.
        next.x = std::clamp(next.x, -kHalfMat, kHalfMat);
        next.y = std::clamp(next.y, -kHalfMat, kHalfMat);
    }
    _pose = next;
}
