#ifndef MATH_FLOAT3X3_H
#define MATH_FLOAT3X3_H

#include <math/float3.h>

namespace math
{

/**
 * 3x3 float matrix, a plain value. Row-major: element (row r, column c) is m[3r + c].
 * Vectors are columns, so (A * B) * v == A * (B * v); a basis keeps its axes in the columns.
 */
struct float3x3
{
	float m[9];

	/** Zero matrix. */
	float3x3();

	/** d on the diagonal, 0 elsewhere; 1 gives the identity. */
	explicit float3x3(float d);

	/** Rotation about axis (any non-zero length) by angle radians, counter-clockwise looking down the axis. */
	float3x3(const float3& axis, float angle);

	float& operator()(int row, int col)					{ return m[row * 3 + col]; }
	const float& operator()(int row, int col) const		{ return m[row * 3 + col]; }

	float3 getColumn(int col) const						{ return float3(m[col], m[3 + col], m[6 + col]); }
	void setColumn(int col, const float3& v)			{ m[col] = v.x; m[3 + col] = v.y; m[6 + col] = v.z; }
	float3 getRow(int row) const						{ return float3(m[row * 3], m[row * 3 + 1], m[row * 3 + 2]); }
	void setRow(int row, const float3& v)				{ m[row * 3] = v.x; m[row * 3 + 1] = v.y; m[row * 3 + 2] = v.z; }

	/** Matrix product this x other. */
	float3x3 operator*(const float3x3& other) const;

	/** This matrix applied to the column vector v. */
	float3 operator*(const float3& v) const;

	bool operator==(const float3x3& other) const;
	bool operator!=(const float3x3& other) const		{ return !(*this == other); }

	float3x3 transpose() const;

	float determinant() const;

	/** Inverse matrix; a singular matrix gives non-finite elements. */
	float3x3 inverse() const;

	/**
	 * Sets this matrix to a basis with columns X, Y, z: X is perpendicular to z, taken from the first of
	 * preferred, (1,0,0), (0,0,1), (0,1,0) not parallel to z; Y = z x X. z is used as passed (orthonormal
	 * only for a unit z). A zero z gives the columns (1,0,0), (0,1,0) and z.
	 */
	void generateOrthonormalBasisFromZ(const float3& z, const float3& preferred);

	/** The same with the preferred first axis (0,1,0). */
	void generateOrthonormalBasisFromZ(const float3& z);
};

} // math

#endif
