#include <agent/AnalyticsUtil.h>
#include <agent/ads/AnalyticsAdView.h>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

std::atomic<bool> s_showErrorInLog{false};

} // namespace

void AnalyticsUtil::handleException(std::exception_ptr)
{
}

void AnalyticsUtil::catchAll(const std::function<void()>& work)
{
	try
	{
		work();
	}
	catch (...)
	{
		handleException(std::current_exception());
	}
}

bool AnalyticsUtil::equalIgnoringCase(const std::string& text, const char* name)
{
	return text.size() == std::strlen(name) && strcasecmp(text.c_str(), name) == 0;
}

void AnalyticsUtil::setShowErrorInLogEnabled(bool enabled)
{
	s_showErrorInLog = enabled;
}

bool AnalyticsUtil::showErrorInLogEnabled()
{
	return s_showErrorInLog;
}

AnalyticsRect AnalyticsUtil::screenBounds(const std::string& orientation)
{
	return canvasInLandscape(orientation) ? AnalyticsRect{0, 0, 480, 320} : AnalyticsRect{0, 0, 320, 480};
}

bool AnalyticsUtil::canvasInLandscape(const std::string& orientation)
{
	return canvasInLandscapeRight(orientation) || canvasInLandscapeLeft(orientation);
}

bool AnalyticsUtil::canvasInLandscapeRight(const std::string& orientation)
{
	return equalIgnoringCase(orientation, "landscapeRight");
}

bool AnalyticsUtil::canvasInLandscapeLeft(const std::string& orientation)
{
	return equalIgnoringCase(orientation, "landscapeLeft");
}

void AnalyticsUtil::removeViewFromSuperview(AnalyticsAdView* view)
{
	if (view)
		view->removeFromSuperview();
}

std::optional<double> AnalyticsUtil::convertStrToNum(const std::string& text)
{
	// Plain decimal notation only: an optional sign, digits and at most one point.
	size_t at = text[0] == '-' || text[0] == '+' ? 1 : 0;
	bool digits = false, point = false;
	for (; at < text.size(); ++at)
	{
		if (std::isdigit(static_cast<unsigned char>(text[at])))
			digits = true;
		else if (text[at] == '.' && !point)
			point = true;
		else
			return std::nullopt;
	}
	if (!digits)
		return std::nullopt;
	return std::strtod(text.c_str(), nullptr);
}

std::string AnalyticsUtil::percentEscape(const std::string& text)
{
	static const char digits[] = "0123456789ABCDEF";
	std::string escaped;
	for (unsigned char c : text)
	{
		if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~')
			escaped += static_cast<char>(c);
		else
		{
			escaped += '%';
			escaped += digits[c >> 4];
			escaped += digits[c & 0xF];
		}
	}
	return escaped;
}
