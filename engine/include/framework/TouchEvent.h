#ifndef FRAMEWORK_TOUCHEVENT_H
#define FRAMEWORK_TOUCHEVENT_H

namespace framework
{

/** One touch, a plain value: the finger's identity (the same while it stays on the glass) and its position in screen pixels after the orientation transform. */
struct TouchEvent
{
	int id;
	int x;
	int y;

	TouchEvent() : id(0), x(0), y(0) {}
	TouchEvent(int id0, int x0, int y0) : id(id0), x(x0), y(y0) {}
};

} // framework

#endif
