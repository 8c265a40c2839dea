#include <agent/AnalyticsHTTPResponse.h>
#include <agent/AnalyticsClock.h>
#include <agent/AnalyticsHTTPEater.h>
#include <platform/Directories.h>
#include <platform/HttpFetch.h>
#include <platform/KeyedArchive.h>

using platform::ArchiveError;
using platform::ArchiveValue;

AnalyticsHTTPResponse::AnalyticsHTTPResponse(const std::string& body, int statusCode, const Headers& headers,
	const std::string& error) :
	m_body(body),
	m_statusCode(statusCode),
	m_headers(headers),
	m_error(error)
{
}

bool AnalyticsHTTPResponse::isSuccess() const
{
	return m_statusCode >= 200 && m_statusCode < 400;
}

std::string AnalyticsHTTPResponse::description() const
{
	return "status:" + std::to_string(m_statusCode) + " error:" + m_error + " body:" + m_body;
}

std::string AnalyticsHTTPResponse::saveToDisk() const
{
	ArchiveValue saved = ArchiveValue::dictionary();
	saved.set("statusCode", ArchiveValue::integer(m_statusCode));
	saved.set("body", ArchiveValue::bytes(m_body));
	ArchiveValue headers = ArchiveValue::dictionary();
	for (const auto& header : m_headers)
		headers.set(header.first, ArchiveValue::string(header.second));
	saved.set("headers", headers);
	const std::string path = filePath(static_cast<int>(AnalyticsClock::now()));
	platform::KeyedArchive::writeFile(path, saved);
	return path;
}

std::string AnalyticsHTTPResponse::filePath(int number)
{
	return platform::Directories::documents() + "/analyticsResponse" + std::to_string(number);
}

AnalyticsHTTPResponse AnalyticsHTTPResponse::readFromURL(const std::string& url)
{
	platform::HttpRequest request;
	request.url = url;
	request.maxBody = AnalyticsHTTPEater::MAX_ANSWER_BYTES;
	const platform::HttpResult file = platform::HttpFetch::perform(request);
	if (!file.ok)
		return AnalyticsHTTPResponse();
	try
	{
		const ArchiveValue saved = platform::KeyedArchive::decode(file.body);
		Headers headers;
		const ArchiveValue& fields = saved.get("headers");
		if (fields.kind() != ArchiveValue::Kind::Dictionary)
			return AnalyticsHTTPResponse();
		for (size_t i = 0; i < fields.keys().size(); ++i)
			headers[fields.keys()[i]] = fields.items()[i].asString();
		return AnalyticsHTTPResponse(saved.get("body").asBytes(), static_cast<int>(saved.get("statusCode").asInt()), headers, "");
	}
	catch (const ArchiveError&)
	{
		return AnalyticsHTTPResponse();
	}
}
