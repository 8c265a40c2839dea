-- What the launcher fires. "special" is the action of a second touch in flight: "boost" speeds
-- the orb up, "split" makes three of it, "heavy" sends it straight down.
projectiles = {
	{ definition = "orb_boost", type = "circle", sprite = "orb_boost", radius = 0.6, density = 4.0, friction = 0.5, restitution = 0.3, material = "stone", damageFactors = "projectile", special = "boost", z = 4 },
	{ definition = "orb_split", type = "circle", sprite = "orb_split", radius = 0.45, density = 4.0, friction = 0.5, restitution = 0.3, material = "stone", damageFactors = "projectile", special = "split", z = 4 },
	{ definition = "orb_heavy", type = "circle", sprite = "orb_heavy", radius = 0.8, density = 7.0, friction = 0.6, restitution = 0.1, material = "stone", damageFactors = "heavy", special = "heavy", z = 4 },
}
