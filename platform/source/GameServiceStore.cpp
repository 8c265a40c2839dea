#include <platform/GameServiceStore.h>
#include <platform/FileSaver.h>
#include "EscapedText.h"
#include <lang/Debug.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

// Merges a score into the records; true when they changed.
bool mergeScore(std::vector<GameScore>& scores, GameScore score)
{
	score.rank = 0;
	const auto kept = std::find_if(scores.begin(), scores.end(), [&](const GameScore& s) {
		return s.leaderboard == score.leaderboard && s.playerID == score.playerID;
	});
	if (kept == scores.end())
	{
		scores.push_back(score);
		return true;
	}
	if (score.value <= kept->value)
	{
		const bool renamed = kept->alias != score.alias;
		kept->alias = score.alias;
		return renamed;
	}
	scores.erase(kept);
	scores.push_back(score);
	return true;
}

bool mergeAchievement(std::vector<GameAchievement>& achievements, GameAchievement achievement)
{
	if (std::isnan(achievement.percent))
		return false;
	achievement.percent = std::min(std::max(achievement.percent, 0.0), 100.0);
	const auto kept = std::find_if(achievements.begin(), achievements.end(), [&](const GameAchievement& a) {
		return a.playerID == achievement.playerID && a.id == achievement.id;
	});
	if (kept == achievements.end())
	{
		achievements.push_back(achievement);
		return true;
	}
	if (achievement.percent <= kept->percent)
		return false;
	kept->percent = achievement.percent;
	return true;
}

std::vector<std::string> fields(const std::string& line)
{
	std::vector<std::string> out;
	size_t start = 0;
	for (;;)
	{
		const size_t tab = line.find('\t', start);
		std::string field;
		if (!EscapedText::unescape(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start), field))
			return {};
		out.push_back(field);
		if (tab == std::string::npos)
			return out;
		start = tab + 1;
	}
}

bool parseInteger(const std::string& text, int64_t& value)
{
	char* end = nullptr;
	errno = 0;
	value = std::strtoll(text.c_str(), &end, 10);
	return !text.empty() && *end == 0 && errno == 0;
}

bool parsePercent(const std::string& text, double& value)
{
	char* end = nullptr;
	value = std::strtod(text.c_str(), &end);
	return !text.empty() && *end == 0 && std::isfinite(value);
}

std::string percentText(double percent)
{
	char text[32];
	std::snprintf(text, sizeof(text), "%.17g", percent);
	return text;
}

} // namespace

GameServiceStore::GameServiceStore(const std::string& path) :
	m_path(path)
{
	std::ifstream in(path, std::ios::binary);
	std::ostringstream text;
	text << in.rdbuf();
	parse(text.str(), m_scores, m_achievements, path);
}

bool GameServiceStore::reportScore(const GameScore& score)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return !(mergeScore(m_scores, score) || m_unsaved) || save();
}

bool GameServiceStore::reportAchievement(const GameAchievement& achievement)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return !(mergeAchievement(m_achievements, achievement) || m_unsaved) || save();
}

std::vector<GameScore> GameServiceStore::leaderboard(const std::string& leaderboard) const
{
	std::vector<GameScore> board;
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		for (const GameScore& score : m_scores)
			if (score.leaderboard == leaderboard)
				board.push_back(score);
	}
	std::stable_sort(board.begin(), board.end(), [](const GameScore& a, const GameScore& b) { return a.value > b.value; });
	for (size_t i = 0; i < board.size(); ++i)
		board[i].rank = static_cast<int>(i + 1);
	return board;
}

std::vector<std::string> GameServiceStore::leaderboards() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	std::vector<std::string> ids;
	for (const GameScore& score : m_scores)
		if (std::find(ids.begin(), ids.end(), score.leaderboard) == ids.end())
			ids.push_back(score.leaderboard);
	return ids;
}

std::vector<GameAchievement> GameServiceStore::achievements(const std::string& playerID) const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	std::vector<GameAchievement> mine;
	for (const GameAchievement& achievement : m_achievements)
		if (achievement.playerID == playerID)
			mine.push_back(achievement);
	return mine;
}

std::string GameServiceStore::serialize(const std::vector<GameScore>& scores, const std::vector<GameAchievement>& achievements)
{
	std::string text;
	for (const GameScore& s : scores)
		text += "score\t" + EscapedText::escape(s.leaderboard) + "\t" + EscapedText::escape(s.playerID) + "\t" +
			EscapedText::escape(s.alias) + "\t" + std::to_string(s.value) + "\n";
	for (const GameAchievement& a : achievements)
		text += "achievement\t" + EscapedText::escape(a.playerID) + "\t" + EscapedText::escape(a.id) + "\t" +
			percentText(a.percent) + "\n";
	return text;
}

void GameServiceStore::parse(const std::string& text, std::vector<GameScore>& scores, std::vector<GameAchievement>& achievements,
	const std::string& file)
{
	scores.clear();
	achievements.clear();
	std::istringstream in(text);
	std::string line;
	for (int number = 1; std::getline(in, line); ++number)
	{
		const std::vector<std::string> f = fields(line);
		GameScore score;
		GameAchievement achievement;
		if (f.size() == 5 && f[0] == "score" && parseInteger(f[4], score.value))
		{
			score.leaderboard = f[1];
			score.playerID = f[2];
			score.alias = f[3];
			mergeScore(scores, score);
		}
		else if (f.size() == 4 && f[0] == "achievement" && parsePercent(f[3], achievement.percent))
		{
			achievement.playerID = f[1];
			achievement.id = f[2];
			mergeAchievement(achievements, achievement);
		}
		else
			lang::Debug::printf("Damaged line %d of %s dropped\n", number, file.empty() ? "the game service's store" : file.c_str());
	}
}

// Called with the lock held.
bool GameServiceStore::save()
{
	m_unsaved = !FileSaver::save(m_path, serialize(m_scores, m_achievements));
	return !m_unsaved;
}

} // platform
