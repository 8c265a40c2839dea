#ifndef GR_RENDERSTATE2D_H
#define GR_RENDERSTATE2D_H

#include <gr/Rect.h>
#include <math/float2.h>

namespace gr
{

/**
 * The state that shapes every 2D drawing request: clip, transform, batch key and alpha factor.
 * A plain value; the device keeps the current one, callers change it in place and reset it.
 */
class RenderState2D
{
public:
	/** Scissor rectangle in screen pixels for batches and clears. */
	Rect clipRect;
	/** 2x2 matrix m00, m01, m10, m11 applied to corner offsets from the pivot (cos a, sin a, -sin a, cos a). */
	float rotation[4];
	/** Added to every drawing position, pixels. */
	math::float2 translation;
	/** Multiplies the final position (translation included) and line widths. */
	math::float2 scale;
	/** Centre of rotation relative to the shape's origin, pixels. */
	math::float2 pivot;
	float spare0;
	int spare1;
	/** The batch key: requests join a pending batch only when these agree; otherwise the caller's. */
	bool batchFlag0;
	int batchValue0;
	int batchValue1;
	bool batchFlag1;
	int batchValue2;
	float batchValue3;
	/** Sent to the batch's shader as "ALPHA_FACTOR"; also part of the batch key. */
	float alphaFactor;
	/** Radians the rotation was built from; exactly 0 lets images take the unrotated path. */
	float angle;

	RenderState2D() :
		clipRect(-32000, -32000, 32000, 32000),
		rotation{1.f, 0.f, 0.f, 1.f},
		translation(0.f, 0.f),
		scale(1.f, 1.f),
		pivot(0.f, 0.f),
		spare0(0.f),
		spare1(0),
		batchFlag0(true),
		batchValue0(1),
		batchValue1(5),
		batchFlag1(false),
		batchValue2(0),
		batchValue3(0.f),
		alphaFactor(1.f),
		angle(0.f)
	{
	}

	/** Sets rotation from an angle in radians and stores the angle. */
	void setRotation(float radians);

	/** True when a request under other may join a batch recorded under this state. */
	bool sameBatchKey(const RenderState2D& other) const
	{
		return clipRect == other.clipRect && batchFlag0 == other.batchFlag0 && batchValue0 == other.batchValue0
			&& batchValue1 == other.batchValue1 && batchFlag1 == other.batchFlag1 && batchValue2 == other.batchValue2
			&& batchValue3 == other.batchValue3 && alphaFactor == other.alphaFactor;
	}
};

} // gr

#endif
