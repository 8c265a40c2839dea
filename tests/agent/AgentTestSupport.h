#ifndef TESTS_AGENT_AGENTTESTSUPPORT_H
#define TESTS_AGENT_AGENTTESTSUPPORT_H

#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsClock.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionUploader.h>
#include <platform/BackgroundThreads.h>
#include <platform/Directories.h>
#include <platform/LaunchOptions.h>
#include <platform/TaskRunner.h>
#include <platform/UserDefaults.h>
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>
#include <sys/resource.h>
#include <unistd.h>

// While it lives no file can be opened, as when the process has no descriptor free: the soft
// limit of descriptors is the lowest free one.
class DescriptorsExhausted
{
public:
	DescriptorsExhausted()
	{
		getrlimit(RLIMIT_NOFILE, &m_saved);
		const int lowest = ::dup(STDERR_FILENO);
		::close(lowest);
		rlimit limited = m_saved;
		limited.rlim_cur = static_cast<rlim_t>(lowest);
		setrlimit(RLIMIT_NOFILE, &limited);
	}
	~DescriptorsExhausted() { setrlimit(RLIMIT_NOFILE, &m_saved); }
	DescriptorsExhausted(const DescriptorsExhausted&) = delete;
	DescriptorsExhausted& operator=(const DescriptorsExhausted&) = delete;

private:
	rlimit m_saved{};
};

// Runs each task at once on the calling thread.
class InlineTaskRunner : public platform::TaskRunner
{
public:
	void run(std::function<void()> task) override { task(); }
};

// The directories freshDirectory made, removed with everything in them when the test program
// ends; a child process forked by a test leaves its parent's alone.
class FreshDirectories
{
public:
	FreshDirectories() : m_owner(::getpid()) {}
	~FreshDirectories()
	{
		if (::getpid() != m_owner)
			return;
		std::error_code ignored;
		for (const std::string& path : m_paths)
			std::filesystem::remove_all(path, ignored);
	}
	FreshDirectories(const FreshDirectories&) = delete;
	FreshDirectories& operator=(const FreshDirectories&) = delete;

	void add(const std::string& path) { m_paths.push_back(path); }

private:
	pid_t m_owner;
	std::vector<std::string> m_paths;
};

// A fresh directory under the test's temporary directory, which lives until the program ends.
inline std::string freshDirectory(const char* name)
{
	static FreshDirectories made;
	std::string path = ::testing::TempDir() + name + std::to_string(::getpid()) + "XXXXXX";
	if (!mkdtemp(&path[0]))
		ADD_FAILURE() << "no directory " << path;
	else
		made.add(path);
	return path;
}

// A headless application's options for so many frames, with documents, library and caches
// directories of the test's own: creating the application makes them the process's.
inline platform::LaunchOptions headlessOptions(int frames)
{
	platform::LaunchOptions options;
	options.headless = true;
	options.frames = frames;
	options.documentsDirectory = freshDirectory("documents");
	options.libraryDirectory = freshDirectory("library");
	options.cachesDirectory = freshDirectory("caches");
	return options;
}

// The standard user defaults of this test program, in a directory of its own.
inline platform::UserDefaults& standardDefaults()
{
	static const bool moved = [] {
		platform::Directories::setDocuments(freshDirectory("documents"));
		return true;
	}();
	(void)moved;
	return platform::UserDefaults::standard();
}

// The agent's clock, standing still until the test moves it; the system clock again when it goes.
// Starts at a whole second far from 1970 so that differences of dates come out exact.
class ManualClock
{
public:
	explicit ManualClock(double start = 1000000.0) : m_now(start)
	{
		AnalyticsClock::setSource([this] { return m_now.load(); });
	}
	~ManualClock() { AnalyticsClock::setSource(nullptr); }

	void advance(double seconds) { m_now = m_now + seconds; }
	double now() const { return m_now; }

private:
	std::atomic<double> m_now;
};

// A fresh agent for each test: usage reporting on, the defaults of a fresh process, no page view
// counted lately, and the archive files and ad caches in library and caches directories of the
// test's own, which stay the process's after it. Uploads started by a test are waited for before
// the next one.
class AgentSessionTest : public ::testing::Test
{
protected:
	// Before the clocks of derived fixtures are made: the last counted page view is the
	// process's, and one at time 0 lets each test's first count.
	AgentSessionTest()
	{
		ManualClock past(0.0);
		AnalyticsSession("KEY", "").maybeIncrementPageView();
	}
	void SetUp() override
	{
		standardDefaults().remove(AnalyticsAPI::SEND_USAGE_INFO_KEY);
		AnalyticsAPI::resetSettings();
		platform::Directories::setLibrary(freshDirectory("library"));
		platform::Directories::setCaches(freshDirectory("caches"));
	}
	void TearDown() override
	{
		platform::BackgroundThreads::shared().joinAll();
		standardDefaults().remove(AnalyticsAPI::SEND_USAGE_INFO_KEY);
		AnalyticsAPI::resetSettings();
		AnalyticsSessionUploader::setAdHooks({});
	}
};

#endif
