#ifndef PLATFORM_DISPLAYLINK_H
#define PLATFORM_DISPLAYLINK_H

#include <functional>

namespace platform {

class Application;

// A timer that fires on display refreshes, owned by whoever asked the application for it; it stops
// firing when invalidated or destroyed.
class DisplayLink
{
public:
	// Display refreshes a second.
	static constexpr int REFRESH_RATE = 60;

	DisplayLink(Application& application, std::function<void()> tick);
	~DisplayLink();
	DisplayLink(const DisplayLink&) = delete;
	DisplayLink& operator=(const DisplayLink&) = delete;

	// Fire once every n refreshes; a value below 1 counts as 1.
	void setFrameInterval(int n);
	int frameInterval() const { return m_frameInterval; }
	void invalidate();
	bool valid() const { return m_application != nullptr; }

	// Called by the application's loop at every refresh.
	void refresh();

private:
	Application* m_application;
	std::function<void()> m_tick;
	int m_frameInterval = 1;
	int m_refreshes = 0;
};

} // platform

#endif
