#include <agent/AnalyticsPageViewDelegate.h>
#include <agent/AnalyticsPageViewTarget.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsUtil.h>

std::shared_ptr<AnalyticsPageViewDelegate> AnalyticsPageViewDelegate::createDelegateOnTarget(AnalyticsPageViewTarget& controller)
{
	if (controller.controllerKind() == AnalyticsPageViewTarget::Kind::Other)
		return nullptr;
	auto proxy = std::make_shared<AnalyticsPageViewDelegate>(AnalyticsSession::currentSession(), controller.delegate());
	controller.setDelegate(proxy.get());
	return proxy;
}

AnalyticsPageViewDelegate::AnalyticsPageViewDelegate(std::shared_ptr<AnalyticsSession> session, AnalyticsControllerDelegate* delegate) :
	m_session(std::move(session)),
	m_delegate(delegate)
{
}

void AnalyticsPageViewDelegate::forward(bool countsPageView, const std::function<void()>& call)
{
	try
	{
		if (m_delegate)
			call();
		if (countsPageView && m_session)
			m_session->maybeIncrementPageView();
	}
	catch (...)
	{
		AnalyticsUtil::handleException(std::current_exception());
	}
}

void AnalyticsPageViewDelegate::didShowViewController(AnalyticsPageViewTarget& navigation, Screen screen, bool animated)
{
	forward(true, [&] { m_delegate->didShowViewController(navigation, screen, animated); });
}

void AnalyticsPageViewDelegate::willShowViewController(AnalyticsPageViewTarget& navigation, Screen screen, bool animated)
{
	forward(false, [&] { m_delegate->willShowViewController(navigation, screen, animated); });
}

bool AnalyticsPageViewDelegate::shouldSelectViewController(AnalyticsPageViewTarget& tabBar, Screen screen)
{
	bool answer = true;
	forward(false, [&] { answer = m_delegate->shouldSelectViewController(tabBar, screen); });
	return answer;
}

void AnalyticsPageViewDelegate::didSelectViewController(AnalyticsPageViewTarget& tabBar, Screen screen)
{
	forward(true, [&] { m_delegate->didSelectViewController(tabBar, screen); });
}

void AnalyticsPageViewDelegate::willBeginCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens)
{
	forward(false, [&] { m_delegate->willBeginCustomizingViewControllers(tabBar, screens); });
}

void AnalyticsPageViewDelegate::willEndCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens, bool changed)
{
	forward(false, [&] { m_delegate->willEndCustomizingViewControllers(tabBar, screens, changed); });
}

void AnalyticsPageViewDelegate::didEndCustomizingViewControllers(AnalyticsPageViewTarget& tabBar, const std::vector<Screen>& screens, bool changed)
{
	forward(false, [&] { m_delegate->didEndCustomizingViewControllers(tabBar, screens, changed); });
}
