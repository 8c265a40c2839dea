#include <agent/AnalyticsHTTPEater.h>
#include <platform/HttpFetch.h>

AnalyticsHTTPResponse AnalyticsHTTPEater::get(const std::string& url, const AnalyticsHTTPResponse::Headers& headerFields)
{
	return sendMethod("GET", url, "", headerFields, DEFAULT_TIMEOUT);
}

AnalyticsHTTPResponse AnalyticsHTTPEater::post(const std::string& url, const std::string& body,
	const AnalyticsHTTPResponse::Headers& headerFields)
{
	return sendMethod("POST", url, body, headerFields, DEFAULT_TIMEOUT);
}

AnalyticsHTTPResponse AnalyticsHTTPEater::sendMethod(const std::string& method, const std::string& url,
	const std::string& body, const AnalyticsHTTPResponse::Headers& headerFields, int timeoutSeconds)
{
	platform::HttpRequest request;
	request.url = url;
	request.method = method;
	request.body = body;
	for (const auto& field : headerFields)
		request.headers.push_back(field.first + ": " + field.second);
	request.timeout = timeoutSeconds;
	request.maxBody = MAX_ANSWER_BYTES;
	const platform::HttpResult result = platform::HttpFetch::perform(request);
	if (!result.answered)
		return AnalyticsHTTPResponse("", static_cast<int>(result.status), {}, result.error.empty() ? "No answer" : result.error);
	return AnalyticsHTTPResponse(result.body, static_cast<int>(result.status), result.headers, "");
}

std::string AnalyticsHTTPEater::queryDictionaryToString(const std::map<std::string, std::string>& query)
{
	std::string text;
	for (const auto& pair : query)
	{
		if (!text.empty())
			text += "&";
		text += pair.first + "=" + pair.second;
	}
	return text;
}

std::string AnalyticsHTTPEater::urlWithProtocol(const std::string& scheme, const std::string& host, int port,
	const std::string& path, const std::string& query)
{
	std::string url = (scheme.empty() ? "http" : scheme) + "://" + host;
	if (port != 0 && port != 80)
		url += ":" + std::to_string(port);
	if (!path.empty())
		url += "/" + path;
	if (!query.empty())
		url += "?" + query;
	return url;
}
