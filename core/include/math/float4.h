#ifndef MATH_FLOAT4_H
#define MATH_FLOAT4_H

#include <math/float3.h>

namespace math
{

/** Four-component float vector (positions, colours, scale-and-bias pairs); a plain value, owns nothing. */
struct float4
{
	float x;
	float y;
	float z;
	float w;

	float4() : x(0.f), y(0.f), z(0.f), w(0.f) {}
	float4(float x0, float y0, float z0, float w0) : x(x0), y(y0), z(z0), w(w0) {}
	float4(const float3& v, float w0) : x(v.x), y(v.y), z(v.z), w(w0) {}

	/** The x, y and z components as a float3 sharing this vector's storage. */
	float3& xyz()										{ return *reinterpret_cast<float3*>(&x); }
	const float3& xyz() const							{ return *reinterpret_cast<const float3*>(&x); }

	float& operator[](int i)							{ return (&x)[i]; }
	const float& operator[](int i) const				{ return (&x)[i]; }

	float4 operator-() const							{ return float4(-x, -y, -z, -w); }
	float4 operator+(const float4& o) const				{ return float4(x + o.x, y + o.y, z + o.z, w + o.w); }
	float4 operator-(const float4& o) const				{ return float4(x - o.x, y - o.y, z - o.z, w - o.w); }
	float4 operator*(float s) const						{ return float4(x * s, y * s, z * s, w * s); }
	float4 operator/(float s) const						{ return float4(x / s, y / s, z / s, w / s); }
	float4& operator+=(const float4& o)					{ x += o.x; y += o.y; z += o.z; w += o.w; return *this; }
	float4& operator-=(const float4& o)					{ x -= o.x; y -= o.y; z -= o.z; w -= o.w; return *this; }
	float4& operator*=(float s)							{ x *= s; y *= s; z *= s; w *= s; return *this; }
	float4& operator/=(float s)							{ x /= s; y /= s; z /= s; w /= s; return *this; }
	bool operator==(const float4& o) const				{ return x == o.x && y == o.y && z == o.z && w == o.w; }
	bool operator!=(const float4& o) const				{ return !(*this == o); }
};

inline float4 operator*(float s, const float4& v)		{ return v * s; }
inline float dot(const float4& a, const float4& b)		{ return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

} // math

#endif
