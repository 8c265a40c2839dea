#ifndef MATH_FLOAT2_H
#define MATH_FLOAT2_H

#include <cmath>

namespace math
{

/** Two-component float vector; a plain value, copied freely, owns nothing. */
struct float2
{
	float x;
	float y;

	float2() : x(0.f), y(0.f) {}
	float2(float x0, float y0) : x(x0), y(y0) {}

	float& operator[](int i)							{ return (&x)[i]; }
	const float& operator[](int i) const				{ return (&x)[i]; }

	float2 operator-() const							{ return float2(-x, -y); }
	float2 operator+(const float2& o) const				{ return float2(x + o.x, y + o.y); }
	float2 operator-(const float2& o) const				{ return float2(x - o.x, y - o.y); }
	float2 operator*(float s) const						{ return float2(x * s, y * s); }
	float2 operator/(float s) const						{ return float2(x / s, y / s); }
	float2& operator+=(const float2& o)					{ x += o.x; y += o.y; return *this; }
	float2& operator-=(const float2& o)					{ x -= o.x; y -= o.y; return *this; }
	float2& operator*=(float s)							{ x *= s; y *= s; return *this; }
	float2& operator/=(float s)							{ x /= s; y /= s; return *this; }
	bool operator==(const float2& o) const				{ return x == o.x && y == o.y; }
	bool operator!=(const float2& o) const				{ return !(*this == o); }
};

inline float2 operator*(float s, const float2& v)		{ return v * s; }
inline float dot(const float2& a, const float2& b)		{ return a.x * b.x + a.y * b.y; }

inline float length(const float2& v)					{ return std::sqrt(dot(v, v)); }

} // math

#endif
