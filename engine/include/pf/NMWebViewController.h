#ifndef PF_NMWEBVIEWCONTROLLER_H
#define PF_NMWEBVIEWCONTROLLER_H

#include <pf/AffineTransform.h>
#include <lang/String.h>
#include <memory>

namespace platform
{
class HttpFetch;
struct HttpResult;
}

namespace pf
{

class WebViewObserver;

/**
 * The controller of a web view overlay. This platform has no HTML engine: a page is fetched on a
 * worker thread and reported on the main thread with its title; the picture is not drawn, but
 * visibility, fading and the orientation transform are kept as the view would keep them.
 * Owned by its WebViewImpl; the observer is borrowed.
 */
class NMWebViewController
{
public:
	/** How a navigation started. */
	enum NavigationType
	{
		NAVIGATION_LINK_CLICKED,
		NAVIGATION_FORM_SUBMITTED,
		NAVIGATION_BACK_FORWARD,
		NAVIGATION_RELOAD,
		NAVIGATION_FORM_RESUBMITTED,
		NAVIGATION_OTHER
	};

	/** The view's frame: origin (x, y), size width x height, in points. */
	NMWebViewController(float x, float y, float width, float height);
	~NMWebViewController();

	/** Creates the (transparent) view and turns it to the game's current orientation. */
	void loadView();
	void loadUrl(const lang::String& url);
	void reload();
	void show();
	void hide();
	void orientationChanged(int orientation);

	/** The delegate decision: whether the overlay itself loads the navigation. */
	bool shouldStartLoad(const lang::String& url, NavigationType type);
	void webViewDidFinishLoad(const lang::String& title);
	void didFailLoadWithError();

	void setWebViewObserver(WebViewObserver* observer)		{ m_webViewObserver = observer; }
	WebViewObserver* webViewObserver() const				{ return m_webViewObserver; }
	float alpha() const										{ return m_alpha; }
	bool visible() const									{ return m_alpha > 0; }
	bool loading() const									{ return m_fetch != nullptr; }
	const AffineTransform& transform() const				{ return m_transform; }
	const lang::String& url() const							{ return m_url; }

private:
	void loaded(const platform::HttpResult& result);

	float m_x, m_y, m_width, m_height;
	WebViewObserver* m_webViewObserver;
	float m_alpha;
	AffineTransform m_transform;
	lang::String m_url;
	std::unique_ptr<platform::HttpFetch> m_fetch;

	NMWebViewController(const NMWebViewController&);
	NMWebViewController& operator=(const NMWebViewController&);
};

} // pf

#endif
