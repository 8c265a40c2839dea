#ifndef TESTS_AGENT_AGENTTESTSUPPORT_H
#define TESTS_AGENT_AGENTTESTSUPPORT_H

#include <platform/Directories.h>
#include <platform/TaskRunner.h>
#include <platform/UserDefaults.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Runs each task at once on the calling thread.
class InlineTaskRunner : public platform::TaskRunner
{
public:
	void run(std::function<void()> task) override { task(); }
};

// A fresh directory under the test's temporary directory.
inline std::string freshDirectory(const char* name)
{
	std::string path = ::testing::TempDir() + name + std::to_string(::getpid()) + "XXXXXX";
	if (!mkdtemp(&path[0]))
		ADD_FAILURE() << "no directory " << path;
	return path;
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

#endif
