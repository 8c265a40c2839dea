#include <platform/AccelerometerDelegate.h>
#include <platform/Application.h>
#include <platform/ApplicationDelegate.h>
#include <platform/DisplayLink.h>
#include <platform/HeadlessApplication.h>
#include <platform/Responder.h>
#include <support/TemporaryDirectory.h>
#include <gtest/gtest.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace platform;

namespace
{

// Records everything the application tells it, one line per call.
class Recorder : public ApplicationDelegate, public Responder, public AccelerometerDelegate
{
public:
	explicit Recorder(Application& application) : m_application(application) {}

	void didFinishLaunching() override
	{
		log << "launch\n";
		m_application.setResponder(this);
		m_application.setAccelerometerDelegate(this, 1.0 / 30);
		m_link = m_application.createDisplayLink([this] {
			log << "frame " << m_application.currentTimeMicros() << "\n";
		});
	}
	void didBecomeActive() override { log << "active\n"; }
	void willResignActive() override { log << "resign\n"; }
	void willTerminate() override { log << "terminate\n"; }
	void touches(TouchPhase phase, const std::vector<Touch>& t) override
	{
		log << "touch " << static_cast<int>(phase) << " " << t[0].id << " " << t[0].x << " " << t[0].y << "\n";
	}
	void key(const std::string& name, bool down) override { log << "key " << name << " " << down << "\n"; }
	void wheel(int delta) override { log << "wheel " << delta << "\n"; }
	void didAccelerate(double x, double, double) override { log << "tilt " << x << "\n"; }

	std::ostringstream log;

private:
	Application& m_application;
	std::unique_ptr<DisplayLink> m_link;
};

// A headless run of three frames with the script's events.
LaunchOptions scriptedRun(const char* script)
{
	LaunchOptions options;
	options.headless = true;
	options.frames = 3;
	static const testsupport::TemporaryDirectory directory;
	options.script = directory.file("script.txt");
	std::ofstream(options.script) << script;
	return options;
}

} // namespace

TEST(HeadlessApplication, RunsScriptedFramesOnItsOwnClock)
{
	auto application = Application::create(
		scriptedRun("0 touch began 0 100 50\n1 key down A\n1 wheel -1\n1 tilt 1 0 0\n2 resign\n2 become\n"));
	application->setStatusBarOrientation(Application::LANDSCAPE_RIGHT);
	Recorder recorder(*application);
	EXPECT_EQ(0, application->run(recorder));
	// Frames come 1/60 s apart; the landscape touch lands at view (768 - 50, 100); readings come 30 times a second.
	EXPECT_EQ("launch\nactive\n"
		"touch 0 1 718 100\ntilt -1\nframe 1000000\n"
		"key A 1\nwheel -1\nframe 1016666\n"
		"resign\nactive\ntilt 1\nframe 1033333\n"
		"terminate\n", recorder.log.str());
}

// The run ends after three frames (0 to 2); what the script holds for later never runs.
TEST(HeadlessApplication, EventsAfterTheLastFrameAreNamedAndAMissedCaptureFailsTheRun)
{
	const struct
	{
		const char* script;
		int exitCode;
		const char* named;
	} cases[] = {
		{"1 key down A\n2 key up A\n", 0, nullptr},
		{"1 key down A\n3 key up A  # too late\n", 0, "Input script line 2 (3 key up A) never ran: the run ended after 3 frames\n"},
		{"2 wheel 1\n3 capture late.png\n", 1, "Input script line 2 (3 capture late.png) never ran: the run ended after 3 frames\n"},
	};
	for (const auto& c : cases)
	{
		auto application = Application::create(scriptedRun(c.script));
		Recorder recorder(*application);
		testing::internal::CaptureStderr();
		const int exitCode = application->run(recorder);
		const std::string log = testing::internal::GetCapturedStderr();
		EXPECT_EQ(c.exitCode, exitCode) << c.script;
		EXPECT_EQ(c.named ? c.named : "", log) << c.script;
	}
}

TEST(HeadlessApplication, TerminateEndsTheLoopWithItsCode)
{
	LaunchOptions options;
	options.headless = true;
	auto application = Application::create(options);
	struct Quitter : ApplicationDelegate
	{
		Application* application;
		std::unique_ptr<DisplayLink> link;
		int frames = 0;
		bool terminated = false;
		void didFinishLaunching() override { link = application->createDisplayLink([this] { if (++frames == 5) application->terminate(7); }); }
		void didBecomeActive() override {}
		void willResignActive() override {}
		void willTerminate() override { terminated = true; }
	} quitter;
	quitter.application = application.get();
	EXPECT_EQ(7, application->run(quitter));
	EXPECT_EQ(5, quitter.frames);
	EXPECT_TRUE(quitter.terminated);
	EXPECT_THROW(Application::create(options), std::runtime_error);
}

TEST(HeadlessApplication, AlertsAreAnsweredByTheScriptOrCancelled)
{
	auto application = Application::create(scriptedRun("1 answer 2\n"));
	struct Asker : ApplicationDelegate
	{
		Application* application;
		std::unique_ptr<DisplayLink> link;
		std::vector<int> answers;
		void didFinishLaunching() override
		{
			link = application->createDisplayLink([this] {
				application->showAlert(Alert{"Rate", "Like it?", {"No", "Later", "Yes"}, 1}, [this](int b) { answers.push_back(b); });
			});
		}
		void didBecomeActive() override {}
		void willResignActive() override {}
		void willTerminate() override {}
	} asker;
	asker.application = application.get();
	application->run(asker);
	// Frame 0's alert is shown and cancelled, frame 1's answered by the script without showing;
	// answers arrive on the main queue a frame later (frame 2's after the run).
	EXPECT_EQ((std::vector<int>{1, 2}), asker.answers);
	auto& headless = static_cast<HeadlessApplication&>(*application);
	ASSERT_EQ(2u, headless.shownAlerts().size());
	EXPECT_EQ("Like it?", headless.shownAlerts()[0].message);
}
