#include "view/model/CineSchedule.h"

#include <cmath>
#include <limits>

namespace viewmodel {

void CineSchedule::restart(double now, double frameTime)
{
    m_start = now;
    m_frameTime = frameTime;
    m_steps = 0;
}

double CineSchedule::nextDue() const { return m_start + static_cast<double>(m_steps + 1) * m_frameTime; }

int CineSchedule::waitBeforeNextStep(double now, double frameTime)
{
    // A frame time that is no number or not positive plays no movie; the
    // caller stops it, and until then nothing is waited for.
    if (!(frameTime > 0.0) || !std::isfinite(frameTime) || !std::isfinite(now))
        return 0;
    if (frameTime != m_frameTime)
        restart(now, frameTime);
    const double late = now - nextDue();
    if (late > m_frameTime) {
        // Due now, and the next ones a frame time apart from here.
        m_start = now - static_cast<double>(m_steps + 1) * m_frameTime;
        return 0;
    }
    if (late >= 0.0)
        return 0;
    const double wait = std::ceil(-late);
    return wait >= static_cast<double>(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                                         : static_cast<int>(wait);
}

} // namespace viewmodel
