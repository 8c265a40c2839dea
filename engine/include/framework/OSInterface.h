#ifndef FRAMEWORK_OSINTERFACE_H
#define FRAMEWORK_OSINTERFACE_H

#include <gr/Context.h>
#include <lang/String.h>

namespace framework
{

/**
 * The application's view of the operating system: the requests it may make of the platform and
 * the default data path. Created and deleted by the application shell; the application only
 * borrows it.
 */
class OSInterface
{
public:
	OSInterface();
	virtual ~OSInterface();

	virtual void loadShaders(const lang::String& path, bool reload) = 0;
	virtual lang::String getDefaultDataPath() = 0;
	virtual void setResolution(int width, int height) = 0;
	virtual void setOrientation(gr::Context::OrientationType orientation) = 0;
	virtual void allowSleep(bool allow) = 0;
	virtual bool isSilentProfile() = 0;
	/** Restarts the frame loop that stopUpdate halted (at the next activation when inactive). */
	virtual void startUpdate() = 0;
	/** Halts the frame loop until startUpdate, pauses and resumes included. */
	virtual void stopUpdate() = 0;
	virtual void setFullscreen(bool fullscreen) = 0;
	virtual bool isFullscreen() const = 0;
	virtual bool captureMouse(bool capture) = 0;
	virtual bool isMouseCaptured() const = 0;
	virtual void setCursor(const lang::String& name) = 0;

private:
	OSInterface(const OSInterface&);
	OSInterface& operator=(const OSInterface&);
};

} // framework

#endif
