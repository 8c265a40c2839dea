#ifndef MATH_RANDOMUTIL_H
#define MATH_RANDOMUTIL_H

#include <math/float2.h>
#include <math/float3.h>

namespace math
{

/**
 * Random numbers and random points on simple shapes. Stateless: every draw is rand() x 2^-31 rounded to
 * float, in [0, 1], from the C library's single sequence, which this class never seeds. Each sampler
 * draws in a fixed order so that a seed gives the same points on every platform.
 */
class RandomUtil
{
public:
	/** One draw in [0, 1]. */
	static float random();

	/** A value between a and b: random() x (b - a) + a. */
	static float getRandom(float a, float b);

	/** A point on the segment from a to b. */
	static float3 getPointOnLine(const float3& a, const float3& b);
	static float2 getPointOnLine(const float2& a, const float2& b);

	/** A point in the axis-aligned box, drawing x, then y (then z). */
	static float3 getPointInBox(const float3& min, const float3& max);
	static float2 getPointInBox(const float2& min, const float2& max);

	/** corner + u x edge1 + v x edge2 with u, v drawn in that order. */
	static float3 getPointOnRectangle(const float3& corner, const float3& edge1, const float3& edge2);
	static float2 getPointOnRectangle(const float2& corner, const float2& edge1, const float2& edge2);

	/** A point in the triangle spanned by the two edges from the corner. */
	static float3 getPointOnTriangle(const float3& corner, const float3& edge1, const float3& edge2);
	static float2 getPointOnTriangle(const float2& corner, const float2& edge1, const float2& edge2);

	/**
	 * A planar point around the origin whose distance runs from r2 (draw 0) to r1 (draw 1) with the
	 * square of the first draw; the second draw gives the angle.
	 */
	static void getPointOnDisk(float r1, float r2, float* x, float* y);
	static float2 getPointOnDisk(const float2& centre, float r1, float r2);

	/** The planar disk point laid into the plane through centre perpendicular to normal. */
	static float3 getPointOnDisk(const float3& centre, const float3& normal, float r1, float r2);

	/** A disk point around the axis from a to b, moved along the axis by a third draw. */
	static float3 getPointInCylinder(const float3& a, const float3& b, float r1, float r2);

	/** A point around the origin whose distance runs from r2 to r1 with the cube of a draw. */
	static float3 getPointInSphere(float r1, float r2);
};

} // math

#endif
