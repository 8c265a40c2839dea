#include <pf/WebView.h>
#include <pf/WebViewImpl.h>
#include <pf/WebViewObserver.h>

namespace pf
{

WebView::WebView(int x, int y, int height, int width) :
	m_impl(new WebViewImpl(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width), static_cast<float>(height)))
{
	// This platform draws no overlay over the game, so there is no root view to add it to.
	m_impl->controller().loadView();
	gOrientationObserver = m_impl.ptr();
}

WebView::~WebView()
{
}

void WebView::loadUrl(const lang::String& url)
{
	m_impl->controller().loadUrl(url);
}

void WebView::show()
{
	m_impl->controller().show();
}

void WebView::hide()
{
	m_impl->controller().hide();
}

void WebView::reload()
{
	m_impl->controller().reload();
}

void WebView::setObserver(WebViewObserver* observer)
{
	if (!observer)
		return;
	observer->m_webView = this;
	m_impl->controller().setWebViewObserver(observer);
}

} // pf
