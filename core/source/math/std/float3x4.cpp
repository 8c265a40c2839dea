#include <math/float3x4.h>

namespace math
{

float3x4::float3x4()
{
	for (float& e : m)
		e = 0.f;
}

float3x4::float3x4(float d) :
	float3x4()
{
	m[0] = m[5] = m[10] = d;
}

float3x4::float3x4(const float3x3& rot, const float3& t)
{
	setRotation(rot);
	setTranslation(t);
}

float3x3 float3x4::rotation() const
{
	float3x3 r;
	for (int i = 0; i < 3; ++i)
		r.setRow(i, float3(m[i * 4], m[i * 4 + 1], m[i * 4 + 2]));
	return r;
}

void float3x4::setRotation(const float3x3& rot)
{
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 3; ++j)
			m[i * 4 + j] = rot.m[i * 3 + j];
}

float3x4 float3x4::operator*(const float3x4& other) const
{
	float3x4 r;
	for (int i = 0; i < 3; ++i)
	{
		for (int j = 0; j < 4; ++j)
			r.m[i * 4 + j] = m[i * 4] * other.m[j] + m[i * 4 + 1] * other.m[4 + j] + m[i * 4 + 2] * other.m[8 + j];
		r.m[i * 4 + 3] += m[i * 4 + 3];
	}
	return r;
}

bool float3x4::operator==(const float3x4& other) const
{
	for (int i = 0; i < 12; ++i)
		if (m[i] != other.m[i])
			return false;
	return true;
}

void float3x4::transform(const float3& p, float3* out) const
{
	*out = float3(m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3],
		m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
		m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]);
}

float3 float3x4::rotate(const float3& v) const
{
	return float3(m[0] * v.x + m[1] * v.y + m[2] * v.z,
		m[4] * v.x + m[5] * v.y + m[6] * v.z,
		m[8] * v.x + m[9] * v.y + m[10] * v.z);
}

float3x4 float3x4::inverse() const
{
	const float3x3 inv = rotation().inverse();
	return float3x4(inv, -(inv * translation()));
}

} // math
