#ifndef PLATFORM_APPLICATIONDELEGATE_H
#define PLATFORM_APPLICATIONDELEGATE_H

#include <platform/LocalNotification.h>

namespace platform {

// Receives the application's lifecycle on the main thread; owned by the caller of Application::run.
class ApplicationDelegate
{
public:
	virtual ~ApplicationDelegate() = default;

	virtual void didFinishLaunching() = 0;
	virtual void didBecomeActive() = 0;
	virtual void willResignActive() = 0;
	// A local notification arrived while the application runs; ignored unless overridden.
	virtual void didReceiveLocalNotification(const LocalNotification&) {}
	// The last call: after it the loop has ended and run returns.
	virtual void willTerminate() = 0;
};

} // platform

#endif
