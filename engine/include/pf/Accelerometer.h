#ifndef PF_ACCELEROMETER_H
#define PF_ACCELEROMETER_H

#include <lang/Object.h>
#include <lang/Ptr.h>
#include <math/float3.h>

namespace pf
{

class AccelerometerImpl;

/** The application's handle on the accelerometer; owns its implementation, shares the readings with every other handle. */
class Accelerometer : public lang::Object
{
public:
	Accelerometer();
	~Accelerometer();

	void start();
	void stop();
	/** The smoothed gravity vector in screen axes while started, (0, 0, 0) while stopped. */
	math::float3 getDataFiltered() const;

private:
	lang::Ptr<AccelerometerImpl> m_impl;
};

} // pf

#endif
