-- Pieces worth extra points when destroyed.
scoreobjects = {
	{ definition = "bonus_gem", type = "box", sprite = "bonus_gem", width = 1.0, height = 1.0, density = 1.0, friction = 0.5, restitution = 0.1, material = "glass", strength = 2, defence = 0, damageFactors = "block", score = 3000, z = 3 },
}
