#include <math/Domain.h>
#include <math/RandomUtil.h>
#include <cstring>

namespace math
{

namespace
{
	struct TypeInfo
	{
		const char* keyword;
		int parameterCount;
	};

	// Indexed by DomainType.
	const TypeInfo TYPES[Domain::DOMAINTYPE_COUNT] =
	{
		{"NONE", 0},
		{"CONSTANT", 1},
		{"RANGE", 2},
		{"POINT", 3},
		{"SPHERE", 5},
		{"LINE", 6},
		{"BOX", 6},
		{"CYLINDER", 8},
		{"DISK", 8},
		{"RECTANGLE", 9},
		{"TRIANGLE", 9},
		{"POINT_2D", 2},
		{"CIRCLE_2D", 4},
		{"LINE_2D", 4},
		{"BOX_2D", 4},
		{"RECTANGLE_2D", 6},
		{"TRIANGLE_2D", 6},
	};
}

Domain::Domain() :
	m_type(NONE)
{
	for (float& p : m_params)
		p = 0.f;
}

void Domain::setParameter(int i, float value)
{
	if (i >= 0 && i < MAX_PARAMETERS)
		m_params[i] = value;
}

int Domain::getParameterCount(DomainType type)
{
	return type >= NONE && type < DOMAINTYPE_COUNT ? TYPES[type].parameterCount : 0;
}

Domain::DomainType Domain::toDomainType(const char* text)
{
	if (text)
	{
		for (int i = 0; i < DOMAINTYPE_COUNT; ++i)
			if (std::strcmp(text, TYPES[i].keyword) == 0)
				return static_cast<DomainType>(i);
	}
	return DOMAINTYPE_COUNT;
}

float2 Domain::getRandomFloat2() const
{
	const float* p = m_params;
	const float3 a(p[0], p[1], p[2]);
	const float3 b(p[3], p[4], p[5]);
	const float3 c(p[6], p[7], p[8]);

	switch (m_type)
	{
	case CONSTANT:		return float2(p[0], 0.f);
	case RANGE:			return float2(RandomUtil::getRandom(p[0], p[1]), 0.f);
	case POINT:			return float2(p[0], p[1]);
	case SPHERE:		return a.xy() + RandomUtil::getPointInSphere(p[3], p[4]).xy();
	case LINE:			return RandomUtil::getPointOnLine(a, b).xy();
	case BOX:			return RandomUtil::getPointInBox(a, b).xy();
	case CYLINDER:		return RandomUtil::getPointInCylinder(a, b, p[6], p[7]).xy();
	case DISK:			return RandomUtil::getPointOnDisk(a, b, p[6], p[7]).xy();
	case RECTANGLE:		return RandomUtil::getPointOnRectangle(a, b, c).xy();
	case TRIANGLE:		return RandomUtil::getPointOnTriangle(a, b, c).xy();
	case POINT_2D:		return float2(p[0], p[1]);
	case CIRCLE_2D:		return RandomUtil::getPointOnDisk(float2(p[0], p[1]), p[2], p[3]);
	case LINE_2D:		return RandomUtil::getPointOnLine(float2(p[0], p[1]), float2(p[2], p[3]));
	case BOX_2D:		return RandomUtil::getPointInBox(float2(p[0], p[1]), float2(p[2], p[3]));
	case RECTANGLE_2D:	return RandomUtil::getPointOnRectangle(float2(p[0], p[1]), float2(p[2], p[3]), float2(p[4], p[5]));
	case TRIANGLE_2D:	return RandomUtil::getPointOnTriangle(float2(p[0], p[1]), float2(p[2], p[3]), float2(p[4], p[5]));
	default:			return float2(0.f, 0.f);
	}
}

float Domain::getRandomFloat() const
{
	return getRandomFloat2().x;
}

float3 Domain::getRandomFloat3() const
{
	const float* p = m_params;
	const float3 a(p[0], p[1], p[2]);
	const float3 b(p[3], p[4], p[5]);
	const float3 c(p[6], p[7], p[8]);

	switch (m_type)
	{
	case POINT:			return a;
	case SPHERE:		return a + RandomUtil::getPointInSphere(p[3], p[4]);
	case LINE:			return RandomUtil::getPointOnLine(a, b);
	case BOX:			return RandomUtil::getPointInBox(a, b);
	case CYLINDER:		return RandomUtil::getPointInCylinder(a, b, p[6], p[7]);
	case DISK:			return RandomUtil::getPointOnDisk(a, b, p[6], p[7]);
	case RECTANGLE:		return RandomUtil::getPointOnRectangle(a, b, c);
	case TRIANGLE:		return RandomUtil::getPointOnTriangle(a, b, c);
	default:
	{
		const float2 v = getRandomFloat2();
		return float3(v.x, v.y, 0.f);
	}
	}
}

} // math
