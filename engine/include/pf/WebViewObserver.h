#ifndef PF_WEBVIEWOBSERVER_H
#define PF_WEBVIEWOBSERVER_H

#include <lang/String.h>

namespace pf
{

class WebView;

/** Learns what happens in a web view overlay; implemented and owned by the application, borrowed by the overlay. */
class WebViewObserver
{
public:
	WebViewObserver() : m_webView(nullptr) {}
	virtual ~WebViewObserver() {}

	/** A page finished loading (with its title) or failed (with an empty title). */
	virtual void onUrlLoadCompleted(bool success, const lang::String& title, WebView* view) = 0;
	/** A link was tapped; true opens it outside the application. */
	virtual bool onLinkClicked(const lang::String& url, WebView* view) = 0;

	/** The overlay this observer watches (set by WebView::setObserver). */
	WebView* m_webView;
};

} // pf

#endif
