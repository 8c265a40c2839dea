#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdView.h>

namespace {

std::mutex s_mutex;
std::shared_ptr<AnalyticsAdAssignment> s_instance;

} // namespace

std::shared_ptr<AnalyticsAdAssignment> AnalyticsAdAssignment::createInstance()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	if (!s_instance)
		s_instance = std::make_shared<AnalyticsAdAssignment>();
	return s_instance;
}

std::shared_ptr<AnalyticsAdAssignment> AnalyticsAdAssignment::recreateInstance()
{
	std::shared_ptr<AnalyticsAdAssignment> released;
	{
		std::lock_guard<std::mutex> lock(s_mutex);
		// Released outside the lock: its banners may reach the assignment as they go.
		released = std::move(s_instance);
	}
	released.reset();
	return createInstance();
}

std::shared_ptr<AnalyticsAdAssignment> AnalyticsAdAssignment::instance()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_instance;
}

std::shared_ptr<AnalyticsAd> AnalyticsAdAssignment::assignAd(std::shared_ptr<AnalyticsAd> ad, const std::string& parentName)
{
	if (parentName.empty() || !ad)
		return ad;
	std::lock_guard<std::mutex> lock(m_mutex);
	if (!m_adAssignmentMap[parentName].insert(ad->adId).second)
		return nullptr;
	return ad;
}

void AnalyticsAdAssignment::removeAd(const AnalyticsAd* ad, const std::string& parentName)
{
	if (parentName.empty() || !ad)
		return;
	std::lock_guard<std::mutex> lock(m_mutex);
	auto assigned = m_adAssignmentMap.find(parentName);
	if (assigned != m_adAssignmentMap.end())
		assigned->second.erase(ad->adId);
}

void AnalyticsAdAssignment::removeAdsOnParentName(const std::string& parentName)
{
	if (parentName.empty())
		return;
	std::lock_guard<std::mutex> lock(m_mutex);
	m_adAssignmentMap[parentName].clear();
}

void AnalyticsAdAssignment::assignBanner(std::shared_ptr<AnalyticsAdView> banner, const std::string& hook, const std::string& parentName)
{
	if (parentName.empty() || hook.empty())
		return;
	std::lock_guard<std::mutex> lock(m_mutex);
	m_bannerAssignmentMap[parentName].emplace(hook, std::move(banner));
}

std::shared_ptr<AnalyticsAdView> AnalyticsAdAssignment::assignedBanner(const std::string& hook, const std::string& parentName) const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	auto banners = m_bannerAssignmentMap.find(parentName);
	if (banners == m_bannerAssignmentMap.end())
		return nullptr;
	auto banner = banners->second.find(hook);
	return banner == banners->second.end() ? nullptr : banner->second;
}

void AnalyticsAdAssignment::unassignBanner(const std::string& hook, const std::string& parentName)
{
	std::shared_ptr<AnalyticsAdView> released;
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		auto banners = m_bannerAssignmentMap.find(parentName);
		if (banners == m_bannerAssignmentMap.end())
			return;
		auto banner = banners->second.find(hook);
		if (banner == banners->second.end())
			return;
		// The banner's own teardown reaches this assignment: release it outside the lock.
		released = std::move(banner->second);
		banners->second.erase(banner);
	}
}
