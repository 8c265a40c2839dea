-- Stone blocks: heavy and hard to break.
stone = {
	{ definition = "stone_block", type = "box", sprite = "stone_block", width = 1.5, height = 1.5, density = 3.0, friction = 0.8, restitution = 0.05, material = "stone", strength = 25, defence = 4, damageFactors = "block", score = 1000, z = 2 },
	{ definition = "stone_slab", type = "box", sprite = "stone_slab", width = 4.0, height = 0.8, density = 3.0, friction = 0.8, restitution = 0.05, material = "stone", strength = 30, defence = 4, damageFactors = "block", score = 1200, z = 2 },
	{ definition = "stone_column", type = "box", sprite = "stone_column", width = 0.8, height = 3.0, density = 3.0, friction = 0.8, restitution = 0.05, material = "stone", strength = 30, defence = 4, damageFactors = "block", score = 1200, z = 2 },
}
