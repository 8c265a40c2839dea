-- What the launcher fires.
projectiles = {
	{ definition = "projectile", type = "circle", sprite = "projectile", radius = 0.6, density = 4.0, friction = 0.5, restitution = 0.3, material = "stone", damageFactors = "projectile", z = 4 },
}
