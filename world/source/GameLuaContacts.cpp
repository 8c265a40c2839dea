#include <world/GameLua.h>

#include <world/RenderObjectData.h>
#include <algorithm>
#include <cmath>

namespace {

// A hit marks an object with the impact times this factor, at most the cap.
const float HIT_FACTOR = 0.02f;
const float HIT_CAP = 0.1f;
// Block score per whole point of damage.
const float SCORE_PER_DAMAGE = 10.0f;
// Share of the breaking strength a legacy projectile keeps as speed.
const float LEGACY_BREAK_THROUGH_FACTOR = 1.75f;

GameLua::FixtureUserData* userDataOf(b2Fixture* fixture)
{
	return reinterpret_cast<GameLua::FixtureUserData*>(fixture->GetUserData().pointer);
}

void markHit(GameLua::RenderObjectData& record, float amount)
{
	if (amount <= record.hitThreshold)
		return;
	record.hitMarked = true;
	record.hitAmount = amount;
}

float hitAmount(float impact)
{
	return std::min(impact * HIT_FACTOR, HIT_CAP);
}

// The multiplier of a factor table for a material; 1 when it names none.
float multiplier(const lua::LuaTable& factors, const lang::String& material)
{
	return factors.isNumber(material) ? factors.getNumber(material) : 1.0f;
}

} // namespace

bool GameLua::ShouldCollide(b2Fixture* fixtureA, b2Fixture* fixtureB)
{
	const FixtureUserData* a = userDataOf(fixtureA);
	const FixtureUserData* b = userDataOf(fixtureB);
	return (!a || a->collisionEnabled) && (!b || b->collisionEnabled);
}

void GameLua::BeginContact(b2Contact* contact)
{
	if (m_editing || m_clearingWorld || m_contactFailure)
		return;
	// A script's failure (a table without the values the damage needs) is logged and the step
	// goes on. Box2D cannot be unwound mid-step: any other failure waits until the step has returned.
	try
	{
		guardScript("contact", [&] { beginTouch(contact); });
	}
	catch (...)
	{
		m_contactFailure = std::current_exception();
	}
}

void GameLua::EndContact(b2Contact* contact)
{
	if (m_editing || m_clearingWorld || m_loadingLevel || m_contactFailure)
		return;
	try
	{
		guardScript("contact", [&] { endTouch(contact); });
	}
	catch (...)
	{
		m_contactFailure = std::current_exception();
	}
}

void GameLua::PreSolve(b2Contact*, const b2Manifold*)
{
}

void GameLua::PostSolve(b2Contact*, const b2ContactImpulse*)
{
}

void GameLua::rethrowContactFailure()
{
	if (!m_contactFailure)
		return;
	std::exception_ptr failure = m_contactFailure;
	m_contactFailure = nullptr;
	std::rethrow_exception(failure);
}

bool GameLua::touchingRecords(b2Contact* contact, RenderObjectData*& a, RenderObjectData*& b)
{
	const FixtureUserData* dataA = userDataOf(contact->GetFixtureA());
	const FixtureUserData* dataB = userDataOf(contact->GetFixtureB());
	if (!dataA || !dataB || !dataA->record || !dataB->record)
		return false;
	lua::LuaTable world = worldTable();
	if (!world.isTable(dataA->name) || !world.isTable(dataB->name))
		return false;
	a = dataA->record;
	b = dataB->record;
	return true;
}

