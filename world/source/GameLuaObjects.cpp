#include <world/GameLua.h>

void GameLua::createBoxLua(const lang::String&, const lang::String&, float, float, float, float, float, float, float, bool, bool, float)
{
}

void GameLua::createCircleLua(const lang::String&, const lang::String&, float, float, float, float, float, float, bool, bool, float)
{
}

void GameLua::createPolygonLua(const lang::String&, const lang::String&, float, float, float, float, float, float, float, bool, bool, float)
{
}

void GameLua::clearVertices()
{
}

void GameLua::addVertex(float, float)
{
}

void GameLua::applyImpulse(const lang::String&, float, float, float, float)
{
}

void GameLua::applyForce(const lang::String&, float, float, float, float)
{
}

void GameLua::setPosition(const lang::String&, float, float)
{
}

void GameLua::setRotation(const lang::String&, float)
{
}

void GameLua::setVelocity(const lang::String&, float, float)
{
}

void GameLua::setAngularVelocity(const lang::String&, float)
{
}

float GameLua::getAngularVelocity(const lang::String&)
{
	return 0.0f;
}

void GameLua::removeObject(const lang::String&)
{
}

void GameLua::setSprite(const lang::String&, const lang::String&)
{
}

void GameLua::setMaterial(const lang::String&, const lang::String&)
{
}

void GameLua::setTexture(const lang::String&, const lang::String&)
{
}

void GameLua::setSleeping(const lang::String&, bool)
{
}

void GameLua::setObjectParameter(const lang::String&, float, float)
{
}

void GameLua::setCollisionEnabled(const lang::String&, bool)
{
}

float GameLua::getAngle(const lang::String&)
{
	return 0.0f;
}

int GameLua::getWorldPoint(lua::LuaState* lua)
{
	return 0;
}

int GameLua::getLocalPoint(lua::LuaState* lua)
{
	return 0;
}

void GameLua::clearWorld()
{
}
