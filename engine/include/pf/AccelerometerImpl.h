#ifndef PF_ACCELEROMETERIMPL_H
#define PF_ACCELEROMETERIMPL_H

#include <gr/Context.h>
#include <lang/Object.h>
#include <math/float3.h>

namespace pf
{

/**
 * The accelerometer's state: every handle's started flag, and the process-wide last reading and
 * smoothed value in screen axes (units of g). Held by its handle through lang::Ptr.
 */
class AccelerometerImpl : public lang::Object
{
public:
	AccelerometerImpl() : started(false) {}

	/** One platform reading in device axes, remapped by the orientation and low-pass filtered. */
	static void setData(const math::float3& reading, gr::Context::OrientationType orientation);
	/** Forgets every reading (the state at process start). */
	static void resetData();

	bool started;

	static math::float3 sm_data;
	static math::float3 sm_dataSmoothed;
};

} // pf

#endif
