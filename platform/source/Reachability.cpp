#include <platform/Reachability.h>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <sys/socket.h>

namespace platform {

namespace {

// Shared by the waiting caller and the resolving thread, which may outlive the wait.
struct Lookup
{
	std::mutex mutex;
	std::condition_variable finished;
	bool done = false;
	bool resolved = false;
};

bool reservedInvalid(std::string host)
{
	std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
	while (!host.empty() && host.back() == '.')
		host.pop_back();
	const std::string suffix = ".invalid";
	return host == "invalid" || (host.size() > suffix.size() && host.compare(host.size() - suffix.size(), suffix.size(), suffix) == 0);
}

} // namespace

bool Reachability::hostReachable(const std::string& host, int timeoutMs)
{
	if (host.empty() || reservedInvalid(host))
		return false;
	auto lookup = std::make_shared<Lookup>();
	std::thread([lookup, host] {
		addrinfo hints{};
		hints.ai_family = AF_UNSPEC;
		hints.ai_socktype = SOCK_STREAM;
		addrinfo* found = nullptr;
		const bool resolved = getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0 && found;
		if (found)
			freeaddrinfo(found);
		std::lock_guard<std::mutex> lock(lookup->mutex);
		lookup->resolved = resolved;
		lookup->done = true;
		lookup->finished.notify_all();
	}).detach();
	std::unique_lock<std::mutex> lock(lookup->mutex);
	lookup->finished.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)), [&] { return lookup->done; });
	return lookup->done && lookup->resolved;
}

bool Reachability::connected()
{
	ifaddrs* interfaces = nullptr;
	if (getifaddrs(&interfaces) != 0)
		return false;
	bool up = false;
	for (const ifaddrs* i = interfaces; i && !up; i = i->ifa_next)
	{
		const unsigned flags = i->ifa_flags;
		up = i->ifa_addr && (i->ifa_addr->sa_family == AF_INET || i->ifa_addr->sa_family == AF_INET6) &&
			(flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
	}
	freeifaddrs(interfaces);
	return up;
}

} // platform
