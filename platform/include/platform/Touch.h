#ifndef PLATFORM_TOUCH_H
#define PLATFORM_TOUCH_H

#include <cstdint>

namespace platform {

// The stage of a finger's life that an event reports.
enum class TouchPhase
{
	Began,
	Moved,
	Ended,
	Cancelled,
};

// One finger on the glass, a plain value: an identity that stays the same for the finger's whole
// life and its location in the view in points (portrait view coordinates, origin top left).
struct Touch
{
	std::uintptr_t id;
	float x;
	float y;
};

} // platform

#endif
