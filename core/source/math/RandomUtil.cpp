#include <math/RandomUtil.h>
#include <math/float3x3.h>
#include <cmath>
#include <cstdlib>

namespace math
{

namespace
{
	// 2 pi rounded to float, as the angle scale of the disk and sphere samplers.
	const float TWO_PI = 6.2831855f;
}

float RandomUtil::random()
{
	// rand() runs to 2^31 - 1; scaled in double and rounded, its 64 largest values give exactly 1.
	return static_cast<float>(static_cast<double>(std::rand()) * (1.0 / 2147483648.0));
}

float RandomUtil::getRandom(float a, float b)
{
	return random() * (b - a) + a;
}

float3 RandomUtil::getPointOnLine(const float3& a, const float3& b)
{
	const float t = random();
	return a + t * (b - a);
}

float2 RandomUtil::getPointOnLine(const float2& a, const float2& b)
{
	const float t = random();
	return a + t * (b - a);
}

float3 RandomUtil::getPointInBox(const float3& min, const float3& max)
{
	float3 p;
	for (int i = 0; i < 3; ++i)
		p[i] = min[i] + random() * (max[i] - min[i]);
	return p;
}

float2 RandomUtil::getPointInBox(const float2& min, const float2& max)
{
	float2 p;
	for (int i = 0; i < 2; ++i)
		p[i] = min[i] + random() * (max[i] - min[i]);
	return p;
}

float3 RandomUtil::getPointOnRectangle(const float3& corner, const float3& edge1, const float3& edge2)
{
	const float u = random();
	const float v = random();
	return corner + u * edge1 + v * edge2;
}

float2 RandomUtil::getPointOnRectangle(const float2& corner, const float2& edge1, const float2& edge2)
{
	const float u = random();
	const float v = random();
	return corner + u * edge1 + v * edge2;
}

namespace
{
	// Two draws in the unit triangle s + t <= 1: the square's upper half is folded onto the lower one.
	void drawTriangleWeights(float* s, float* t)
	{
		*s = RandomUtil::random();
		*t = RandomUtil::random();
		if (*s + *t >= 1.f)
		{
			*s = 1.f - *s;
			*t = 1.f - *t;
		}
	}
}

float3 RandomUtil::getPointOnTriangle(const float3& corner, const float3& edge1, const float3& edge2)
{
	float s, t;
	drawTriangleWeights(&s, &t);
	return corner + s * edge1 + t * edge2;
}

float2 RandomUtil::getPointOnTriangle(const float2& corner, const float2& edge1, const float2& edge2)
{
	float s, t;
	drawTriangleWeights(&s, &t);
	return corner + s * edge1 + t * edge2;
}

void RandomUtil::getPointOnDisk(float r1, float r2, float* x, float* y)
{
	const float u = random();
	const float distance = r2 + (r1 - r2) * u * u;
	const float angle = random() * TWO_PI;
	*x = distance * std::cos(angle);
	*y = distance * std::sin(angle);
}

float2 RandomUtil::getPointOnDisk(const float2& centre, float r1, float r2)
{
	float2 p;
	getPointOnDisk(r1, r2, &p.x, &p.y);
	return centre + p;
}

float3 RandomUtil::getPointOnDisk(const float3& centre, const float3& normal, float r1, float r2)
{
	float3x3 basis;
	basis.generateOrthonormalBasisFromZ(normalize0(normal));
	float x, y;
	getPointOnDisk(r1, r2, &x, &y);
	return centre + x * basis.getColumn(0) + y * basis.getColumn(1);
}

float3 RandomUtil::getPointInCylinder(const float3& a, const float3& b, float r1, float r2)
{
	const float3 d = b - a;
	float3x3 basis;
	basis.generateOrthonormalBasisFromZ(normalize0(d));
	float x, y;
	getPointOnDisk(r1, r2, &x, &y);
	const float h = random();
	return a + x * basis.getColumn(0) + y * basis.getColumn(1) + h * d;
}

float3 RandomUtil::getPointInSphere(float r1, float r2)
{
	const float z = 2.f * (random() - 0.5f);
	const float angle = random() * TWO_PI;
	const float u = random();
	const float distance = r2 + (r1 - r2) * u * u * u;
	const float s = std::sqrt(1.f - z * z);
	return float3(std::cos(angle) * s * distance, std::sin(angle) * s * distance, z * distance);
}

} // math
