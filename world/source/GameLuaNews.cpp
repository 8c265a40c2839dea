#include <world/GameLua.h>

#include <lang/Truncate.h>

namespace {

// The news page is recognised by its title, exactly.
const char* const NEWS_TITLE = "Nelma News [hjsdu]";

} // namespace

// The web view takes its frame as origin x, origin y, then height and width, in this order.
void GameLua::createNelmaNews(float x, float y, float height, float width)
{
	if (m_newsView)
		return;
	m_newsView = new pf::WebView(lang::truncateTo<int>(x), lang::truncateTo<int>(y), lang::truncateTo<int>(height), lang::truncateTo<int>(width));
	m_newsView->setObserver(this);
}

// The loaded and shown flags are left as they are.
void GameLua::destroyNelmaNews()
{
	m_newsView = nullptr;
}

void GameLua::loadNelmaNewsContent(const lang::String& url)
{
	if (!m_newsView)
		return;
	setBoolean("nelmaNewsURLIsLoaded", false);
	m_newsView->loadUrl(url);
}

void GameLua::reloadNelmaNewsContent()
{
	if (!m_newsView)
		return;
	setBoolean("nelmaNewsURLIsLoaded", false);
	m_newsView->reload();
}

void GameLua::showNelmaNews()
{
	if (!m_newsView)
		return;
	m_newsView->show();
	setBoolean("nelmaNewsIsShown", true);
}

void GameLua::hideNelmaNews()
{
	if (!m_newsView)
		return;
	m_newsView->hide();
	setBoolean("nelmaNewsIsShown", false);
}

// Another page that loads is not the news page, so it counts as not loaded.
void GameLua::onUrlLoadCompleted(bool success, const lang::String& title, pf::WebView*)
{
	setBoolean("nelmaNewsURLIsLoaded", success && title == lang::String(NEWS_TITLE));
}

// Links tapped in the news page open outside the game.
bool GameLua::onLinkClicked(const lang::String&, pf::WebView*)
{
	return true;
}
