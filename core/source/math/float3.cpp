#include <math/float3.h>
#include <cfloat>

namespace math
{

float3 normalize0(const float3& v)
{
	const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
	// The negated test also rejects a length that is not a number.
	if (!(len >= FLT_MIN))
		return float3(0.f, 0.f, 0.f);
	const float k = 1.f / len;
	return float3(v.x * k, v.y * k, v.z * k);
}

} // math
