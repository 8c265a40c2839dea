-- Blocks that hurt what touches them over time.
hazard = {
	{ definition = "hazard_stone", type = "box", sprite = "stone_block", width = 1.5, height = 1.5, density = 0, friction = 0.8, restitution = 0, material = "hazard", z = 2 },
}
