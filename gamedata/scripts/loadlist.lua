-- The levels in playing order, as paths under the data directory without ".lua".
levelList = { "levels/level_1", "levels/level_2", "levels/level_3", "levels/level_4", "levels/level_5", "levels/level_6" }
