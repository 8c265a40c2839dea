-- Stone blocks: heavy and hard to break.
stone = {
	{ definition = "stone_block", type = "box", sprite = "stone_block", width = 1.5, height = 1.5, density = 3.0, friction = 0.8, restitution = 0.05, material = "stone", strength = 25, defence = 4, damageFactors = "block", score = 1000, z = 2 },
}
