#ifndef PLATFORM_ACCELEROMETERDELEGATE_H
#define PLATFORM_ACCELEROMETERDELEGATE_H

namespace platform {

// Receives accelerometer readings on the main thread, in units of g in the portrait device axes;
// not owned by the application that calls it.
class AccelerometerDelegate
{
public:
	virtual ~AccelerometerDelegate() = default;

	virtual void didAccelerate(double x, double y, double z) = 0;
};

} // platform

#endif
