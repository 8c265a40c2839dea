#ifndef WORLD_WORLDZOOM_H
#define WORLD_WORLDZOOM_H

/**
 * The zoom of the world view: the current and previous scale, the upper bound of wheel zoom and
 * a smooth zoom in progress, eased toward its target over a duration in seconds. A plain value
 * held by the game application; the game world reaches it through the application's setters.
 */
class WorldZoom
{
public:
	// The scale range every wheel or smooth-zoom result is clamped to.
	static constexpr float MIN_SCALE = 0.01f;
	static constexpr float MAX_SCALE = 100.0f;

	WorldZoom();

	/** Advances a running smooth zoom by dt seconds, then clamps the scale while smooth zooming is on. */
	void update(float dt);
	/**
	 * One wheel notch count d. shift makes the step fine; control holds the scale still when
	 * smooth zooming is off.
	 */
	void wheel(int d, bool shift, bool control);
	/** A two-finger gesture: the scale follows the ratio of finger distances, unclamped. */
	void pinch(float distance);
	/** The gesture has ended (any touch count but two). */
	void endPinch()										{ m_pinching = false; }

	float scale() const									{ return m_scale; }
	float previousScale() const							{ return m_previousScale; }
	bool smoothZoomRunning() const						{ return m_elapsed > -1.0f; }
	/** Sets both the scale and the previous scale, as the game world does. */
	void setScale(float scale)							{ m_scale = scale; m_previousScale = scale; }
	void setMaxScale(float scale)						{ m_maxScale = scale; }
	void enableSmoothZooming(bool on)					{ m_smooth = on; }

private:
	float m_scale;
	float m_maxScale;
	float m_start;
	float m_target;
	// Seconds into the running smooth zoom; -1 when none runs.
	float m_elapsed;
	float m_duration;
	bool m_smooth;
	float m_previousScale;
	bool m_pinching;
	float m_pinchDistance;
	float m_pinchScale;
};

#endif
