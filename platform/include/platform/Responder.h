#ifndef PLATFORM_RESPONDER_H
#define PLATFORM_RESPONDER_H

#include <platform/Touch.h>
#include <string>
#include <vector>

namespace platform {

// Receives the user's input on the main thread; not owned by the application that calls it.
class Responder
{
public:
	virtual ~Responder() = default;

	// The touches whose phase changed, in the order the platform reports them.
	virtual void touches(TouchPhase phase, const std::vector<Touch>& changed) = 0;
	// A key by its name ("A", "F1", "LEFT", "VOLUME_UP", ...; see Application::keyNames).
	virtual void key(const std::string& name, bool down) = 0;
	// Wheel steps, positive away from the user.
	virtual void wheel(int delta) = 0;
};

} // platform

#endif
