-- Targets: the pieces a level is won by destroying. Sizes in metres.
targets = {
	{ definition = "target", type = "circle", sprite = "target", radius = 1.0, density = 1.0, friction = 0.6, restitution = 0.2, material = "target", strength = 5, defence = 0, damageFactors = "block", score = 5000, z = 3 },
	{ definition = "target_big", type = "circle", sprite = "target_big", radius = 1.4, density = 1.0, friction = 0.6, restitution = 0.2, material = "target", strength = 12, defence = 1, damageFactors = "block", score = 8000, z = 3 },
}
