#ifndef AGENT_ANALYTICSHTTPRESPONSE_H
#define AGENT_ANALYTICSHTTPRESPONSE_H

#include <map>
#include <string>

// The answer to one agent request, a plain value: status, body, header fields and the
// connection's failure. The body is untrusted input.
class AnalyticsHTTPResponse
{
public:
	using Headers = std::map<std::string, std::string>;

	// No answer: status 0, empty body and headers.
	AnalyticsHTTPResponse() = default;
	AnalyticsHTTPResponse(const std::string& body, int statusCode, const Headers& headers, const std::string& error);

	const std::string& body() const { return m_body; }
	int statusCode() const { return m_statusCode; }
	const Headers& headers() const { return m_headers; }
	// Why the connection failed; empty when it did not.
	const std::string& error() const { return m_error; }

	// 200 <= status < 400.
	bool isSuccess() const;
	bool isError() const { return !isSuccess(); }
	// "status:%d error:%s body:%s".
	std::string description() const;

	// Writes the answer to filePath(now in whole seconds since 1970), atomically; returns the path.
	std::string saveToDisk() const;
	// "analyticsResponse<number>" in the documents directory.
	static std::string filePath(int number);
	// A saved answer from a file: or http: address; an unreadable one gives no answer.
	static AnalyticsHTTPResponse readFromURL(const std::string& url);

private:
	std::string m_body;
	int m_statusCode = 0;
	Headers m_headers;
	std::string m_error;
};

#endif
