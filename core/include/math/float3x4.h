#ifndef MATH_FLOAT3X4_H
#define MATH_FLOAT3X4_H

#include <math/float3x3.h>

namespace math
{

/**
 * Affine transform as a 3x4 float matrix, a plain value. Row-major: element (r, c) is m[4r + c];
 * columns 0..2 are the linear part, column 3 the translation. Points are columns.
 */
struct float3x4
{
	float m[12];

	/** All elements zero. */
	float3x4();

	/** d on the diagonal of the linear part, zero translation; 1 gives the identity. */
	explicit float3x4(float d);

	/** Linear part rot and translation t. */
	float3x4(const float3x3& rot, const float3& t);

	float& operator()(int row, int col)					{ return m[row * 4 + col]; }
	const float& operator()(int row, int col) const		{ return m[row * 4 + col]; }

	float3 getColumn(int col) const						{ return float3(m[col], m[4 + col], m[8 + col]); }
	void setColumn(int col, const float3& v)			{ m[col] = v.x; m[4 + col] = v.y; m[8 + col] = v.z; }

	float3 translation() const							{ return getColumn(3); }
	void setTranslation(const float3& t)				{ setColumn(3, t); }
	float3x3 rotation() const;
	void setRotation(const float3x3& rot);

	/** Composition: (this x other) applied to p equals this applied to (other applied to p). */
	float3x4 operator*(const float3x4& other) const;

	bool operator==(const float3x4& other) const;
	bool operator!=(const float3x4& other) const		{ return !(*this == other); }

	/** Writes the point p transformed by the linear part plus the translation. */
	void transform(const float3& p, float3* out) const;

	/** The vector v transformed by the linear part only. */
	float3 rotate(const float3& v) const;

	/** Inverse transform; a singular linear part gives non-finite elements. */
	float3x4 inverse() const;
};

} // math

#endif
