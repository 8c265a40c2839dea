-- Wooden blocks. Sizes in metres, density in kilograms per square metre.
wood = {
	{ definition = "wood_plank", type = "box", sprite = "wood_plank", width = 6.0, height = 0.6, density = 1.0, friction = 0.7, restitution = 0.1, material = "wood", strength = 8, defence = 1, damageFactors = "block", score = 500, z = 2 },
	{ definition = "wood_short", type = "box", sprite = "wood_short", width = 3.0, height = 0.6, density = 1.0, friction = 0.7, restitution = 0.1, material = "wood", strength = 6, defence = 1, damageFactors = "block", score = 300, z = 2 },
	{ definition = "wood_pillar", type = "box", sprite = "wood_pillar", width = 0.6, height = 4.0, density = 1.0, friction = 0.7, restitution = 0.1, material = "wood", strength = 8, defence = 1, damageFactors = "block", score = 500, z = 2 },
	{ definition = "wood_post", type = "box", sprite = "wood_post", width = 0.6, height = 2.0, density = 1.0, friction = 0.7, restitution = 0.1, material = "wood", strength = 6, defence = 1, damageFactors = "block", score = 300, z = 2 },
	{ definition = "wood_crate", type = "box", sprite = "wood_crate", width = 1.5, height = 1.5, density = 0.8, friction = 0.7, restitution = 0.1, material = "wood", strength = 7, defence = 1, damageFactors = "block", score = 400, z = 2 },
}
