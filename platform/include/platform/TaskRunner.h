#ifndef PLATFORM_TASKRUNNER_H
#define PLATFORM_TASKRUNNER_H

#include <functional>

namespace platform {

// Somewhere to run work off the caller's path; implementations own the tasks they were given.
class TaskRunner
{
public:
	virtual ~TaskRunner() = default;
	virtual void run(std::function<void()> task) = 0;
};

} // platform

#endif
