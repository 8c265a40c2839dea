-- Fixed blocks that never move or break.
static = {
	{ definition = "static_stone", type = "box", sprite = "static_stone", width = 1.5, height = 1.5, density = 0, friction = 0.8, restitution = 0, material = "immovable", z = 2 },
	{ definition = "static_ledge", type = "box", sprite = "static_ledge", width = 6.0, height = 1.0, density = 0, friction = 0.8, restitution = 0, material = "immovable", z = 2 },
	{ definition = "static_tower", type = "box", sprite = "static_tower", width = 1.5, height = 6.0, density = 0, friction = 0.8, restitution = 0, material = "immovable", z = 2 },
}