void GameLua::beginTouch(b2Contact* contact)
{
	RenderObjectData* a;
	RenderObjectData* b;
	// An object removed earlier in this step keeps its body until the step ends, but touches nothing more.
	if (!touchingRecords(contact, a, b) || findRecord(a->name) != a || findRecord(b->name) != b)
		return;
	// A body the step has turned to no number does no damage; the frame puts it back after the step.
	if (!hasFiniteMotion(*a->body) || !hasFiniteMotion(*b->body))
		return;
	lua::LuaTable world = worldTable();
	const lang::String materialA = world.getTable(a->name).getString("material");
	const lang::String materialB = world.getTable(b->name).getString("material");
	if (a->isProjectile && b->isProjectile)
		projectileAgainstProjectile(*a, *b);
	else if (a->isProjectile)
		projectileAgainstObject(contact, *a, *b, materialB);
	else if (b->isProjectile)
		projectileAgainstObject(contact, *b, *a, materialA);
	else
		objectAgainstObject(*a, *b, materialA, materialB);
}

void GameLua::projectileAgainstProjectile(RenderObjectData& a, RenderObjectData& b)
{
	const b2Body* faster = a.body->GetLinearVelocity().LengthSquared() > b.body->GetLinearVelocity().LengthSquared() ? a.body : b.body;
	const float impact = faster->GetLinearVelocity().Length() * faster->GetMass() / m_impactDivisor;
	const float hit = hitAmount(impact);
	if (!a.flag11)
		markHit(a, hit);
	if (!b.flag11)
		markHit(b, hit);
	callScript("projectileCollision", a.name, b.name, impact, 0.0f);
}

void GameLua::projectileAgainstObject(b2Contact* contact, RenderObjectData& projectile, RenderObjectData& object, const lang::String& objectMaterial)
{
	lua::LuaTable world = worldTable();
	lua::LuaTable projectileTable = world.getTable(projectile.name);
	lua::LuaTable objectTable = world.getTable(object.name);
	lua::LuaTable factors = getTable("blockTable").getTable("damageFactors").getTable(projectileTable.getString("damageFactors"));
	const float damageMultiplier = multiplier(factors.getTable("damageMultiplier"), objectMaterial);
	const float velocityMultiplier = multiplier(factors.getTable("velocityMultiplier"), objectMaterial);
	const bool legacy = projectileTable.isBoolean("useLegacyCollisionPath") && projectileTable.getBoolean("useLegacyCollisionPath");

	b2Body* projectileBody = projectile.body;
	const b2Vec2 velocity = projectileBody->GetLinearVelocity();
	const float projectileMass = projectileBody->GetMass();
	const b2Vec2 momentum = damageMultiplier * projectileMass * velocity - object.body->GetMass() * object.body->GetLinearVelocity();
	const float impact = momentum.Length() / m_impactDivisor;

	float damage = 0.0f;
	if (objectTable.isNumber("strength"))
	{
		const float defence = objectTable.isNumber("defence") ? objectTable.getNumber("defence") : 0.0f;
		damage = impact - defence;
		if (damage > 0.0f)
		{
			const float strength = objectTable.getNumber("strength");
			const float remaining = strength - damage;
			objectTable.setNumber("strength", remaining);
			if (remaining < 0.0f)
			{
				// The object breaks: the projectile passes through, keeping part of its speed.
				damage = strength;
				contact->SetEnabled(false);
				// A zero impact (negative defence) or a massless projectile would divide by zero.
				if (!legacy && impact > 0.0f)
				{
					const float share = std::min((impact - strength) / impact * velocityMultiplier, 1.0f);
					projectile.pendingVelocity = share * velocity;
					projectile.hasPendingVelocity = true;
				}
				else if (legacy && impact * projectileMass > 0.0f && projectileBody->GetType() != b2_staticBody)
				{
					const float share = std::min(LEGACY_BREAK_THROUGH_FACTOR * m_impactDivisor * -remaining / (impact * projectileMass), 1.0f);
					projectileBody->SetLinearVelocity(share * velocity);
				}
			}
		}
	}
	const float hit = hitAmount(impact);
	markHit(projectile, hit);
	if (object.param6 > 0.0f)
		markHit(object, hit);
	callScript("projectileCollision", projectile.name, object.name, impact, std::floor(damage));
}

