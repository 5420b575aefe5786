#pragma once

// The program's own files, all in the program folder.
inline constexpr char kListFileName[] = "gnames.txt";
inline constexpr char kFavoritesFileName[] = "gnamesfav.txt";
inline constexpr char kSettingsFileName[] = "Zendrel.ini";
