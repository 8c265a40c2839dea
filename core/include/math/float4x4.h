#ifndef MATH_FLOAT4X4_H
#define MATH_FLOAT4X4_H

#include <math/float4.h>
#include <math/float3x3.h>
#include <math/float3x4.h>

namespace math
{

/**
 * 4x4 float matrix, a plain value. Row-major: element (r, c) is m[4r + c]; an affine transform keeps its
 * translation in column 3 and 0, 0, 0, 1 in row 3. Vectors are columns: (A * B) * v == A * (B * v).
 */
struct float4x4
{
	float m[16];

	/** All elements zero. */
	float4x4();

	/** d on the diagonal, 0 elsewhere; 1 gives the identity. */
	explicit float4x4(float d);

	/** Rows 0..2 are rot's rows followed by t; row 3 is 0, 0, 0, 1. */
	float4x4(const float3x3& rot, const float3& t);

	/** The affine transform tm with the row 0, 0, 0, 1 added. */
	explicit float4x4(const float3x4& tm);

	float& operator()(int row, int col)					{ return m[row * 4 + col]; }
	const float& operator()(int row, int col) const		{ return m[row * 4 + col]; }

	float4 getColumn(int col) const						{ return float4(m[col], m[4 + col], m[8 + col], m[12 + col]); }
	void setColumn(int col, const float4& v)			{ m[col] = v.x; m[4 + col] = v.y; m[8 + col] = v.z; m[12 + col] = v.w; }
	float4 getRow(int row) const						{ return float4(m[row * 4], m[row * 4 + 1], m[row * 4 + 2], m[row * 4 + 3]); }
	void setRow(int row, const float4& v)				{ m[row * 4] = v.x; m[row * 4 + 1] = v.y; m[row * 4 + 2] = v.z; m[row * 4 + 3] = v.w; }

	/** Matrix product this x other. */
	float4x4 operator*(const float4x4& other) const;

	/** This matrix applied to the column vector v (all four rows). */
	float4 operator*(const float4& v) const				{ return transform(v); }
	float4 transform(const float4& v) const;

	bool operator==(const float4x4& other) const;
	bool operator!=(const float4x4& other) const		{ return !(*this == other); }

	float4x4 transpose() const;

	/** Inverse matrix; a singular matrix gives non-finite elements. */
	float4x4 inverse() const;

	/**
	 * Overwrites this matrix with a perspective projection looking down +z: fov in radians, front and back
	 * plane distances, aspect. After division by w (the point's z) depth front maps to 0 and back to 1.
	 */
	void setPerspectiveProjection(float fov, float front, float back, float aspect);
};

} // math

#endif
