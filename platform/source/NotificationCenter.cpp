#include <platform/NotificationCenter.h>
#include <algorithm>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter()
{
	static NotificationCenter center;
	return center;
}

int NotificationCenter::addObserver(const std::string& name, Observer observer)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_entries.push_back({++m_lastToken, name, std::move(observer)});
	return m_lastToken;
}

void NotificationCenter::removeObserver(int token)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [token](const Entry& e) { return e.token == token; }), m_entries.end());
}

bool NotificationCenter::registered(int token) const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return std::any_of(m_entries.begin(), m_entries.end(), [token](const Entry& e) { return e.token == token; });
}

void NotificationCenter::post(const std::string& name)
{
	// Observers run outside the lock: they may add or remove observers.
	std::vector<Entry> matching;
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		for (const Entry& entry : m_entries)
			if (entry.name == name)
				matching.push_back(entry);
	}
	for (const Entry& entry : matching)
		if (registered(entry.token))
			entry.observer(name);
}

} // platform
