-- The game's own achievement definitions; the game service adds progress to them.
achievements = {
	first_clear = { id = "game2d.first_clear", title = "First clear", achievedText = "Cleared a level", icon = "star_full" },
	one_shot = { id = "game2d.one_shot", title = "One shot", achievedText = "Cleared a level with one orb", icon = "orb_boost" },
	three_stars = { id = "game2d.three_stars", title = "Top marks", achievedText = "Three stars on a level", icon = "star_full" },
	all_levels = { id = "game2d.all_levels", title = "Every tower", achievedText = "Cleared every level", icon = "target" },
}
