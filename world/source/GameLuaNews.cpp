#include <world/GameLua.h>

void GameLua::createNelmaNews(float, float, float, float)
{
}

void GameLua::destroyNelmaNews()
{
}

void GameLua::loadNelmaNewsContent(const lang::String&)
{
}

void GameLua::reloadNelmaNewsContent()
{
}

void GameLua::showNelmaNews()
{
}

void GameLua::hideNelmaNews()
{
}

void GameLua::onUrlLoadCompleted(bool, const lang::String&, pf::WebView*)
{
}

bool GameLua::onLinkClicked(const lang::String&, pf::WebView*)
{
	return true;
}
