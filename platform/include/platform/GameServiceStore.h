#ifndef PLATFORM_GAMESERVICESTORE_H
#define PLATFORM_GAMESERVICESTORE_H

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// One player's best score on one leaderboard, a plain value; rank is 1 for the best, 0 until ranked.
struct GameScore
{
	std::string leaderboard;
	std::string playerID;
	std::string alias;
	int64_t value = 0;
	int rank = 0;
};

// One player's progress towards one achievement, a plain value (percent 0 to 100).
struct GameAchievement
{
	std::string playerID;
	std::string id;
	double percent = 0;

	bool completed() const { return percent >= 100; }
};

// What the local game service has been told, kept in one file and written through on every change
// with platform::FileSaver: each player's best score per leaderboard and each player's achievement
// progress. Thread-safe; owned by the game service.
//   score<TAB>leaderboard<TAB>playerID<TAB>alias<TAB>value
//   achievement<TAB>playerID<TAB>id<TAB>percent
// Fields are escaped as in the user defaults; lines that cannot be read are dropped and logged
// with their number and the file, like a damaged file, and the rest is kept.
class GameServiceStore
{
public:
	// Reads the file when there is one.
	explicit GameServiceStore(const std::string& path);

	// Keeps the player's higher score on the board; an equal or lower one changes nothing but the
	// alias. False when the file could not be written (the file stays as it was, the failure is
	// logged and the score is kept in memory); every report writes the file again until a write
	// succeeds.
	bool reportScore(const GameScore& score);
	// Progress never goes back; the percent is clamped to 0..100. False as for reportScore.
	bool reportAchievement(const GameAchievement& achievement);

	// The board's entries ranked, best first; equal values rank in the order they were reached.
	std::vector<GameScore> leaderboard(const std::string& leaderboard) const;
	// The boards that hold scores, in the order of their first score.
	std::vector<std::string> leaderboards() const;
	std::vector<GameAchievement> achievements(const std::string& playerID) const;

	// The file's text, and the records of a file's text.
	static std::string serialize(const std::vector<GameScore>& scores, const std::vector<GameAchievement>& achievements);
	// file names the text's file in the log.
	static void parse(const std::string& text, std::vector<GameScore>& scores, std::vector<GameAchievement>& achievements,
		const std::string& file = std::string());

private:
	bool save();

	std::string m_path;
	mutable std::mutex m_mutex;
	// In the order reached: a new best moves to the back.
	std::vector<GameScore> m_scores;
	std::vector<GameAchievement> m_achievements;
	// Whether the file lacks a change because its write failed.
	bool m_unsaved = false;
};

} // platform

#endif
