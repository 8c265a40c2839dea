-- Damage factor sets, named by a piece's "damageFactors": how much harder a hit lands on each
-- material, and how much speed a projectile keeps after breaking through it.
projectile = {
	damageMultiplier = { wood = 1.2, stone = 0.6, glass = 2.0, target = 1.5, immovable = 0 },
	velocityMultiplier = { wood = 0.8, stone = 0.4, glass = 0.95, target = 0.9, immovable = 0 },
}
heavy = {
	damageMultiplier = { wood = 1.0, stone = 1.4, glass = 1.5, target = 1.5, immovable = 0 },
	velocityMultiplier = { wood = 0.7, stone = 0.6, glass = 0.95, target = 0.9, immovable = 0 },
}
block = {
	damageMultiplier = { wood = 1.0, stone = 0.5, glass = 1.5, target = 1.2, hazard = 1.0 },
	velocityMultiplier = {},
}
-- A hazard burns what touches it: a zero leaves that material alone.
hazard = {
	damageMultiplier = { wood = 1.0, stone = 0, glass = 0, target = 1.0, immovable = 0 },
	velocityMultiplier = {},
}
