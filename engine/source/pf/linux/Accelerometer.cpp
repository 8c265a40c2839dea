#include <pf/Accelerometer.h>
#include <pf/AccelerometerImpl.h>

namespace pf
{

Accelerometer::Accelerometer() :
	m_impl(new AccelerometerImpl)
{
}

Accelerometer::~Accelerometer()
{
}

void Accelerometer::start()
{
	m_impl->started = true;
}

void Accelerometer::stop()
{
	m_impl->started = false;
}

math::float3 Accelerometer::getDataFiltered() const
{
	return m_impl->started ? AccelerometerImpl::sm_dataSmoothed : math::float3(0, 0, 0);
}

} // pf
