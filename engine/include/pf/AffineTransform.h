#ifndef PF_AFFINETRANSFORM_H
#define PF_AFFINETRANSFORM_H

namespace pf
{

/**
 * A 2D affine transform of views, a plain value: a point (x, y) becomes
 * (a x + c y + tx, b x + d y + ty). rotate and translate put the new step before the existing
 * transform, as view transforms compose.
 */
struct AffineTransform
{
	float a, b, c, d, tx, ty;

	AffineTransform() : a(1), b(0), c(0), d(1), tx(0), ty(0) {}
	static AffineTransform makeTranslation(float x, float y);
	AffineTransform rotate(float angle) const;
	AffineTransform translate(float x, float y) const;
	bool operator==(const AffineTransform& o) const;
};

} // pf

#endif
