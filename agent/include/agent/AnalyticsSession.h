#ifndef AGENT_ANALYTICSSESSION_H
#define AGENT_ANALYTICSSESSION_H

#include <agent/AnalyticsEvent.h>
#include <agent/AnalyticsSessionTarget.h>
#include <platform/ArchiveValue.h>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One analytics session: what the application did between the session's start and its end.
// Shared by the class (the current record), the facade, uploads and page-view proxies; every
// operation takes the record's lock, so uploads on other threads read consistent copies. Dates are
// seconds since 1970.
// The current record is on disk after every change of content, before the call returns: an event
// (a refused one too), an error or an ad impression is appended with one write to the journal
// beside the current-session archive, at a cost that does not grow with the session; the whole
// record replaces the archive, and the journal is removed, when it becomes current, at a pause,
// a return and an end, and with the next change after a write that failed. The next start reads
// the archive and applies the journal's changes made after it.
class AnalyticsSession : public AnalyticsSessionTarget
{
public:
	// One reported error; absent texts are empty.
	struct Error
	{
		double date = 0;
		std::string errorID;
		std::string message;
		std::string description;
	};

	// One ad impression, kept as its report block; an impression with the same identity replaces it.
	struct AdImpressionBlock
	{
		std::string identity;
		std::string block;
	};

	static constexpr const char* CLASS_NAME = "AnalyticsSession";
	// The class of a journalled change: the keys of the record that it extends ("eventLog",
	// "errors"), merges into ("eventCounts"), puts by identity ("adLog") or replaces
	// ("eventLogComplete", "totalErrorCount").
	static constexpr const char* CHANGE_CLASS_NAME = "AnalyticsSessionChange";
	static constexpr int SERIALIZATION_VERSION = 1;
	// Page views closer together than this count once (seconds).
	static constexpr double PAGE_VIEW_INTERVAL = 0.3;
	static constexpr int MIN_AGE = 1;
	static constexpr int MAX_AGE = 150;
	static constexpr int GENDER_UNKNOWN = -1;
	static constexpr int GENDER_FEMALE = 0;
	static constexpr int GENDER_MALE = 1;

	// Makes the current record for the key: a record left in the current-session file by a run
	// that never ended its session is marked crashed and stored first. The new record carries the
	// facade's application version, else the bundle's, and is archived at once. While the earlier
	// record cannot be stored (its file or the stored sessions cannot be read, or the stored
	// sessions cannot be written), the new record leaves the file alone and tries again before each
	// write; a write that fails is tried again with the next change.
	static std::shared_ptr<AnalyticsSession> createActiveAnalyticsSession(const std::string& apiKey);
	// Null when none runs.
	static std::shared_ptr<AnalyticsSession> currentSession();

	// "IPHONE" and the device's unique identifier.
	static std::string phoneID();
	// The 20-byte SHA-1 digest of phoneID.
	static std::string analyticsID();
	static std::string getAgentVersion();
	// Facts about the machine that the report does not carry: its hardware name, its memory in
	// whole megabytes and its processor's top frequency in hertz (0 when unknown).
	static std::string devicePlatform();
	static std::int64_t deviceMemory();
	static std::int64_t deviceCPUFrequency();
	// A coordinate in degrees cut toward zero to three decimals.
	static double reduceLocationPrecision(double coordinate);

	// Starts now with the initial values; writes no file until it becomes current.
	AnalyticsSession(const std::string& apiKey, const std::string& appVersion);

	void pauseSession();
	// Adds the pause to the pause total; nothing without a pause.
	void resumeSession();
	// endSessionAndSend(true, true).
	void endSession();
	// The end time becomes now and open timed events end; sends the stored sessions for the end of
	// the session when send and reports on close are set; stores the record when remove is set.
	void endSessionAndSend(bool send, bool remove);
	// Adds the record's block to the stored sessions, deletes the current-session file and stops
	// being current; the record writes no file afterwards. Throws platform::ArchiveError when the
	// stored sessions cannot be read or written; the record then stays current and in its file.
	// Stored once: when the process dies before the file is deleted, the next start finds the
	// record's identity already stored and only deletes the file.
	void saveSession();
	void saveToDisk();

	void setSessionReportsOnCloseEnabled(bool enabled) override;
	void setSessionReportsOnPauseEnabled(bool enabled) override;
	void setEventLoggingEnabled(bool enabled) override;
	bool sessionReportsOnCloseEnabled() const;
	bool sessionReportsOnPauseEnabled() const;
	bool eventLoggingEnabled() const;

