#ifndef FRAMEWORK_APPCONTROLLER_H
#define FRAMEWORK_APPCONTROLLER_H

#include <framework/App.h>
#include <gr/Context.h>
#include <lang/Ptr.h>
#include <platform/AccelerometerDelegate.h>
#include <platform/ApplicationDelegate.h>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace framework
{
class IphoneOSInterface;
}

namespace platform
{
class Application;
class DisplayLink;
}

class MyEAGLView;
class MyEAGLViewController;

/**
 * The application delegate: runs the launch sequence, the frame loop, pause, resume and
 * termination, and forwards accelerometer readings. Owns the view, its controller, the rendering
 * device, the OS interface and the application; borrows the platform application. One per process.
 */
class AppController : public platform::ApplicationDelegate, public platform::AccelerometerDelegate
{
public:
	/** Exit code of a process whose game failed with an exception. */
	static const int EXIT_GAME_FAILED = 1;
	/** Accelerometer readings a second. */
	static const int ACCELEROMETER_RATE = 30;

	explicit AppController(platform::Application& application);
	~AppController();

	/** The delegate of the running process, null when none. */
	static AppController* shared();

	void didFinishLaunching() override;
	void didBecomeActive() override;
	void willResignActive() override;
	void willTerminate() override;
	void didAccelerate(double x, double y, double z) override;
	void didReceiveLocalNotification(const platform::LocalNotification& notification) override;

	/** One frame: clamped time step, device time, the application's update. */
	void update();
	void startUpdate();
	void stopUpdate();
	void present();
	/**
	 * For an exception that left the game outside a frame (activation, input), inside the catch
	 * block: logs it as a frame's is logged, runs the termination sequence, returns the exit code.
	 */
	int terminateAfterException();

	MyEAGLViewController* getViewController() const			{ return m_viewController.get(); }
	MyEAGLView* view() const								{ return m_contentView.get(); }
	gr::Context* context() const							{ return m_context.ptr(); }
	framework::App* app() const								{ return m_app; }
	framework::IphoneOSInterface* os() const				{ return m_os; }
	const framework::App::Configuration& config() const		{ return m_config; }
	platform::Application& application() const				{ return m_application; }
	bool allowUpdate() const								{ return m_allowUpdate; }
	bool useDisplayLink() const								{ return m_useDisplayLink; }
	bool updating() const;

	/** The status bar orientation that shows a device orientation; 0 for none. */
	static int statusBarOrientationFor(int orientation);
	/** Frame interval of a display link for a target frame rate. */
	static int frameIntervalFor(int framerate);
	/** Frame time in seconds from two clock readings in microseconds: 0 to 0.1. */
	static float frameTime(int64_t previous, int64_t now);
	/** Numeric comparison of two version texts ("3.10" is above "3.9"). */
	static int compareVersions(const std::string& a, const std::string& b);

private:
	/** The loop thread of systems without a display link, with its own stop flags. */
	struct LoopThread
	{
		std::thread thread;
		std::atomic<bool> cancelled{false};
		std::atomic<bool> finished{false};
	};

	void applicationDidFinishLaunching();
	void mainloop(LoopThread& loop);
	/** Stops the loop; a display link or loop thread stopped from inside its own update is retired and released later. */
	void stopLoop();
	void releaseRetiredLoop();
	/** Ends the process through the termination sequence with the exit code. */
	void endProcess(int exitCode);
	/** Logs the exception being handled (inside a catch block). */
	void logCurrentException();
	void logException(const char* message);
	void dealloc();

	platform::Application& m_application;
	std::unique_ptr<MyEAGLView> m_contentView;
	std::unique_ptr<MyEAGLViewController> m_viewController;
	lang::Ptr<gr::Context> m_context;
	std::unique_ptr<LoopThread> m_mainLoop;
	std::vector<std::unique_ptr<LoopThread>> m_retiredMainLoops;
	std::unique_ptr<platform::DisplayLink> m_displayLink;
	std::vector<std::unique_ptr<platform::DisplayLink>> m_retiredDisplayLinks;
	int64_t m_oldtime;
	bool m_useDisplayLink;
	framework::App* m_app;
	framework::IphoneOSInterface* m_os;
	framework::App::Configuration m_config;
	bool m_allowUpdate;
	bool m_insideUpdate;
	bool m_deallocated;
};

/** The rendering device's present callback: the delegate presents the view. */
void updateScrFunc();

namespace framework
{

/** The process entry of an application: parses the command line, runs the platform application with an AppController, returns the exit code. */
int runApplication(int argc, char** argv);

} // framework

#endif
