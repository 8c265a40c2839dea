#include <world/WorldZoom.h>

#include <algorithm>
#include <cfloat>

namespace {

// Wheel steps in scale units per notch: below a scale of 1 the step is finer.
const float STEP_BELOW_ONE = 0.1f;
const float STEP_FROM_ONE = 0.2f;
// SHIFT makes a notch this fraction of a step.
const float FINE_STEP_FACTOR = 0.05f;
// Seconds a smooth zoom started from rest takes; a retargeted one takes what is left of this.
const float SMOOTH_DURATION = 0.5f;
const float RETARGET_BUDGET = 1.0f;
// Below this scale a wheel notch always restarts the smooth zoom from the current scale.
const float RESTART_BELOW_SCALE = 0.6f;
// A notch during a running zoom moves its target by this fraction of a step.
const float RETARGET_FACTOR = 0.5f;
const float IDLE = -1.0f;

float clampScale(float scale)
{
	return std::min(std::max(scale, WorldZoom::MIN_SCALE), WorldZoom::MAX_SCALE);
}

} // namespace

WorldZoom::WorldZoom() :
	m_scale(1.0f),
	m_maxScale(MAX_SCALE),
	m_start(1.0f),
	m_target(1.0f),
	m_elapsed(IDLE),
	m_duration(IDLE),
	m_smooth(true),
	m_previousScale(1.0f),
	m_pinching(false),
	m_pinchDistance(0.0f),
	m_pinchScale(1.0f)
{
}

void WorldZoom::update(float dt)
{
	if (!m_smooth || m_elapsed <= IDLE)
		return;
	m_elapsed += dt;
	const float p = m_elapsed / m_duration - 1.0f;
	m_scale = m_start + (p * p * p + 1.0f) * (m_target - m_start);
	if (m_elapsed > m_duration)
	{
		m_scale = m_target;
		m_elapsed = IDLE;
	}
	m_scale = clampScale(m_scale);
}

void WorldZoom::wheel(int d, bool shift, bool control)
{
	float step = m_scale < 1.0f ? STEP_BELOW_ONE : STEP_FROM_ONE;
	if (shift)
		step *= FINE_STEP_FACTOR;
	if (m_smooth || !control)
		m_previousScale = m_scale;
	if (m_smooth)
	{
		if (m_elapsed <= IDLE || m_scale <= RESTART_BELOW_SCALE || m_scale >= m_maxScale)
		{
			m_target = clampScale(m_scale + step * d);
			m_duration = SMOOTH_DURATION;
		}
		else
		{
			m_target = clampScale(m_target + RETARGET_FACTOR * d * step);
			m_duration = RETARGET_BUDGET - m_elapsed;
		}
		m_start = m_scale;
		m_elapsed = 0.0f;
	}
	else if (!control && ((d < 0 && m_scale > MIN_SCALE) || (d > 0 && m_scale < MAX_SCALE)))
	{
		m_scale = clampScale(m_scale + step * d);
	}
}

void WorldZoom::pinch(float distance)
{
	if (!m_pinching)
	{
		m_pinching = true;
		m_pinchDistance = distance;
		m_pinchScale = m_scale;
	}
	if (m_pinchDistance > FLT_MIN && m_pinchDistance < FLT_MAX)
		m_scale = distance / m_pinchDistance * m_pinchScale;
}
