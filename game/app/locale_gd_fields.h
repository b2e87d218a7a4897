#pragma once
// The fields of the game's text table, in the table's order: the messages with their
// English texts, then the keys, each of which holds its own name until the locale file gives
// it a text. MESSAGE(field, text) and KEY(field).
#define LOCALE_GD_MESSAGES(MESSAGE) \
  MESSAGE(ErrorEmptyPlayerName, "Can't create\na user with\nno name!") \
  MESSAGE(ErrorPlayerExist, "A user with this\nname already\nexists!") \
  MESSAGE(ErrorOnePlayer, "Can't delete\nthe only\nplayer!") \
  MESSAGE(ConfirmDeletePlayer, "Are you sure you\nwant to delete\nplayer '%s'?") \
  MESSAGE(ConfirmExitGame, "Are you sure you\nwant to exit\nthe game?") \
  MESSAGE(ErrorWindowMode, "Can't set windowed mode") \
  MESSAGE(ErrorCreatePlayer, "Can't create\nthe profile\nfolder!") \
  MESSAGE(ErrorDeletePlayer, "Can't delete\nplayer '%s':\nthe profile folder\nholds another player.") \
  MESSAGE(ErrorNoPlayerYet, "Please type a name:\nthe garden needs\na gardener first.") \
  MESSAGE(ErrorSaveFailed, "The game can't\nbe saved!\nSee the log file.") \
  MESSAGE(ErrorDamagedFile, "A saved file can't\nbe read! It is kept\nas .damaged.") \
  MESSAGE(ErrorProfileRefused, "A player folder\nis not yours and\nis left out.") \
  MESSAGE(ErrorProfileUnreadable, "A player's file\ncan't be read. That\nplayer is left out.")

