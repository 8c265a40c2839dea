#ifndef AGENT_ANALYTICSUTIL_H
#define AGENT_ANALYTICSUTIL_H

#include <exception>
#include <functional>
#include <optional>
#include <string>

class AnalyticsAdView;

// A rectangle in points.
struct AnalyticsRect
{
	float x, y, width, height;
};

// The agent's exception sink and small geometry and parsing routines; class operations only.
class AnalyticsUtil
{
public:
	AnalyticsUtil() = delete;

	// Discards what an agent entry caught: nothing is shown, logged or rethrown.
	static void handleException(std::exception_ptr caught);
	// Runs the work and hands whatever it throws to handleException.
	static void catchAll(const std::function<void()>& work);
	// Recorded only; nothing depends on it.
	static void setShowErrorInLogEnabled(bool enabled);
	static bool showErrorInLogEnabled();

	// (0, 0, 480, 320) for a landscape canvas, else (0, 0, 320, 480).
	static AnalyticsRect screenBounds(const std::string& orientation);
	static bool canvasInLandscape(const std::string& orientation);
	// The whole text, zero bytes included, equals the name ignoring ASCII case.
	static bool equalIgnoringCase(const std::string& text, const char* name);
	// Equal to "landscapeRight" or "landscapeLeft", ignoring case.
	static bool canvasInLandscapeRight(const std::string& orientation);
	static bool canvasInLandscapeLeft(const std::string& orientation);
	// Takes the view out of the view it was attached to; a null view is ignored.
	static void removeViewFromSuperview(AnalyticsAdView* view);
	// The decimal number the whole text spells, else none.
	static std::optional<double> convertStrToNum(const std::string& text);
	// UTF-8 bytes with everything but letters, digits and "-._~" written as %XX.
	static std::string percentEscape(const std::string& text);
};

#endif
