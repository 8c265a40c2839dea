#ifndef AGENT_ADS_ANALYTICSADLISTVIEW_H
#define AGENT_ADS_ANALYTICSADLISTVIEW_H

#include <agent/AnalyticsUtil.h>
#include <memory>
#include <string>
#include <vector>

class AnalyticsAdView;

// The page of a canvas, as far as the list moves it: its frame, and how it shows and takes touches.
struct AnalyticsAdWebView
{
	AnalyticsRect frame{0, 0, 0, 0};
	float alpha = 0;
	bool userInteractionEnabled = true;
	// The page requested; nothing renders it.
	std::string requestedUrl;
};

// The canvas's list of further ads under its page: dragged or tapped between its upper limit
// (fully open) and its lower limit (closed), growing or shrinking the page above by as much.
// Owned by its canvas; the page it moves belongs to the canvas too. Coordinates are the canvas's.
class AnalyticsAdListView
{
public:
	static constexpr float ROW_PITCH = 48;
	static constexpr float HEADER_HEIGHT = 29;

	explicit AnalyticsAdListView(AnalyticsRect frame) : m_frame(frame) {}

	void touchesBegan(float y);
	void touchesMoved(float y);
	// Ends a drag, or toggles between fully open and closed after a tap.
	void touchesEnded(float y);
	void touchesCancelled();
	void dragToYPosition(float y);
	// Moves within the limits and resizes the page by the distance moved.
	void dragByYDisplacement(float displacement);
	void updateWebViewFrame(float displacement);

	AnalyticsRect frame() const { return m_frame; }
	int upperLocationLimit() const { return m_upperLocationLimit; }
	int lowerLocationLimit() const { return m_lowerLocationLimit; }
	void setLimits(int upper, int lower);
	// Not owned.
	void setWebView(AnalyticsAdWebView* webView) { m_webView = webView; }
	bool hidden() const { return m_hidden; }
	void setHidden(bool hidden) { m_hidden = hidden; }
	bool userInteractionEnabled() const { return m_userInteractionEnabled; }
	void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }
	float alpha() const { return m_alpha; }
	void setAlpha(float alpha) { m_alpha = alpha; }
	// Encoded image bytes of the list's header.
	const std::string& headerImage() const { return m_headerImage; }
	void setHeaderImage(const std::string& image) { m_headerImage = image; }
	void addEntry(std::shared_ptr<AnalyticsAdView> entry) { m_entries.push_back(std::move(entry)); }
	const std::vector<std::shared_ptr<AnalyticsAdView>>& entries() const { return m_entries; }

private:
	AnalyticsRect m_frame;
	int m_upperLocationLimit = 0;
	int m_lowerLocationLimit = 0;
	AnalyticsAdWebView* m_webView = nullptr;
	float m_lastY = 0;
	bool m_dragInProgress = false;
	bool m_hidden = false;
	bool m_userInteractionEnabled = true;
	float m_alpha = 1;
	std::string m_headerImage;
	std::vector<std::shared_ptr<AnalyticsAdView>> m_entries;
};

#endif
