#ifndef AGENT_ADS_ANALYTICSADASSIGNMENT_H
#define AGENT_ADS_ANALYTICSADASSIGNMENT_H

#include <agent/ads/AnalyticsAd.h>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

class AnalyticsAdView;

// Which ads and banners each parent (by name) shows, so that one parent never shows an ad twice.
// One process-wide instance, in memory only and made anew each session; guarded by its own lock.
// An empty parent or hook name stands for none.
class AnalyticsAdAssignment
{
public:
	static std::shared_ptr<AnalyticsAdAssignment> createInstance();
	static std::shared_ptr<AnalyticsAdAssignment> recreateInstance();
	static std::shared_ptr<AnalyticsAdAssignment> instance();

	// The ad, or none when the parent already holds it; without a parent always the ad.
	std::shared_ptr<AnalyticsAd> assignAd(std::shared_ptr<AnalyticsAd> ad, const std::string& parentName);
	void removeAd(const AnalyticsAd* ad, const std::string& parentName);
	void removeAdsOnParentName(const std::string& parentName);

	// The parent keeps the first banner of a hook; later ones are ignored.
	void assignBanner(std::shared_ptr<AnalyticsAdView> banner, const std::string& hook, const std::string& parentName);
	std::shared_ptr<AnalyticsAdView> assignedBanner(const std::string& hook, const std::string& parentName) const;
	void unassignBanner(const std::string& hook, const std::string& parentName);

private:
	mutable std::mutex m_mutex;
	std::map<std::string, std::set<std::int64_t>> m_adAssignmentMap;
	std::map<std::string, std::map<std::string, std::shared_ptr<AnalyticsAdView>>> m_bannerAssignmentMap;
};

#endif
