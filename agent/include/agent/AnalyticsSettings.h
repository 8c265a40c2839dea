#ifndef AGENT_ANALYTICSSETTINGS_H
#define AGENT_ANALYTICSSETTINGS_H

#include <string>

class AnalyticsAdDelegate;

// The agent's process-wide settings as one plain value; threads get copies of it.
struct AnalyticsSettings
{
	// Where sessions are uploaded; empty: nowhere, they stay stored.
	std::string serverURL;
	std::string canvasURL = "http://ads.example.net/getCanvas.do";
	std::string landscapeCanvasURL = "http://ads.example.net/getCanvasLandscape.do";
	std::string appStoreURL = "http://ads.example.net/getIPhoneApp.do";
	// Empty: unset.
	std::string savedResponseURL;
	bool udidEnabled = true;
	// Seconds.
	int pauseSecondsBeforeStartingNewSession = 10;
	bool sessionReportsOnCloseEnabled = true;
	bool sessionReportsOnPauseEnabled = true;
	bool eventLoggingEnabled = true;
	// -1: unknown.
	int age = -1;
	std::string gender;
	std::string userID;
	std::string appVersion;
	bool adNetworkEnabled = false;
	// Not owned; handed to the ad parser of each session.
	AnalyticsAdDelegate* adNetworkDelegate = nullptr;
};

#endif