	// Refused events (no name, too many parameters, too many names) clear eventLogComplete.
	void recordEvent(const std::string& name, const std::map<std::string, std::string>& parameters, bool timed) override;
	// Ends every open timed event of that name; non-empty parameters replace the event's.
	void endTimedEvent(const std::string& name, const std::map<std::string, std::string>& parameters);
	void recordError(const std::string& errorID, const std::string& message, const std::string& description);
	void recordAdImpression(const AdImpressionBlock& impression);
	// Counts when more than PAGE_VIEW_INTERVAL passed since the last page view counted by any record.
	void maybeIncrementPageView();

	void setUserID(const std::string& userID) override;
	// "m" or "f"; anything else is unknown.
	void setGender(const std::string& gender) override;
	// Ages from MIN_AGE to MAX_AGE set the birth date to the start of that year; others are ignored.
	void setAge(int age) override;

	// Random, made with the record and archived with it; empty for a record archived without one.
	std::string identity() const;
	double startTime() const;
	std::optional<double> endTime() const;
	std::string apiKey() const;
	std::string appVersion() const;
	std::string userID() const;
	int gender() const;
	std::optional<double> birthDate() const;
	int pageViewCount() const;
	bool internetAvailable() const;
	void setInternetAvailable(bool available);
	bool crashed() const;
	void setCrashed(bool crashed);
	std::int64_t totalPauseIntervalMillis() const;
	std::map<std::string, std::int64_t> eventCounts() const;
	std::vector<AnalyticsEvent> eventLog() const;
	bool eventLogComplete() const;
	std::vector<Error> errors() const;
	int totalErrorCount() const;
	std::vector<AdImpressionBlock> adLog() const;

	// Milliseconds from the start to the date.
	std::int64_t timeIntervalSinceSessionStart(double date) const;
	// Milliseconds from the start to the end; -1 without an end.
	std::int64_t sessionLength() const;
	// The record's block of the session report.
	std::string data() const;

	platform::ArchiveValue archive() const;
	// Throws platform::ArchiveError for a value that is no session record or has a newer layout.
	// The switches of a record read back are off.
	static std::shared_ptr<AnalyticsSession> unarchive(const platform::ArchiveValue& value);
	// The record with the journalled changes applied in order, up to the first that does not read
	// or would take the record past its limits; the record itself is never lost to a change.
	static std::shared_ptr<AnalyticsSession> unarchive(const platform::ArchiveValue& value, const std::vector<platform::ArchiveValue>& changes);

private:
	AnalyticsSession() = default;
	// Stores the record that a run which never ended its session left in the current-session
	// file, marked crashed, and clears the file; one that does not decode is set aside. Throws
	// platform::ArchiveUnreadable, leaving the file, while it or the stored sessions cannot be read.
	static void storeCrashedSession();
	void endTimedEvents();
	std::int64_t sessionLengthLocked() const;
	// Called with the lock held.
	platform::ArchiveValue archiveLocked() const;
	std::string dataLocked() const;
	// Writes the whole record to the archive.
	void saveLocked();
	// Appends the change to the journal; writes the whole record instead while the archive lacks
	// an earlier change.
	void journalLocked(const platform::ArchiveValue& change);
	// Replaces the impression with the same identity, else appends it.
	void putImpressionLocked(const AdImpressionBlock& impression);
	// Throws platform::ArchiveError, changing nothing, for a change that does not read or would take
	// the record past its limits.
	void applyChange(const platform::ArchiveValue& change);

	mutable std::mutex m_mutex;
	std::string m_identity;
	double m_startTime = 0;
	std::optional<double> m_endTime;
	std::optional<double> m_pauseTime;
	std::int64_t m_totalPauseIntervalMillis = 0;
	double m_latitude = 0;
	double m_longitude = 0;
	float m_accuracy = 0;
	bool m_crashed = false;
	std::string m_apiKey;
	std::string m_appVersion;
	std::string m_userID;
	std::map<std::string, std::int64_t> m_eventCounts;
	std::vector<AnalyticsEvent> m_eventLog;
	bool m_eventLogComplete = true;
	std::vector<Error> m_errors;
	int m_totalErrorCount = 0;
	std::vector<AdImpressionBlock> m_adLog;
	bool m_eventLoggingEnabled = true;
	bool m_sessionReportsOnCloseEnabled = true;
	bool m_sessionReportsOnPauseEnabled = false;
	int m_pageViewCount = 0;
	std::string m_locale;
	std::string m_timeZone;
	bool m_internetAvailable = true;
	int m_gender = GENDER_UNKNOWN;
	std::optional<double> m_birthDate;
	// True while the record is the current one, whose changes go to the current-session file.
	bool m_writesCurrentFile = false;
	// The file still holds an earlier run's record that could not be stored when this one began.
	bool m_crashedSessionPending = false;
	// The archive lacks changes that are not in the journal either (the record has not been
	// written yet, or a write failed).
	bool m_needsArchive = true;
};

#endif
