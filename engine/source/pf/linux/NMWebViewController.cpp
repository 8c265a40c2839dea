#include <pf/NMWebViewController.h>
#include <pf/Launcher.h>
#include <pf/OrientationObserver.h>
#include <pf/WebViewObserver.h>
#include <lang/Ptr.h>
#include <platform/Application.h>
#include <platform/HtmlTitle.h>
#include <platform/HttpFetch.h>

namespace pf
{

// A quarter turn in radians, single precision.
static const float QUARTER_TURN = 1.5707964f;

NMWebViewController::NMWebViewController(float x, float y, float width, float height) :
	m_x(x),
	m_y(y),
	m_width(width),
	m_height(height),
	m_webViewObserver(nullptr),
	m_alpha(0)
{
}

NMWebViewController::~NMWebViewController()
{
}

void NMWebViewController::loadView()
{
	m_alpha = 0;
	orientationChanged(gCurrentOrientation);
}

void NMWebViewController::loadUrl(const lang::String& url)
{
	m_url = url;
	m_fetch.reset();
	platform::Application* application = platform::Application::shared();
	if (!application)
	{
		didFailLoadWithError();
		return;
	}
	m_fetch.reset(new platform::HttpFetch(application->mainQueue(), std::string(url.c_str(), static_cast<size_t>(url.length())),
		[this](const platform::HttpResult& result) { loaded(result); }));
}

void NMWebViewController::reload()
{
	if (!m_url.isEmpty())
		loadUrl(lang::String(m_url));
}

void NMWebViewController::show()
{
	// Nothing is drawn, so the fade-in has only its end state.
	m_alpha = 1;
}

void NMWebViewController::hide()
{
	m_alpha = 0;
}

void NMWebViewController::orientationChanged(int orientation)
{
	const float centreX = m_x + m_width / 2;
	const float centreY = m_y + m_height / 2;
	if (orientation == 1)
		m_transform = AffineTransform::makeTranslation(-centreX, -centreY).rotate(QUARTER_TURN)
			.translate(centreX, centreY - platform::Application::SCREEN_WIDTH);
	else if (orientation == 3)
		m_transform = AffineTransform::makeTranslation(-centreX, platform::Application::SCREEN_HEIGHT - centreY)
			.rotate(-QUARTER_TURN).translate(centreX, centreY);
}

bool NMWebViewController::shouldStartLoad(const lang::String& url, NavigationType type)
{
	if (type != NAVIGATION_LINK_CLICKED)
		return true;
	if (m_webViewObserver && !m_webViewObserver->onLinkClicked(url, m_webViewObserver->m_webView))
		return false;
	lang::Ptr<Launcher> launcher(new Launcher);
	launcher->openURL(url);
	return false;
}

void NMWebViewController::webViewDidFinishLoad(const lang::String& title)
{
	if (m_webViewObserver)
		m_webViewObserver->onUrlLoadCompleted(true, title, m_webViewObserver->m_webView);
}

void NMWebViewController::didFailLoadWithError()
{
	if (m_webViewObserver)
		m_webViewObserver->onUrlLoadCompleted(false, lang::String(""), m_webViewObserver->m_webView);
}

void NMWebViewController::loaded(const platform::HttpResult& result)
{
	// The worker has posted its last and ends: joining it here cannot wait.
	m_fetch.reset();
	if (!result.ok)
	{
		didFailLoadWithError();
		return;
	}
	const std::string title = platform::HtmlTitle::extract(result.body);
	webViewDidFinishLoad(lang::String(title.c_str(), static_cast<int>(title.size())));
}

} // pf
