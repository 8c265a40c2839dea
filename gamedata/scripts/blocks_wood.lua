-- Wooden blocks. Sizes in metres, density in kilograms per square metre.
wood = {
	{ definition = "wood_plank", type = "box", sprite = "wood_plank", width = 6.0, height = 0.6, density = 1.0, friction = 0.7, restitution = 0.1, material = "wood", strength = 8, defence = 1, damageFactors = "block", score = 500, z = 2 },
	{ definition = "wood_pillar", type = "box", sprite = "wood_pillar", width = 0.6, height = 4.0, density = 1.0, friction = 0.7, restitution = 0.1, material = "wood", strength = 8, defence = 1, damageFactors = "block", score = 500, z = 2 },
}
