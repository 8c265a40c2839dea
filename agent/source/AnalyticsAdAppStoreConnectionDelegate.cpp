#include <agent/AnalyticsAdAppStoreConnectionDelegate.h>
#include <platform/Application.h>
#include <platform/BackgroundThreads.h>
#include <platform/HttpFetch.h>

namespace {

bool fetchable(const std::string& url)
{
	return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0;
}

} // namespace

std::shared_ptr<AnalyticsAdAppStoreConnectionDelegate> AnalyticsAdAppStoreConnectionDelegate::openReferralURL(const std::string& url, Hooks hooks)
{
	std::shared_ptr<AnalyticsAdAppStoreConnectionDelegate> referral(new AnalyticsAdAppStoreConnectionDelegate(url, std::move(hooks)));
	if (referral->m_hooks.adImpression)
		referral->m_hooks.adImpression(RESULT_REFERRAL_OPENED);
	platform::TaskRunner& worker = referral->m_hooks.worker ? *referral->m_hooks.worker : platform::BackgroundThreads::shared();
	worker.run([referral] {
		const bool resolved = referral->resolve();
		referral->m_hooks.toMainThread([referral, resolved] { referral->finish(resolved); });
	});
	return referral;
}

AnalyticsAdAppStoreConnectionDelegate::AnalyticsAdAppStoreConnectionDelegate(const std::string& url, Hooks hooks) :
	m_url(url),
	m_hooks(std::move(hooks))
{
	platform::Application* application = platform::Application::shared();
	if (!m_hooks.toMainThread)
		m_hooks.toMainThread = [application](std::function<void()> work) {
			if (application)
				application->mainQueue().post(nullptr, std::move(work));
		};
	if (!m_hooks.openURL)
		m_hooks.openURL = [application](const std::string& link) { return application && application->openURL(link); };
}

std::string AnalyticsAdAppStoreConnectionDelegate::iTunesURL() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_iTunesURL;
}

bool AnalyticsAdAppStoreConnectionDelegate::resolve()
{
	std::string url = m_url;
	for (int redirects = 0; !m_cancelled; ++redirects)
	{
		platform::HttpRequest request;
		request.url = url;
		request.followRedirects = false;
		const platform::HttpResult result = platform::HttpFetch::perform(request, &m_cancelled);
		const bool redirect = result.status >= 300 && result.status <= 399 && !result.redirectUrl.empty();
		if (!redirect)
			return result.ok;
		{
			std::lock_guard<std::mutex> lock(m_mutex);
			m_iTunesURL = url;
		}
		// A target that is no web address (the store's own scheme) ends the chain here.
		if (!fetchable(result.redirectUrl))
			return true;
		if (redirects == MAX_REDIRECTS)
			return false;
		url = result.redirectUrl;
	}
	return false;
}

void AnalyticsAdAppStoreConnectionDelegate::finish(bool resolved)
{
	if (m_cancelled)
		return;
	bool opened = false;
	if (resolved)
	{
		if (m_hooks.adImpression)
			m_hooks.adImpression(RESULT_REDIRECTS_FOLLOWED);
		const std::string link = iTunesURL();
		opened = m_hooks.openURL(link.empty() ? m_url : link);
	}
	if (m_hooks.done)
		m_hooks.done(opened);
}
