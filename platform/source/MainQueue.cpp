#include <platform/MainQueue.h>
#include <algorithm>

namespace platform {

void MainQueue::post(const void* owner, std::function<void()> work)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_requests.push_back({owner, std::move(work), nullptr, nullptr});
	m_posted.notify_all();
}

bool MainQueue::postAndWait(const void* owner, std::function<void()> work)
{
	bool done = false;
	bool ran = false;
	std::unique_lock<std::mutex> lock(m_mutex);
	m_requests.push_back({owner, std::move(work), &done, &ran});
	m_posted.notify_all();
	m_finished.wait(lock, [&] { return done; });
	return ran;
}

void MainQueue::cancel(const void* owner)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	for (auto it = m_requests.begin(); it != m_requests.end();)
	{
		if (it->owner != owner)
		{
			++it;
			continue;
		}
		if (it->done)
			*it->done = true;
		it = m_requests.erase(it);
	}
	if (m_expectedOwner == owner)
		m_expectedOwner = nullptr;
	m_finished.notify_all();
	m_posted.notify_all();
}

void MainQueue::expect(const void* owner)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_expectedOwner = owner;
}

void MainQueue::runPending()
{
	std::unique_lock<std::mutex> lock(m_mutex);
	if (m_expectedOwner)
		m_posted.wait_for(lock, NEXT_REQUEST_WAIT, [this] { return !m_expectedOwner || hasRequestOf(m_expectedOwner); });
	// Only what is pending now: work posted while running waits for the next call.
	size_t count = m_requests.size();
	while (count-- > 0 && !m_requests.empty())
	{
		Request request = std::move(m_requests.front());
		m_requests.pop_front();
		lock.unlock();
		try
		{
			request.work();
		}
		catch (...)
		{
			lock.lock();
			finish(request, false);
			throw;
		}
		lock.lock();
		finish(request, true);
	}
}

// Called with the lock held.
void MainQueue::finish(Request& request, bool ran)
{
	if (!request.done)
		return;
	*request.ran = ran;
	*request.done = true;
	m_finished.notify_all();
}

// Called with the lock held.
bool MainQueue::hasRequestOf(const void* owner) const
{
	return std::any_of(m_requests.begin(), m_requests.end(), [owner](const Request& r) { return r.owner == owner; });
}

bool MainQueue::empty() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_requests.empty();
}

} // platform
