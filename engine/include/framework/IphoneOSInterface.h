#ifndef FRAMEWORK_IPHONEOSINTERFACE_H
#define FRAMEWORK_IPHONEOSINTERFACE_H

#include <framework/OSInterface.h>

class AppController;

namespace framework
{

/**
 * The OS interface of the application shell: requests go to the application delegate that
 * created it (borrowed) and to the shared application. Created and deleted by the delegate.
 */
class IphoneOSInterface : public OSInterface
{
public:
	explicit IphoneOSInterface(AppController* controller);
	~IphoneOSInterface();

	void loadShaders(const lang::String& path, bool reload) override;
	lang::String getDefaultDataPath() override;
	void setResolution(int width, int height) override;
	void setOrientation(gr::Context::OrientationType orientation) override;
	void allowSleep(bool allow) override;
	bool isSilentProfile() override;
	void startUpdate() override;
	void stopUpdate() override;
	void setFullscreen(bool fullscreen) override;
	bool isFullscreen() const override;
	bool captureMouse(bool capture) override;
	bool isMouseCaptured() const override;
	void setCursor(const lang::String& name) override;

	void setDefaultDataPath(const lang::String& path)		{ m_defaultDataPath = path; }
	/** The application halted the frame loop itself. */
	bool updateStopped() const								{ return m_updateStopped; }

private:
	AppController* m_controller;
	lang::String m_defaultDataPath;
	bool m_updateStopped;
};

} // framework

#endif
