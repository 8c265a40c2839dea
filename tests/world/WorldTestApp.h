#ifndef TESTS_WORLD_WORLDTESTAPP_H
#define TESTS_WORLD_WORLDTESTAPP_H

#include <framework/App.h>
#include <framework/OSInterface.h>

/** An OS interface that remembers what the game world asks of it. */
class WorldTestOS : public framework::OSInterface
{
public:
	void loadShaders(const lang::String&, bool) override {}
	lang::String getDefaultDataPath() override { return defaultDataPath; }
	void setResolution(int width, int height) override { resolutionWidth = width; resolutionHeight = height; }
	void setOrientation(gr::Context::OrientationType) override {}
	void allowSleep(bool allow) override { sleepAllowed = allow; }
	bool isSilentProfile() override { return false; }
	void startUpdate() override {}
	void stopUpdate() override {}
	void setFullscreen(bool on) override { fullscreen = on; }
	bool isFullscreen() const override { return fullscreen; }
	bool captureMouse(bool on) override { mouseCaptured = on; return true; }
	bool isMouseCaptured() const override { return mouseCaptured; }
	void setCursor(const lang::String&) override {}

	lang::String defaultDataPath;
	int resolutionWidth = 0;
	int resolutionHeight = 0;
	bool sleepAllowed = true;
	bool fullscreen = false;
	bool mouseCaptured = false;
};

/** The application base with nothing of its own; the game world only borrows it. */
class WorldTestApp : public framework::App
{
public:
	explicit WorldTestApp(framework::OSInterface* os) : App(os) {}
	void update(float, gr::Context*, int) override {}
};

#endif
