#include <lang/Exception.h>
#include <lang/Mutex.h>
#include <lang/Ptr.h>
#include <lang/System.h>
#include <lang/Thread.h>
#include <gtest/gtest.h>
#include <atomic>

using namespace lang;

namespace
{

// Polls flag until it is set; the test's own timeout guards a thread that never sets it.
void waitFor(const std::atomic<bool>& flag)
{
	while (!flag)
		Thread::yield();
}

class Worker
{
public:
	std::atomic<bool> release{false};
	std::atomic<bool> finished{false};
	std::atomic<int> runs{0};

	void waitForRelease()
	{
		++runs;
		waitFor(release);
		finished = true;
	}

	void throwAfterRelease()
	{
		waitFor(release);
		finished = true;
		throwError(Exception(Format("thrown inside the thread")));
	}
};

Functor bound(Worker& worker, void (Worker::*method)())
{
	return Functor(new Func1<void, void (Worker::*)(), Worker*>(method, &worker));
}

} // namespace

TEST(Thread, JoiningDestructionWaitsForTheFunctor)
{
	const struct { void (Worker::*method)(); } cases[] = {
		{&Worker::waitForRelease},
		{&Worker::throwAfterRelease},
	};
	for (const auto& c : cases)
	{
		Worker worker;
		Ptr<Thread> thread = new Thread(bound(worker, c.method), true);
		Thread::sleep(10);
		EXPECT_FALSE(worker.finished);
		worker.release = true;
		thread = nullptr;
		EXPECT_TRUE(worker.finished);
	}
}

TEST(Thread, DetachedThreadRunsOnAfterDestruction)
{
	Worker worker;
	{
		Ptr<Thread> thread = new Thread(Functor::bind(&worker, &Worker::waitForRelease), false);
	}
	EXPECT_FALSE(worker.finished);
	worker.release = true;
	waitFor(worker.finished);
	EXPECT_EQ(1, worker.runs);
}

TEST(Thread, EachThreadRunsItsOwnCopyOnce)
{
	Worker worker;
	worker.release = true;
	const Functor functor = Functor::bind(&worker, &Worker::waitForRelease);
	{
		Ptr<Thread> a = new Thread(functor, true);
		Ptr<Thread> b = new Thread(functor, true);
		a->setPriority(a->priority());
	}
	EXPECT_EQ(2, worker.runs);
	functor();
	EXPECT_EQ(3, worker.runs);
	Functor().operator()();
}

TEST(Thread, SleepBlocksAtLeastTheGivenTime)
{
	const unsigned int waits[] = {0, 10, 1001};
	for (unsigned int ms : waits)
	{
		const long long start = System::currentTimeMicros();
		Thread::sleep(ms);
		EXPECT_GE(System::currentTimeMicros() - start, ms * 1000LL) << ms;
	}
}

namespace
{

// Tries a copy of the mutex from another thread and reports whether it could take it.
struct LockProbe
{
	Mutex mutex;
	bool took = false;

	void run()
	{
		took = mutex.tryLock();
		if (took)
			mutex.unlock();
	}

	bool tryFromOtherThread()
	{
		Ptr<Thread> thread = new Thread(Functor::bind(this, &LockProbe::run), true);
		thread = nullptr;
		return took;
	}
};

} // namespace

TEST(Mutex, RecursiveForTheOwnerExclusiveForOthers)
{
	Mutex mutex;
	LockProbe probe{mutex};

	mutex.lock();
	EXPECT_TRUE(mutex.tryLock());
	EXPECT_FALSE(probe.tryFromOtherThread());
	mutex.unlock();
	EXPECT_FALSE(probe.tryFromOtherThread());
	mutex.unlock();
	EXPECT_TRUE(probe.tryFromOtherThread());
}
