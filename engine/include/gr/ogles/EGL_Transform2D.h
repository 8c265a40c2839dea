#ifndef GR_EGL_TRANSFORM2D_H
#define GR_EGL_TRANSFORM2D_H

#include <gr/RenderState2D.h>
#include <math/float2.h>
#include <math/float3.h>

namespace gr
{

/**
 * Maps 2D request points from screen pixels to clip space under a 2D state and a logical screen
 * size, and culls shapes that fall outside. A short-lived value that borrows the state.
 */
class EGL_Transform2D
{
public:
	/** Depth every 2D vertex is drawn at. */
	static constexpr float DEPTH = 0.001f;

	EGL_Transform2D(const RenderState2D& state, int screenWidth, int screenHeight);

	/** Pixel position of the local point (u, v) of a shape at (x, y): pivot, rotation and translation applied. */
	math::float2 toPixels(float x, float y, float u, float v) const;
	/** Pixel position ignoring rotation and pivot (the unrotated image path). */
	math::float2 toPixelsUnrotated(float x, float y, float u, float v) const;
	/** Pixel position to clip space, scale applied. */
	math::float3 toClip(const math::float2& pixels) const;

	/**
	 * The corners of a width x height quad at (x, y) in the order origin, +width, +height, +both:
	 * pixel positions (unrotated ignores rotation and pivot) and clip-space positions.
	 */
	void quad(float x, float y, float width, float height, bool unrotated, math::float2* pixels, math::float3* corners) const;

	/** True when points lie wholly off one side of the screen. */
	static bool culled(const math::float3* points, int count);
	/** The unrotated path's test over a quad's corners (origin, +width, +height, +both), honouring mirrored scales. */
	bool culledUnrotated(const math::float3* corners) const;

private:
	const RenderState2D& m_state;
	float m_scaleX;
	float m_scaleY;
};

} // gr

#endif
