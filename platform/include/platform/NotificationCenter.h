#ifndef PLATFORM_NOTIFICATIONCENTER_H
#define PLATFORM_NOTIFICATIONCENTER_H

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// Named notifications for the main thread: post calls every observer of the name, in the order
// they were added, on the posting thread (the main thread by convention). The process-wide
// center lives until exit; observers stay until removed, and their owners remove them before
// they go away.
class NotificationCenter
{
public:
	using Observer = std::function<void(const std::string& name)>;

	static NotificationCenter& defaultCenter();

	// Returns the observer's token (never 0).
	int addObserver(const std::string& name, Observer observer);
	// An unknown token is ignored. An observer removed while a post runs is not called after.
	void removeObserver(int token);
	void post(const std::string& name);

private:
	struct Entry
	{
		int token;
		std::string name;
		Observer observer;
	};

	bool registered(int token) const;

	mutable std::mutex m_mutex;
	std::vector<Entry> m_entries;
	int m_lastToken = 0;
};

} // platform

#endif