float GameLua::damageFactor(const lua::LuaTable& table, const lang::String& otherMaterial)
{
	if (!table.isString("damageFactors"))
		return 1.0f;
	lua::LuaTable factors = getTable("blockTable").getTable("damageFactors").getTable(table.getString("damageFactors"));
	return multiplier(factors.getTable("damageMultiplier"), otherMaterial);
}

void GameLua::objectAgainstObject(RenderObjectData& a, RenderObjectData& b, const lang::String& materialA, const lang::String& materialB)
{
	lua::LuaTable world = worldTable();
	lua::LuaTable tableA = world.getTable(a.name);
	lua::LuaTable tableB = world.getTable(b.name);
	const float multiplierA = damageFactor(tableA, materialB);
	const float multiplierB = damageFactor(tableB, materialA);

	const bool hazardA = materialA == "hazard";
	const bool hazardB = materialB == "hazard";
	if (hazardA != hazardB)
	{
		if (hazardA && multiplierA != 0.0f)
		{
			++b.hazardContacts;
			++a.hazardTouches;
			tableA.setBoolean("spawnEmberParticles", true);
		}
		else if (hazardB && multiplierB != 0.0f)
		{
			++a.hazardContacts;
			++b.hazardTouches;
			tableB.setBoolean("spawnEmberParticles", true);
		}
		return;
	}

	const b2Vec2 momentum = a.body->GetMass() * a.body->GetLinearVelocity() - b.body->GetMass() * b.body->GetLinearVelocity();
	const float impact = momentum.Length() / m_impactDivisor;
	lua::LuaTable blocks = getTable("scoreTable").getTable("blocks");
	const float score = blocks.getNumber("score");

	bool hitA;
	bool hitB;
	const float damage = applyDamage(tableA, multiplierB * impact, impact, hitA) + applyDamage(tableB, multiplierA * impact, impact, hitB);
	const float hit = hitAmount(impact);
	if (b.param6 > 0.0f)
		markHit(b, hit);
	if (a.param6 > 0.0f)
		markHit(a, hit);
	callScript("blockCollision", a.name, b.name, impact, hitA || hitB, false);
	if (damage > 0.0f)
		blocks.setNumber("score", score + std::floor(damage) * SCORE_PER_DAMAGE);
}

float GameLua::applyDamage(lua::LuaTable& table, float multipliedImpact, float impact, bool& hit)
{
	hit = true;
	if (!table.isNumber("strength"))
		return 0.0f;
	const float defence = table.isNumber("defence") ? table.getNumber("defence") : 0.0f;
	if (defence > multipliedImpact)
	{
		hit = false;
		return 0.0f;
	}
	const float strength = table.getNumber("strength");
	const float remaining = strength + defence - multipliedImpact;
	table.setNumber("strength", remaining);
	// A breaking object reports the strength it had left.
	return remaining < 0.0f ? strength : impact - defence;
}

void GameLua::endTouch(b2Contact* contact)
{
	RenderObjectData* a;
	RenderObjectData* b;
	if (!touchingRecords(contact, a, b))
		return;
	// Contacts destroyed while touching (a body removed or disabled, the filter separating the
	// pair) end here too, so the hazard counts fall with every touch that ends.
	lua::LuaTable world = worldTable();
	lua::LuaTable tableA = world.getTable(a->name);
	lua::LuaTable tableB = world.getTable(b->name);
	if (tableB.getString("material") == "hazard" && a->hazardContacts != 0)
		leaveHazard(*a, *b, tableB);
	else if (tableA.getString("material") == "hazard" && b->hazardContacts != 0)
		leaveHazard(*b, *a, tableA);
}

void GameLua::leaveHazard(RenderObjectData& object, RenderObjectData& hazard, lua::LuaTable& hazardTable)
{
	--object.hazardContacts;
	if (--hazard.hazardTouches <= 0)
		hazardTable.setBoolean("spawnEmberParticles", false);
}
