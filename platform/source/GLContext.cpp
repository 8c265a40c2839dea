#include <platform/GLContext.h>
#include <platform/Application.h>

namespace platform {

int GLContext::drawableWidth() const
{
	return Application::SCREEN_WIDTH;
}

int GLContext::drawableHeight() const
{
	return Application::SCREEN_HEIGHT;
}

} // platform
