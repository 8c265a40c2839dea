#ifndef MATH_FLOAT3_H
#define MATH_FLOAT3_H

#include <math/float2.h>

namespace math
{

/** Three-component float vector; a plain value, copied freely, owns nothing. */
struct float3
{
	float x;
	float y;
	float z;

	float3() : x(0.f), y(0.f), z(0.f) {}
	float3(float x0, float y0, float z0) : x(x0), y(y0), z(z0) {}

	/** The x and y components as a float2 sharing this vector's storage. */
	float2& xy()										{ return *reinterpret_cast<float2*>(&x); }
	const float2& xy() const							{ return *reinterpret_cast<const float2*>(&x); }

	float& operator[](int i)							{ return (&x)[i]; }
	const float& operator[](int i) const				{ return (&x)[i]; }

	float3 operator-() const							{ return float3(-x, -y, -z); }
	float3 operator+(const float3& o) const				{ return float3(x + o.x, y + o.y, z + o.z); }
	float3 operator-(const float3& o) const				{ return float3(x - o.x, y - o.y, z - o.z); }
	float3 operator*(float s) const						{ return float3(x * s, y * s, z * s); }
	float3 operator/(float s) const						{ return float3(x / s, y / s, z / s); }
	float3& operator+=(const float3& o)					{ x += o.x; y += o.y; z += o.z; return *this; }
	float3& operator-=(const float3& o)					{ x -= o.x; y -= o.y; z -= o.z; return *this; }
	float3& operator*=(float s)							{ x *= s; y *= s; z *= s; return *this; }
	float3& operator/=(float s)							{ x /= s; y /= s; z /= s; return *this; }
	bool operator==(const float3& o) const				{ return x == o.x && y == o.y && z == o.z; }
	bool operator!=(const float3& o) const				{ return !(*this == o); }
};

inline float3 operator*(float s, const float3& v)		{ return v * s; }
inline float dot(const float3& a, const float3& b)		{ return a.x * b.x + a.y * b.y + a.z * b.z; }

/** Right-handed cross product a x b. */
inline float3 cross(const float3& a, const float3& b)
{
	return float3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

inline float length(const float3& v)					{ return std::sqrt(dot(v, v)); }

/** Unit vector in the direction of v, or (0,0,0) when v is shorter than the smallest normal float or not a number. */
float3 normalize0(const float3& v);

} // math

#endif
