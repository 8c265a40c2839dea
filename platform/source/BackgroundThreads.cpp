#include <platform/BackgroundThreads.h>

namespace platform {

BackgroundThreads& BackgroundThreads::shared()
{
	static BackgroundThreads threads;
	return threads;
}

BackgroundThreads::~BackgroundThreads()
{
	joinAll();
}

void BackgroundThreads::run(std::function<void()> task)
{
	reapFinished();
	auto worker = std::make_shared<Worker>();
	std::lock_guard<std::mutex> lock(m_mutex);
	m_workers.push_back(worker);
	worker->thread = std::thread([this, worker, task = std::move(task)] {
		try
		{
			task();
		}
		catch (...)
		{
		}
		std::lock_guard<std::mutex> lock(m_mutex);
		worker->finished = true;
	});
}

void BackgroundThreads::reapFinished()
{
	std::list<std::shared_ptr<Worker>> finished;
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		for (auto it = m_workers.begin(); it != m_workers.end();)
		{
			if ((*it)->finished)
			{
				finished.push_back(*it);
				it = m_workers.erase(it);
			}
			else
				++it;
		}
	}
	for (const auto& worker : finished)
		worker->thread.join();
}

void BackgroundThreads::joinAll()
{
	for (;;)
	{
		std::shared_ptr<Worker> worker;
		{
			std::lock_guard<std::mutex> lock(m_mutex);
			if (m_workers.empty())
				return;
			worker = m_workers.front();
			m_workers.pop_front();
		}
		worker->thread.join();
	}
}

} // platform
