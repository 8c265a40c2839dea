#include <math/float3x3.h>

namespace math
{

float3x3::float3x3()
{
	for (float& e : m)
		e = 0.f;
}

float3x3::float3x3(float d) :
	float3x3()
{
	m[0] = m[4] = m[8] = d;
}

float3x3::float3x3(const float3& axis, float angle)
{
	// Through the unit quaternion of the rotation.
	const float n = 1.f / std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
	const float s = std::sin(angle * 0.5f);
	const float x = s * axis.x * n;
	const float y = s * axis.y * n;
	const float z = s * axis.z * n;
	const float w = std::cos(angle * 0.5f);

	m[0] = 1.f - 2.f * (y * y + z * z);
	m[1] = 2.f * (x * y - z * w);
	m[2] = 2.f * (x * z + y * w);
	m[3] = 2.f * (x * y + z * w);
	m[4] = 1.f - 2.f * (x * x + z * z);
	m[5] = 2.f * (y * z - x * w);
	m[6] = 2.f * (x * z - y * w);
	m[7] = 2.f * (y * z + x * w);
	m[8] = 1.f - 2.f * (x * x + y * y);
}

float3x3 float3x3::operator*(const float3x3& other) const
{
	float3x3 r;
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 3; ++j)
			r.m[i * 3 + j] = m[i * 3] * other.m[j] + m[i * 3 + 1] * other.m[3 + j] + m[i * 3 + 2] * other.m[6 + j];
	return r;
}

float3 float3x3::operator*(const float3& v) const
{
	return float3(m[0] * v.x + m[1] * v.y + m[2] * v.z,
		m[3] * v.x + m[4] * v.y + m[5] * v.z,
		m[6] * v.x + m[7] * v.y + m[8] * v.z);
}

bool float3x3::operator==(const float3x3& other) const
{
	for (int i = 0; i < 9; ++i)
		if (m[i] != other.m[i])
			return false;
	return true;
}

float3x3 float3x3::transpose() const
{
	float3x3 r;
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 3; ++j)
			r.m[j * 3 + i] = m[i * 3 + j];
	return r;
}

float float3x3::determinant() const
{
	return m[0] * (m[4] * m[8] - m[5] * m[7])
		- m[1] * (m[3] * m[8] - m[5] * m[6])
		+ m[2] * (m[3] * m[7] - m[4] * m[6]);
}

float3x3 float3x3::inverse() const
{
	// Adjugate divided by the determinant.
	float3x3 r;
	r.m[0] = m[4] * m[8] - m[5] * m[7];
	r.m[1] = m[2] * m[7] - m[1] * m[8];
	r.m[2] = m[1] * m[5] - m[2] * m[4];
	r.m[3] = m[5] * m[6] - m[3] * m[8];
	r.m[4] = m[0] * m[8] - m[2] * m[6];
	r.m[5] = m[2] * m[3] - m[0] * m[5];
	r.m[6] = m[3] * m[7] - m[4] * m[6];
	r.m[7] = m[1] * m[6] - m[0] * m[7];
	r.m[8] = m[0] * m[4] - m[1] * m[3];
	const float k = 1.f / determinant();
	for (float& e : r.m)
		e *= k;
	return r;
}

void float3x3::generateOrthonormalBasisFromZ(const float3& z, const float3& preferred)
{
	const float3 candidates[] = {preferred, float3(1.f, 0.f, 0.f), float3(0.f, 0.f, 1.f), float3(0.f, 1.f, 0.f)};
	const float minLengthSquared = 1e-10f;

	float3 x(1.f, 0.f, 0.f);
	float3 y(0.f, 1.f, 0.f);
	for (const float3& q : candidates)
	{
		const float3 xc = cross(q, z);
		const float lengthSquared = dot(xc, xc);
		if (lengthSquared >= minLengthSquared)
		{
			x = xc * (1.f / std::sqrt(lengthSquared));
			y = cross(z, x);
			break;
		}
	}
	setColumn(0, x);
	setColumn(1, y);
	setColumn(2, z);
}

void float3x3::generateOrthonormalBasisFromZ(const float3& z)
{
	generateOrthonormalBasisFromZ(z, float3(0.f, 1.f, 0.f));
}

} // math
