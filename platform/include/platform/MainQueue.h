#ifndef PLATFORM_MAINQUEUE_H
#define PLATFORM_MAINQUEUE_H

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace platform {

// Work handed to the main thread from any thread; owned by the application, run by its loop.
// Every request names an owner so that the owner can withdraw its requests before it goes away.
class MainQueue
{
public:
	void post(const void* owner, std::function<void()> work);
	// Posts and blocks until the main thread has run the work or the owner withdrew it; returns
	// whether it ran. Must not be called on the main thread.
	bool postAndWait(const void* owner, std::function<void()> work);
	// Withdraws the owner's pending requests (their waiters return false).
	void cancel(const void* owner);
	// The owner's thread will ask for every refresh with postAndWait, posting again as soon as its
	// request has run: each runPending first waits for the owner's request, so that the owner
	// gets every refresh rather than only those its thread happens to reach first. Holds until
	// cancel(owner); one owner at a time.
	void expect(const void* owner);
	// Runs the requests pending now, in order; called on the main thread at each display refresh.
	void runPending();
	bool empty() const;

private:
	struct Request
	{
		const void* owner;
		std::function<void()> work;
		bool* done;
		bool* ran;
	};

	void finish(Request& request, bool ran);

	bool hasRequestOf(const void* owner) const;

	// How long runPending waits for the expected owner's request: only an owner that stopped
	// posting without cancelling meets this bound.
	static constexpr std::chrono::seconds NEXT_REQUEST_WAIT{2};

	mutable std::mutex m_mutex;
	std::condition_variable m_finished;
	std::condition_variable m_posted;
	std::deque<Request> m_requests;
	// The owner given to expect, until it cancels; null when none.
	const void* m_expectedOwner = nullptr;
};

} // platform

#endif