#define LOCALE_GD_KEYS(KEY) \
  KEY(Rate0) \
  KEY(Rate1) \
  KEY(Rate2) \
  KEY(Rate3) \
  KEY(Rate4) \
  KEY(IslandRate0) \
  KEY(IslandRate1) \
  KEY(IslandRate2) \
  KEY(IslandRate3) \
  KEY(IslandRate4) \
  KEY(Gold) \
  KEY(Silver) \
  KEY(Bronze) \
  KEY(IncPeople) \
  KEY(IncMarket) \
  KEY(Tomato) \
  KEY(Olive) \
  KEY(Banana) \
  KEY(Orange) \
  KEY(Corn) \
  KEY(Wheat) \
  KEY(Pineapple) \
  KEY(Grape) \
  KEY(OliveOil) \
  KEY(OrangeJuice) \
  KEY(Lemonade) \
  KEY(Flour) \
  KEY(Bread) \
  KEY(GrapeJuice) \
  KEY(Wine) \
  KEY(Flowers) \
  KEY(Grass) \
  KEY(Egg) \
  KEY(Nib) \
  KEY(Milk) \
  KEY(Honey) \
  KEY(Ostrich) \
  KEY(Hive) \
  KEY(Goat) \
  KEY(Peacock) \
  KEY(Market00) \
  KEY(Market01) \
  KEY(Market02) \
  KEY(Market03) \
  KEY(Market04) \
  KEY(Market05) \
  KEY(House00) \
  KEY(House01) \
  KEY(House02) \
  KEY(House03) \
  KEY(House04) \
  KEY(House05) \
  KEY(Institute00) \
  KEY(Animals00) \
  KEY(Statue00) \
  KEY(FactoryOliveOil) \
  KEY(FactoryOrangeJuice) \
  KEY(FactoryLemonade) \
  KEY(FactoryGrapeJuice) \
  KEY(FactoryWine) \
  KEY(Mill) \
  KEY(Bakery) \
  KEY(UpSpeedGardener) \
  KEY(UpVolumeWater) \
  KEY(UpVolumeBin) \
  KEY(UpTimeWater) \
  KEY(UpTimeWeed) \
  KEY(UpTimeBin) \
  KEY(HintBinUp) \
  KEY(HintStartLevel) \
  KEY(HintNewPeople) \
  KEY(HintNewTask0) \
  KEY(HintNewTask) \
  KEY(HintStatGarden) \
  KEY(HintStatIsland) \
  KEY(HintSilver) \
  KEY(HintBronze) \
  KEY(HintFlowersWater) \
  KEY(HintConstructMarket) \
  KEY(HintConstructHouse) \
  KEY(HintConstructFactory) \
  KEY(HintConstructFactory00) \
  KEY(HintConstructFactory01) \
  KEY(HintConstructFactory01_1) \
  KEY(HintConstructFactory02) \
  KEY(HintConstructFactory02_1) \
  KEY(HintConstructFactory03) \
  KEY(HintConstructFactory03_1) \
  KEY(HintConstructMarket00) \
  KEY(HintConstructMarket01) \
  KEY(HintConstructMarket02) \
  KEY(HintConstructMarket03) \
  KEY(HintConstructMarket04) \
  KEY(HintConstructMarket05) \
  KEY(HintConstructHouse00) \
  KEY(HintConstructHouse01) \
  KEY(HintConstructHouse02) \
  KEY(HintConstructHouse03) \
  KEY(HintConstructHouse04) \
  KEY(HintConstructHouse05) \
  KEY(HintConstructInstitute00) \
  KEY(HintConstructAnimals00) \
  KEY(HintConstructStatue00) \
  KEY(TrainingPlants0) \
  KEY(TrainingPlants1) \
  KEY(TrainingPlants2) \
  KEY(TrainingPlants3) \
  KEY(TrainingPlants4) \
  KEY(TrainingPlants5) \
  KEY(TrainingPlants6) \
  KEY(TrainingPlants7) \
  KEY(TrainingPlants8) \
  KEY(TrainingPlants9) \
  KEY(TrainingPlants10) \
  KEY(TrainingPlants11) \
  KEY(TrainingPlants12) \
  KEY(TrainingPlantInstead0) \
  KEY(TrainingPlantInstead1) \
  KEY(TrainingWater0) \
  KEY(TrainingWater1) \
  KEY(TrainingWater2) \
  KEY(TrainingScrolling0) \
  KEY(TrainingFactory0) \
  KEY(TrainingFactory1) \
  KEY(TrainingOstrich0) \
  KEY(TrainingAnimalFood0) \
  KEY(TrainingAnimalFood1) \
  KEY(TrainingAnimalFood2) \
  KEY(TrainingEgg0) \
  KEY(TrainingEgg1) \
  KEY(TrainingGoat0) \
  KEY(TrainingMilk0) \
  KEY(TrainingMilk1) \
  KEY(TrainingHive0) \
  KEY(TrainingHive1) \
  KEY(TrainingHive2) \
  KEY(TrainingHoney0) \
  KEY(TrainingHoney1) \
  KEY(TrainingPeacock0) \
  KEY(TrainingIslandRate0) \
  KEY(TrainingRate0) \
  KEY(MessageContinueLast) \
  KEY(MessageStartLevel) \
  KEY(MessageExitLevel) \
  KEY(AwardHoles) \
  KEY(AwardUp) \
  KEY(ComicsOpening0) \
  KEY(ComicsOpening1) \
  KEY(ComicsOpening2) \
  KEY(ComicsOpening3) \
  KEY(ComicsOpening4) \
  KEY(ComicsOpening5) \
  KEY(ComicsEnding0) \
  KEY(ComicsEnding1) \
  KEY(ComicsEnding2) \
  KEY(MenuWelcome) \
  KEY(MenuPlay) \
  KEY(MenuChangePlayer) \
  KEY(MenuOptions) \
  KEY(MenuExit) \
  KEY(PausedTitle) \
  KEY(MenuResume) \
  KEY(MenuRestartLevel) \
  KEY(MenuEndLevel) \
  KEY(MenuToMainMenu) \
  KEY(OptionsTitle) \
  KEY(OptionsScreenSize) \
  KEY(OptionsWindowed) \
  KEY(OptionsHints) \
  KEY(OptionsBrightness) \
  KEY(OptionsSound) \
  KEY(OptionsMusic) \
  KEY(OptionsMouseSpeed) \
  KEY(OptionsBack) \
  KEY(ProfileSelectTitle) \
  KEY(ProfileNew) \
  KEY(ProfileDelete) \
  KEY(ProfileAddTitle) \
  KEY(ProfileAddPrompt)
