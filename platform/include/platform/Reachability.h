#ifndef PLATFORM_REACHABILITY_H
#define PLATFORM_REACHABILITY_H

#include <string>

namespace platform {

// Whether the network could be reached, without sending anything to it; stateless and safe on
// any thread (the calls block, so callers keep them off the main thread).
class Reachability
{
public:
	// Longest wait for a name's resolution (milliseconds).
	static constexpr int DEFAULT_TIMEOUT_MS = 5000;

	// Whether the host name resolves to an address within the time. Names under the reserved
	// ".invalid" domain never resolve and are answered without asking the resolver. A lookup that
	// runs out of time goes on in the background and its answer is dropped.
	static bool hostReachable(const std::string& host, int timeoutMs = DEFAULT_TIMEOUT_MS);
	// Whether an interface other than loopback is up and has an IPv4 or IPv6 address.
	static bool connected();
};

} // platform

#endif
