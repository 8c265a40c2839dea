#include <math/float4x4.h>

namespace math
{

float4x4::float4x4()
{
	for (float& e : m)
		e = 0.f;
}

float4x4::float4x4(float d) :
	float4x4()
{
	m[0] = m[5] = m[10] = m[15] = d;
}

float4x4::float4x4(const float3x3& rot, const float3& t) :
	float4x4(float3x4(rot, t))
{
}

float4x4::float4x4(const float3x4& tm)
{
	for (int i = 0; i < 12; ++i)
		m[i] = tm.m[i];
	m[12] = m[13] = m[14] = 0.f;
	m[15] = 1.f;
}

float4x4 float4x4::operator*(const float4x4& other) const
{
	float4x4 r;
	for (int i = 0; i < 4; ++i)
		for (int j = 0; j < 4; ++j)
			r.m[i * 4 + j] = m[i * 4] * other.m[j] + m[i * 4 + 1] * other.m[4 + j]
				+ m[i * 4 + 2] * other.m[8 + j] + m[i * 4 + 3] * other.m[12 + j];
	return r;
}

float4 float4x4::transform(const float4& v) const
{
	return float4(m[0] * v.x + m[1] * v.y + m[2] * v.z + m[3] * v.w,
		m[4] * v.x + m[5] * v.y + m[6] * v.z + m[7] * v.w,
		m[8] * v.x + m[9] * v.y + m[10] * v.z + m[11] * v.w,
		m[12] * v.x + m[13] * v.y + m[14] * v.z + m[15] * v.w);
}

bool float4x4::operator==(const float4x4& other) const
{
	for (int i = 0; i < 16; ++i)
		if (m[i] != other.m[i])
			return false;
	return true;
}

float4x4 float4x4::transpose() const
{
	float4x4 r;
	for (int i = 0; i < 4; ++i)
		for (int j = 0; j < 4; ++j)
			r.m[j * 4 + i] = m[i * 4 + j];
	return r;
}

float4x4 float4x4::inverse() const
{
	// Cofactor expansion through the 2x2 minors of the upper and lower row pairs.
	const float s0 = m[0] * m[5] - m[4] * m[1];
	const float s1 = m[0] * m[6] - m[4] * m[2];
	const float s2 = m[0] * m[7] - m[4] * m[3];
	const float s3 = m[1] * m[6] - m[5] * m[2];
	const float s4 = m[1] * m[7] - m[5] * m[3];
	const float s5 = m[2] * m[7] - m[6] * m[3];
	const float c5 = m[10] * m[15] - m[14] * m[11];
	const float c4 = m[9] * m[15] - m[13] * m[11];
	const float c3 = m[9] * m[14] - m[13] * m[10];
	const float c2 = m[8] * m[15] - m[12] * m[11];
	const float c1 = m[8] * m[14] - m[12] * m[10];
	const float c0 = m[8] * m[13] - m[12] * m[9];
	const float k = 1.f / (s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0);

	float4x4 r;
	r.m[0] = (m[5] * c5 - m[6] * c4 + m[7] * c3) * k;
	r.m[1] = (-m[1] * c5 + m[2] * c4 - m[3] * c3) * k;
	r.m[2] = (m[13] * s5 - m[14] * s4 + m[15] * s3) * k;
	r.m[3] = (-m[9] * s5 + m[10] * s4 - m[11] * s3) * k;
	r.m[4] = (-m[4] * c5 + m[6] * c2 - m[7] * c1) * k;
	r.m[5] = (m[0] * c5 - m[2] * c2 + m[3] * c1) * k;
	r.m[6] = (-m[12] * s5 + m[14] * s2 - m[15] * s1) * k;
	r.m[7] = (m[8] * s5 - m[10] * s2 + m[11] * s1) * k;
	r.m[8] = (m[4] * c4 - m[5] * c2 + m[7] * c0) * k;
	r.m[9] = (-m[0] * c4 + m[1] * c2 - m[3] * c0) * k;
	r.m[10] = (m[12] * s4 - m[13] * s2 + m[15] * s0) * k;
	r.m[11] = (-m[8] * s4 + m[9] * s2 - m[11] * s0) * k;
	r.m[12] = (-m[4] * c3 + m[5] * c1 - m[6] * c0) * k;
	r.m[13] = (m[0] * c3 - m[1] * c1 + m[2] * c0) * k;
	r.m[14] = (-m[12] * s3 + m[13] * s1 - m[14] * s0) * k;
	r.m[15] = (m[8] * s3 - m[9] * s1 + m[10] * s0) * k;
	return r;
}

void float4x4::setPerspectiveProjection(float fov, float front, float back, float aspect)
{
	for (float& e : m)
		e = 0.f;
	const float t = std::tan(fov * 0.5f);
	const float m00 = std::fabs(1.f / t);
	m[0] = m00;
	// Kept in this evaluation order: a zero front distance must give a non-number, not m00 * aspect.
	m[5] = (2.f * front) / (((2.f * front) / m00) / aspect);
	const float q = back / (back - front);
	m[10] = q;
	m[11] = -(q * front);
	m[14] = 1.f;
}

} // math
