#ifndef PF_WEBVIEW_H
#define PF_WEBVIEW_H

#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace pf
{

class WebViewImpl;
class WebViewObserver;

/**
 * A web page over the game, created transparent; links tapped in it open outside the
 * application. Owns its implementation; the newest overlay receives the game's orientation changes.
 */
class WebView : public lang::Object
{
public:
	/** Origin (x, y); note the order: height, then width. */
	WebView(int x, int y, int height, int width);
	~WebView();

	void loadUrl(const lang::String& url);
	/** Makes the overlay visible (a fade-in where pages are drawn). */
	void show();
	/** Hides at once. */
	void hide();
	void reload();
	/** Null is ignored; otherwise the observer learns this view and gets its callbacks. */
	void setObserver(WebViewObserver* observer);

	WebViewImpl* impl() const								{ return m_impl.ptr(); }

private:
	lang::Ptr<WebViewImpl> m_impl;
};

} // pf

#endif
