#ifndef PLATFORM_SDLAPPLICATION_H
#define PLATFORM_SDLAPPLICATION_H

#include <platform/Application.h>
#include <platform/InputScript.h>
#include <SDL.h>
#include <string>
#include <vector>

namespace platform {

// The application in a desktop window: a 1024 x 768 SDL window showing the portrait back buffer
// turned by the status bar orientation, frames paced by its own timer, the mouse and touch
// screen as fingers, the keyboard as keys, Ctrl+F tilting the simulated accelerometer between
// the two landscape positions. A script's events are injected as SDL events. Owned by main.
class SdlApplication : public Application
{
public:
	// Window size in pixels.
	static constexpr int WINDOW_WIDTH = 1024;
	static constexpr int WINDOW_HEIGHT = 768;

	explicit SdlApplication(const LaunchOptions& options);
	~SdlApplication() override;

	int64_t currentTimeMicros() const override;
	bool openURL(const std::string& url) override;
	std::unique_ptr<GLContext> createGLContext() override;
	void setIdleTimerDisabled(bool disabled) override;

	// Where the shown picture lies in the window's drawable, in pixels.
	SDL_Rect pictureRect() const;
	// The file to capture the frame being presented to, empty for none; reported once.
	std::string takeCapture();
	void captureFailed() { m_captureFailed = true; }

protected:
	void loop() override;
	int presentAlert(const Alert& alert) override;

private:
	void handle(const SDL_Event& event);
	void inject(const ScriptEvent& event);
	void handleMouse(TouchPhase phase, int x, int y);
	// Window point to a point of the shown picture; false outside the picture.
	bool toScreen(float windowX, float windowY, float& screenX, float& screenY) const;
	void toWindow(float screenX, float screenY, int& windowX, int& windowY) const;

	SDL_Window* m_window = nullptr;
	InputScript m_script;
	size_t m_nextEvent = 0;
	int m_refreshes = 0;
	bool m_mouseDown = false;
	float m_tilt[3] = {-1, 0, 0};
	std::vector<std::string> m_captures;
	bool m_captureFailed = false;
};

} // platform

#endif
