#ifndef AGENT_ADS_ANALYTICSOFFER_H
#define AGENT_ADS_ANALYTICSOFFER_H

#include <string>

// An ad handed to the application to show itself; the caller owns it and the parser fills it.
struct AnalyticsOffer
{
	std::string appName;
	// Encoded image bytes; empty when the ad has no image.
	std::string appIcon;
	std::string referralUrl;
};

#endif
