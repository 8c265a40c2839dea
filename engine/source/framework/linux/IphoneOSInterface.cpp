#include <framework/IphoneOSInterface.h>
#include <framework/App.h>
#include <framework/AppController.h>
#include <platform/Application.h>

namespace framework
{

IphoneOSInterface::IphoneOSInterface(AppController* controller) :
	m_controller(controller),
	m_updateStopped(false)
{
}

IphoneOSInterface::~IphoneOSInterface()
{
}

void IphoneOSInterface::loadShaders(const lang::String&, bool)
{
}

lang::String IphoneOSInterface::getDefaultDataPath()
{
	return m_defaultDataPath;
}

void IphoneOSInterface::setResolution(int width, int height)
{
	if (gr::Context* context = m_controller->context())
		context->reset(width, height);
	if (App::initialized())
		App::get()->resolutionChanged();
}

void IphoneOSInterface::setOrientation(gr::Context::OrientationType orientation)
{
	gr::Context* context = m_controller->context();
	if (context && context->orientation() == orientation)
		return;
	const int statusBar = AppController::statusBarOrientationFor(orientation);
	if (statusBar)
		m_controller->application().setStatusBarOrientation(statusBar);
	if (context)
		context->setOrientation(orientation);
	if (App::initialized())
		App::get()->orientationChanged();
}

void IphoneOSInterface::allowSleep(bool allow)
{
	m_controller->application().setIdleTimerDisabled(!allow);
}

bool IphoneOSInterface::isSilentProfile()
{
	return false;
}

void IphoneOSInterface::startUpdate()
{
	m_updateStopped = false;
	if (m_controller->allowUpdate())
		m_controller->startUpdate();
}

void IphoneOSInterface::stopUpdate()
{
	m_updateStopped = true;
	m_controller->stopUpdate();
}

void IphoneOSInterface::setFullscreen(bool)
{
}

bool IphoneOSInterface::isFullscreen() const
{
	return true;
}

bool IphoneOSInterface::captureMouse(bool)
{
	return true;
}

bool IphoneOSInterface::isMouseCaptured() const
{
	return false;
}

void IphoneOSInterface::setCursor(const lang::String&)
{
}

} // framework
