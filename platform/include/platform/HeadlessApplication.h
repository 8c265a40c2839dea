#ifndef PLATFORM_HEADLESSAPPLICATION_H
#define PLATFORM_HEADLESSAPPLICATION_H

#include <platform/Application.h>
#include <platform/InputScript.h>
#include <string>
#include <vector>

namespace platform {

class HeadlessDrawable;

// The application without a window: a surfaceless GL context, a clock that advances exactly one
// display refresh per loop turn, input from a script, captures of chosen frames as PNG files,
// URLs recorded instead of opened, and alerts answered by the script or else cancelled.
// SIGINT and SIGTERM end the run through the termination sequence. Owned by main, like every
// Application.
class HeadlessApplication : public Application
{
public:
	// Clock reading at the first refresh, microseconds.
	static constexpr int64_t START_TIME = 1000000;

	explicit HeadlessApplication(const LaunchOptions& options);

	int64_t currentTimeMicros() const override;
	bool openURL(const std::string& url) override;
	std::unique_ptr<GLContext> createGLContext() override;

	const std::vector<std::string>& openedURLs() const { return m_openedURLs; }
	// Alerts that were shown, in order; each is written to the standard error and answered with
	// its cancel button.
	const std::vector<Alert>& shownAlerts() const { return m_shownAlerts; }
	// Called by the drawable as it goes.
	void drawableDestroyed(HeadlessDrawable* drawable);

protected:
	void loop() override;
	int presentAlert(const Alert& alert) override;

private:
	void deliver(const ScriptEvent& event);
	void capture(const std::string& name);

	InputScript m_script;
	size_t m_nextEvent = 0;
	int m_frame = 0;
	float m_tilt[3] = {-1, 0, 0};
	std::vector<std::string> m_openedURLs;
	std::vector<Alert> m_shownAlerts;
	HeadlessDrawable* m_drawable = nullptr;
	bool m_captureFailed = false;
};

} // platform

#endif
