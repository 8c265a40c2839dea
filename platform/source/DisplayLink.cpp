#include <platform/DisplayLink.h>
#include <platform/Application.h>

namespace platform {

DisplayLink::DisplayLink(Application& application, std::function<void()> tick) :
	m_application(&application),
	m_tick(std::move(tick))
{
	m_application->addDisplayLink(this);
}

DisplayLink::~DisplayLink()
{
	invalidate();
}

void DisplayLink::setFrameInterval(int n)
{
	m_frameInterval = n < 1 ? 1 : n;
}

void DisplayLink::invalidate()
{
	if (m_application)
		m_application->removeDisplayLink(this);
	m_application = nullptr;
}

void DisplayLink::refresh()
{
	if (!valid())
		return;
	if (m_refreshes++ % m_frameInterval == 0)
		m_tick();
}

} // platform
