#ifndef PLATFORM_HTTPFETCH_H
#define PLATFORM_HTTPFETCH_H

#include <atomic>
#include <functional>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform {

class MainQueue;

// One request, a plain value: GET without a body, POST with one (any bytes).
struct HttpRequest
{
	std::string url;
	std::string method = "GET";
	std::string body;
	// Extra header lines, "Name: value".
	std::vector<std::string> headers;
	// A transfer that takes longer fails (seconds; 0 or less: HttpFetch::TIMEOUT).
	long timeout = 0;
	// False: a redirect answer is the result, its target in HttpResult::redirectUrl.
	bool followRedirects = true;
	// A larger answer body fails the transfer (bytes; 0: HttpFetch::MAX_BODY).
	size_t maxBody = 0;
};

// The outcome of one fetch, a plain value.
struct HttpResult
{
	bool ok = false;		// transfer completed and, for HTTP, a 2xx status
	long status = 0;		// HTTP status, 0 for other schemes or failures
	std::string body;		// also for statuses other than 2xx; empty when the transfer failed
	// Header fields of the last response (after redirects), by name as sent; a repeated field
	// keeps its last value.
	std::map<std::string, std::string> headers;
	std::string error;		// why it failed
	bool answered = false;	// a whole answer arrived, whatever its status
	// The absolute target of a redirect that was not followed; empty otherwise.
	std::string redirectUrl;
};

// Runs one request for an http, https or file URL with libcurl on its own worker thread and hands
// the result to the main thread through the queue. Owned by its requester: destroying it aborts the transfer,
// joins the worker and withdraws an undelivered result.
class HttpFetch
{
public:
	// Bodies larger than this fail (bytes).
	static constexpr size_t MAX_BODY = 16 * 1024 * 1024;
	// A transfer that takes longer fails, unless the request says otherwise (seconds).
	static constexpr long TIMEOUT = 30;
	// A transfer told to end ends within this, whatever it waits for.
	static constexpr long ABORT_CHECK_MILLISECONDS = 50;

	// While one lives every transfer fails: those in flight end within ABORT_CHECK_MILLISECONDS
	// and new ones at once. The application holds one while it waits for its background threads
	// at termination, so that no lookup or upload holds the end up.
	class AbortAll
	{
	public:
		AbortAll();
		~AbortAll();
		AbortAll(const AbortAll&) = delete;
		AbortAll& operator=(const AbortAll&) = delete;
	};

	HttpFetch(MainQueue& queue, const HttpRequest& request, std::function<void(const HttpResult&)> done);
	HttpFetch(MainQueue& queue, const std::string& url, std::function<void(const HttpResult&)> done);
	~HttpFetch();
	HttpFetch(const HttpFetch&) = delete;
	HttpFetch& operator=(const HttpFetch&) = delete;

	// The transfer itself, synchronous, on the calling thread.
	static HttpResult perform(const HttpRequest& request, const std::atomic<bool>* abort = nullptr);
	static HttpResult get(const std::string& url, const std::atomic<bool>* abort = nullptr);

private:
	MainQueue& m_queue;
	std::atomic<bool> m_abort;
	std::thread m_worker;
};

} // platform

#endif
