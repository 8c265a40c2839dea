-- The game service's leaderboards: one per level, the level file name to the board's id.
level_1 = "game2d.level_1"
level_2 = "game2d.level_2"
level_3 = "game2d.level_3"
level_4 = "game2d.level_4"
level_5 = "game2d.level_5"
level_6 = "game2d.level_6"
-- The boards' titles: each level named as the level list and the high scores name it.
titles = { level_1 = "Level 1", level_2 = "Level 2", level_3 = "Level 3", level_4 = "Level 4", level_5 = "Level 5", level_6 = "Level 6" }
