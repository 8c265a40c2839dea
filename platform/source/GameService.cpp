#include <platform/GameService.h>
#include <platform/Application.h>
#include <platform/Digest.h>
#include <algorithm>
#include <cstdio>

namespace platform {

namespace {

// Hex digits of the alias digest that make a player identifier.
const size_t PLAYER_ID_DIGITS = 16;
// Entries of each leaderboard that its screen lists.
const int SCREEN_ENTRIES = 10;

} // namespace

GameService::GameService(Application& application, const std::string& storePath, const std::string& alias, SignIn signIn) :
	m_application(application),
	m_store(storePath),
	m_alias(alias),
	m_signIn(signIn)
{
}

GameService::~GameService()
{
	m_application.mainQueue().cancel(this);
}

std::string GameService::playerIDOf(const std::string& alias)
{
	return "L:" + Digest::hex(Digest::sha1(alias.data(), alias.size())).substr(0, PLAYER_ID_DIGITS);
}

void GameService::deliver(std::function<void()> work)
{
	m_application.mainQueue().post(this, std::move(work));
}

void GameService::setAuthenticationObserver(std::function<void(bool)> observer)
{
	m_observer = std::move(observer);
}

void GameService::authenticate(std::function<void(GameServiceError)> done)
{
	GameServiceError error = GameServiceError::None;
	if (m_signIn == SignIn::Cancelled)
		error = GameServiceError::Cancelled;
	else if (m_signIn == SignIn::Unsupported)
		error = GameServiceError::NotSupported;
	const bool changed = error == GameServiceError::None && !m_authenticated;
	m_authenticated = m_authenticated || changed;
	deliver([this, done = std::move(done), error, changed] {
		if (done)
			done(error);
		if (changed && m_observer)
			m_observer(true);
	});
}

void GameService::signOut()
{
	if (!m_authenticated)
		return;
	m_authenticated = false;
	deliver([this] {
		if (m_observer)
			m_observer(false);
	});
}

std::string GameService::playerID() const
{
	return m_authenticated ? playerIDOf(m_alias) : std::string();
}

std::string GameService::alias() const
{
	return m_authenticated ? m_alias : std::string();
}

std::string GameService::title(const std::string& leaderboard) const
{
	for (const LeaderboardInfo& info : m_leaderboards)
		if (info.id == leaderboard)
			return info.title;
	return leaderboard;
}

void GameService::loadLeaderboards(std::function<void(GameServiceError, const std::vector<LeaderboardInfo>&)> done)
{
	std::vector<LeaderboardInfo> boards;
	if (m_authenticated)
	{
		boards = m_leaderboards;
		for (const std::string& id : m_store.leaderboards())
			if (std::none_of(boards.begin(), boards.end(), [&](const LeaderboardInfo& b) { return b.id == id; }))
				boards.push_back({id, id});
	}
	const GameServiceError error = m_authenticated ? GameServiceError::None : GameServiceError::NotAuthenticated;
	deliver([done = std::move(done), error, boards] { done(error, boards); });
}

void GameService::loadAchievementDescriptions(std::function<void(GameServiceError, const std::vector<AchievementInfo>&)> done)
{
	const std::vector<AchievementInfo> descriptions = m_authenticated ? m_achievements : std::vector<AchievementInfo>();
	const GameServiceError error = m_authenticated ? GameServiceError::None : GameServiceError::NotAuthenticated;
	deliver([done = std::move(done), error, descriptions] { done(error, descriptions); });
}

void GameService::reportScore(const std::string& leaderboard, int64_t value, std::function<void(GameServiceError)> done)
{
	GameServiceError error = GameServiceError::NotAuthenticated;
	if (m_authenticated)
	{
		GameScore score;
		score.leaderboard = leaderboard;
		score.playerID = playerID();
		score.alias = m_alias;
		score.value = value;
		error = m_store.reportScore(score) ? GameServiceError::None : GameServiceError::StoreFailed;
	}
	deliver([done = std::move(done), error] {
		if (done)
			done(error);
	});
}

void GameService::loadScores(const std::string& leaderboard, int first, int count,
	std::function<void(GameServiceError, const LeaderboardPage&)> done)
{
	LeaderboardPage page;
	if (m_authenticated)
	{
		const std::vector<GameScore> board = m_store.leaderboard(leaderboard);
		page.maxRange = static_cast<int>(board.size());
		const std::string me = playerID();
		for (const GameScore& score : board)
		{
			if (score.rank >= std::max(first, 1) && count > 0 && score.rank - std::max(first, 1) < count)
				page.entries.push_back(score);
			if (score.playerID == me)
				page.localPlayer = score;
		}
	}
	const GameServiceError error = m_authenticated ? GameServiceError::None : GameServiceError::NotAuthenticated;
	deliver([done = std::move(done), error, page] { done(error, page); });
}

void GameService::reportAchievement(const std::string& id, double percent, std::function<void(GameServiceError)> done)
{
	GameServiceError error = GameServiceError::NotAuthenticated;
	if (m_authenticated)
	{
		GameAchievement achievement;
		achievement.playerID = playerID();
		achievement.id = id;
		achievement.percent = percent;
		error = m_store.reportAchievement(achievement) ? GameServiceError::None : GameServiceError::StoreFailed;
	}
	deliver([done = std::move(done), error] {
		if (done)
			done(error);
	});
}

void GameService::loadAchievements(std::function<void(GameServiceError, const std::vector<GameAchievement>&)> done)
{
	const std::vector<GameAchievement> progress = m_authenticated ? m_store.achievements(playerID()) : std::vector<GameAchievement>();
	const GameServiceError error = m_authenticated ? GameServiceError::None : GameServiceError::NotAuthenticated;
	deliver([done = std::move(done), error, progress] { done(error, progress); });
}

void GameService::showLeaderboards(std::function<void(GameServiceError)> done)
{
	if (!m_authenticated)
	{
		deliver([done = std::move(done)] { done(GameServiceError::NotAuthenticated); });
		return;
	}
	std::vector<std::string> ids;
	for (const LeaderboardInfo& info : m_leaderboards)
		ids.push_back(info.id);
	for (const std::string& id : m_store.leaderboards())
		if (std::find(ids.begin(), ids.end(), id) == ids.end())
			ids.push_back(id);
	std::string text;
	for (const std::string& id : ids)
	{
		text += title(id) + "\n";
		const std::vector<GameScore> board = m_store.leaderboard(id);
		for (size_t i = 0; i < board.size() && i < static_cast<size_t>(SCREEN_ENTRIES); ++i)
			text += std::to_string(board[i].rank) + ". " + board[i].alias + "  " + std::to_string(board[i].value) + "\n";
		if (board.empty())
			text += "No scores yet\n";
	}
	m_application.showAlert(Alert{"Leaderboards", text, {"Done"}, 0}, [done = std::move(done)](int) { done(GameServiceError::None); });
}

void GameService::showAchievements(std::function<void(GameServiceError)> done)
{
	if (!m_authenticated)
	{
		deliver([done = std::move(done)] { done(GameServiceError::NotAuthenticated); });
		return;
	}
	const std::vector<GameAchievement> progress = m_store.achievements(playerID());
	std::string text;
	for (const AchievementInfo& info : m_achievements)
	{
		const auto mine = std::find_if(progress.begin(), progress.end(), [&](const GameAchievement& a) { return a.id == info.id; });
		const double percent = mine == progress.end() ? 0 : mine->percent;
		if (info.hidden && percent <= 0)
			continue;
		char amount[16];
		std::snprintf(amount, sizeof(amount), "%.0f%%", percent);
		text += info.title + "  " + (percent >= 100 ? info.achievedDescription : std::string(amount)) + "\n";
	}
	if (text.empty())
		text = "No achievements yet\n";
	m_application.showAlert(Alert{"Achievements", text, {"Done"}, 0}, [done = std::move(done)](int) { done(GameServiceError::None); });
}

} // platform
