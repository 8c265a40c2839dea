#ifndef PLATFORM_BACKGROUNDTHREADS_H
#define PLATFORM_BACKGROUNDTHREADS_H

#include <platform/TaskRunner.h>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

// Runs each task on a new thread of its own and keeps track of the threads, so that none outlives
// the objects it uses: joinAll waits for every started thread, and the destructor joins too. The
// shared instance is joined by the application at termination and lives until exit.
class BackgroundThreads : public TaskRunner
{
public:
	static BackgroundThreads& shared();

	BackgroundThreads() = default;
	~BackgroundThreads() override;
	BackgroundThreads(const BackgroundThreads&) = delete;
	BackgroundThreads& operator=(const BackgroundThreads&) = delete;

	// An exception that leaves the task is dropped with it.
	void run(std::function<void()> task) override;
	// Waits for every thread started so far and for any that those start meanwhile. Must not be
	// called from one of its own threads.
	void joinAll();

private:
	struct Worker
	{
		std::thread thread;
		bool finished = false;
	};

	void reapFinished();

	std::mutex m_mutex;
	std::list<std::shared_ptr<Worker>> m_workers;
};

} // platform

#endif
