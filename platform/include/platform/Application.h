#ifndef PLATFORM_APPLICATION_H
#define PLATFORM_APPLICATION_H

#include <platform/Alert.h>
#include <platform/AudioSession.h>
#include <platform/DisplayRotation.h>
#include <platform/LaunchOptions.h>
#include <platform/MainQueue.h>
#include <platform/Touch.h>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class AccelerometerDelegate;
class ApplicationDelegate;
class DisplayLink;
class GameService;
class GLContext;
class InputScript;
class Responder;

// The shared application: the one object through which the program reaches the platform (main
// loop, screen, status bar, input, timers, GL). Created by create() from the command line and
// owned by main; at most one lives at a time and shared() finds it. Backends: a window (SDL) and
// headless (EGL surfaceless, simulated clock, scripted input).
class Application
{
public:
	// Portrait screen size in points (and pixels: the scale is 1).
	static constexpr int SCREEN_WIDTH = 768;
	static constexpr int SCREEN_HEIGHT = 1024;
	// Exit code of a scripted run whose capture failed or never ran.
	static constexpr int EXIT_CAPTURE_FAILED = 1;
	// Status bar orientations.
	enum StatusBarOrientation
	{
		PORTRAIT = 1,
		PORTRAIT_UPSIDE_DOWN = 2,
		LANDSCAPE_RIGHT = 3,
		LANDSCAPE_LEFT = 4,
	};

	// Lifecycle notifications, posted to the default notification center on the main thread
	// right after the delegate heard of the change.
	static constexpr const char* DID_FINISH_LAUNCHING_NOTIFICATION = "ApplicationDidFinishLaunchingNotification";
	static constexpr const char* DID_BECOME_ACTIVE_NOTIFICATION = "ApplicationDidBecomeActiveNotification";
	static constexpr const char* WILL_RESIGN_ACTIVE_NOTIFICATION = "ApplicationWillResignActiveNotification";
	static constexpr const char* WILL_TERMINATE_NOTIFICATION = "ApplicationWillTerminateNotification";

	// Throws std::runtime_error when the backend cannot start.
	static std::unique_ptr<Application> create(const LaunchOptions& options);
	static Application* shared();
	// The key names that input can carry.
	static const std::vector<std::string>& keyNames();

	virtual ~Application();
	Application(const Application&) = delete;
	Application& operator=(const Application&) = delete;

	// Runs the loop until the application is closed or terminated: didFinishLaunching, one
	// didBecomeActive, then events and display refreshes; willTerminate last, after which the
	// shared background threads are joined, their HTTP transfers ended. Returns the exit code.
	int run(ApplicationDelegate& delegate);
	// Ends the loop after the current event with this exit code; once ending, later calls change nothing.
	void terminate(int exitCode);
	bool terminating() const { return m_terminating; }

	// Monotonic clock of the frame loop, microseconds.
	virtual int64_t currentTimeMicros() const = 0;
	virtual bool openURL(const std::string& url) = 0;
	// A new GL context on the screen, not yet current; null when none can be made.
	virtual std::unique_ptr<GLContext> createGLContext() = 0;

	const LaunchOptions& options() const { return m_options; }
	std::string systemVersion() const;

	void setStatusBarHidden(bool hidden) { m_statusBarHidden = hidden; }
	bool statusBarHidden() const { return m_statusBarHidden; }
	void setStatusBarOrientation(int orientation);
	int statusBarOrientation() const { return m_statusBarOrientation; }
	// How the portrait screen is turned to make the shown picture, by the status bar orientation.
	DisplayRotation screenRotation() const;
	virtual void setIdleTimerDisabled(bool disabled) { m_idleTimerDisabled = disabled; }
	bool idleTimerDisabled() const { return m_idleTimerDisabled; }
	void setBadgeNumber(int n) { m_badgeNumber = n; }
	int badgeNumber() const { return m_badgeNumber; }

	// Readings go to the delegate every interval seconds (not owned; null stops them).
	void setAccelerometerDelegate(AccelerometerDelegate* delegate, double interval);
	double accelerometerInterval() const { return m_accelerometerInterval; }
	// Input goes to the responder (not owned; null drops it).
	void setResponder(Responder* responder) { m_responder = responder; }

	// Asks the user; the index of the chosen button reaches done on the main thread, later.
	void showAlert(const Alert& alert, std::function<void(int button)> done);

	std::unique_ptr<DisplayLink> createDisplayLink(std::function<void()> tick);
	MainQueue& mainQueue() { return m_mainQueue; }
	// The device's game service, made on first use from the launch options: the local player is
	// --player (else "Player" when headless, the login name with a window) and its store is
	// "game-service.txt" in the library directory.
	GameService& gameService();
	AudioSession& audioSession() { return m_audioSession; }

	// Called by DisplayLink.
	void addDisplayLink(DisplayLink* link);
	void removeDisplayLink(DisplayLink* link);

protected:
	explicit Application(const LaunchOptions& options);

	// The backend's loop, between launch and termination.
	virtual void loop() = 0;
	// Shows the alert and returns the chosen button.
	virtual int presentAlert(const Alert& alert) = 0;
	// Ends a run of the input script whose events from index nextEvent on never ran, after frames
	// display refreshes: names those events, and fails the run with EXIT_CAPTURE_FAILED when a
	// capture failed or never ran, also when the application had ended itself with success (an
	// earlier failure's code stays); otherwise ends it as terminate(0) does.
	void endScriptedRun(const InputScript& script, size_t nextEvent, int frames, bool captureFailed);
	// The next alert is answered with this button without being shown.
	void answerNextAlert(int button) { m_alertAnswers.push_back(button); }

	void becomeActive();
	void resignActive();
	// A touch at a point of the shown picture, turned into view coordinates.
	void dispatchTouch(TouchPhase phase, std::uintptr_t finger, float screenX, float screenY);
	void dispatchKey(const std::string& name, bool down);
	void dispatchWheel(int delta);
	// A local notification for the running application; the event name goes in its user info
	// under "eventName" unless it is empty.
	void dispatchNotification(const std::string& eventName);
	// The accelerometer's current reading goes to its delegate when its interval has passed.
	void sampleAccelerometer(int64_t now, double x, double y, double z);
	// One display refresh: the main queue's work, then every display link.
	void refreshDisplay();

private:
	// Posts the termination notification and joins the shared background threads, ending the
	// HTTP transfers they wait for.
	void endObservers();

	LaunchOptions m_options;
	ApplicationDelegate* m_delegate = nullptr;
	Responder* m_responder = nullptr;
	AccelerometerDelegate* m_accelerometer = nullptr;
	double m_accelerometerInterval = 0;
	int64_t m_nextReading = 0;
	std::vector<DisplayLink*> m_displayLinks;
	std::deque<int> m_alertAnswers;
	MainQueue m_mainQueue;
	// After the queue: it withdraws its completions from the queue when destroyed.
	std::unique_ptr<GameService> m_gameService;
	AudioSession m_audioSession;
	bool m_active = false;
	bool m_terminating = false;
	int m_exitCode = 0;
	bool m_statusBarHidden = false;
	int m_statusBarOrientation = PORTRAIT;
	bool m_idleTimerDisabled = false;
	int m_badgeNumber = 0;
};

} // platform

#endif
