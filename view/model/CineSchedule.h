#pragma once

#include <cstdint>

namespace viewmodel {

// The pace of the cine loop. Frame k of a movie is due k frame times after
// it started, so what painting a frame costs does not add up over the
// movie. A late frame is shown at once and none is skipped; no frame is
// shown before it is due. Times are milliseconds on one steady clock.
class CineSchedule {
public:
    // The frame on the screen at `now` is frame 0 of a movie paced by `frameTime`.
    void restart(double now, double frameTime);
    // When the next frame is due; the steps of the movie so far count.
    double nextDue() const;
    // Milliseconds to wait at `now` before the next step, rounded up so the
    // step is never early; 0 when it is due or late. A step more than a
    // frame time late starts the count again from now, so a stall (a
    // window dragged, a slow disk) is followed by the set pace, not by a
    // burst of frames catching up. A frame time of its own restarts the
    // movie's clock too (the user set another speed while it plays).
    int waitBeforeNextStep(double now, double frameTime);
    // The next frame was shown.
    void stepTaken() { ++m_steps; }
    std::int64_t steps() const { return m_steps; }

private:
    double m_start = 0.0;
    double m_frameTime = 0.0;
    std::int64_t m_steps = 0;
};

} // namespace viewmodel
