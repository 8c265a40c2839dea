#include <pf/AccelerometerImpl.h>

namespace pf
{

math::float3 AccelerometerImpl::sm_data(0, 0, 0);
math::float3 AccelerometerImpl::sm_dataSmoothed(0, 0, 0);

void AccelerometerImpl::setData(const math::float3& a, gr::Context::OrientationType orientation)
{
	switch (orientation)
	{
	case 0:
		sm_data = math::float3(a.x, a.y, -a.z);
		break;
	case 1:
		sm_data = math::float3(-a.y, a.x, -a.z);
		break;
	case 2:
		sm_data = math::float3(a.x, -a.y, -a.z);
		break;
	case 3:
		sm_data = math::float3(a.y, a.x, -a.z);
		break;
	default:
		break;
	}
	// First-order low-pass: the old value weighs 0.8, the new reading 0.2.
	sm_dataSmoothed = sm_dataSmoothed * 0.8f + sm_data * 0.2f;
}

void AccelerometerImpl::resetData()
{
	sm_data = math::float3(0, 0, 0);
	sm_dataSmoothed = math::float3(0, 0, 0);
}

} // pf
