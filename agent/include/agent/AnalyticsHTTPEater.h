#ifndef AGENT_ANALYTICSHTTPEATER_H
#define AGENT_ANALYTICSHTTPEATER_H

#include <agent/AnalyticsHTTPResponse.h>
#include <cstddef>
#include <map>
#include <string>

// The agent's synchronous HTTP client: each request blocks the calling thread until its answer
// arrived or the connection failed. Nothing is cached and cookies are not kept. Class operations
// only.
class AnalyticsHTTPEater
{
public:
	// Seconds.
	static constexpr int DEFAULT_TIMEOUT = 20;
	// A longer answer body fails the request (bytes).
	static constexpr size_t MAX_ANSWER_BYTES = 4 * 1024 * 1024;

	AnalyticsHTTPEater() = delete;

	static AnalyticsHTTPResponse get(const std::string& url, const AnalyticsHTTPResponse::Headers& headerFields = {});
	static AnalyticsHTTPResponse post(const std::string& url, const std::string& body,
		const AnalyticsHTTPResponse::Headers& headerFields = {});
	// "GET" without a body or "POST" with one (binary, its size given); redirects are followed.
	static AnalyticsHTTPResponse sendMethod(const std::string& method, const std::string& url, const std::string& body,
		const AnalyticsHTTPResponse::Headers& headerFields, int timeoutSeconds);

	// "key=value" pairs joined by "&", in the map's order, without escaping.
	static std::string queryDictionaryToString(const std::map<std::string, std::string>& query);
	// scheme://host[:port]/path?query; an empty scheme is "http", port 0 and 80 are left out, empty
	// parts are left out.
	static std::string urlWithProtocol(const std::string& scheme, const std::string& host, int port,
		const std::string& path, const std::string& query);
};

#endif
