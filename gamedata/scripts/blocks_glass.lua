-- Glass panes: light and brittle.
glass = {
	{ definition = "glass_pane", type = "box", sprite = "glass_pane", width = 0.5, height = 3.0, density = 0.6, friction = 0.3, restitution = 0.1, material = "glass", strength = 3, defence = 0, damageFactors = "block", score = 300, z = 2 },
	{ definition = "glass_sheet", type = "box", sprite = "glass_sheet", width = 4.0, height = 0.5, density = 0.6, friction = 0.3, restitution = 0.1, material = "glass", strength = 3, defence = 0, damageFactors = "block", score = 300, z = 2 },
	{ definition = "glass_block", type = "box", sprite = "glass_block", width = 1.5, height = 1.5, density = 0.6, friction = 0.3, restitution = 0.1, material = "glass", strength = 4, defence = 0, damageFactors = "block", score = 400, z = 2 },
}
