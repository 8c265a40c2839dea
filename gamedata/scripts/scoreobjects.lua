-- Pieces worth points when destroyed, beyond the damage they take.
scoreobjects = {
	{ definition = "bonus_stone", type = "box", sprite = "stone_block", width = 1.5, height = 1.5, density = 3.0, friction = 0.7, restitution = 0.05, material = "stone", strength = 25, defence = 4, damageFactors = "block", score = 2000, z = 2 },
}
