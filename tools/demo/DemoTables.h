#pragma once

#include <array>
#include <string_view>

// The demo catalogue, and the two tables with which the main program
// recognises the windows of quibbits whose titles do not follow the usual
// "<game> Quibbit" and "<site>" pattern.
namespace demo {

// A title that begins with `fullTitle` is watched by `watchKey` instead of
// the text up to the word "Quibbit": these quibbits show a shorter name.
struct WatchKeyRow {
    std::string_view fullTitle;
    std::string_view watchKey;
};

inline constexpr std::array<WatchKeyRow, 4> kWatchKeyRows{{
    {"Dominoes Quibbit - Arena", "Domino Quibbit"},
    {"Spider Solitaire Quibbit - Playhub", "Spider Quibbit"},
    {"Mahjong Tiles Quibbit - Puzzleport", "Mahjong Quibbit"},
    {"Word Search Quibbit - Puzzleport", "WordSearch Quibbit"},
}};

// A quibbit watched by exactly `watchKey` whose window names `site` rather
// than its catalogue site.
struct AltSiteRow {
    std::string_view watchKey;
    std::string_view site;
};

inline constexpr std::array<AltSiteRow, 4> kAltSiteRows{{
    {"Hearts Quibbit", "Card Hall"},
    {"Spades Quibbit", "Card Hall"},
    {"Gin Rummy Quibbit", "Card Hall"},
    {"Bingo Quibbit", "PlayHub Live"},
}};

inline constexpr std::string_view kWindowClass = "ZendrelQuibbit";

// "{badge}" in the notes becomes "{<date>}", the date `badgeDaysAgo` days before
// the day the site is written; the release date lies `releaseDaysAgo` days
// before it.
struct DemoQuibbit {
    std::string_view gameName;
    std::string_view site;
    std::string_view title;
    std::string_view exeName;
    std::string_view setupName;
    std::string_view windowTitle;
    std::string_view version;
    int releaseDaysAgo;
    int badgeDaysAgo;
    std::string_view notes;
};

inline constexpr std::array<DemoQuibbit, 12> kDemoQuibbits{{
    {"Chess", "Arena", "Chess Quibbit - Arena", "ChessQuibbit.exe", "ArenaChessQuibbitSetup",
     "Chess Quibbit - Arena", "2.1", 120, 0,
     "GEN:Move hints, an opening book and a game clock for the Arena chess rooms.:"
     "UPDATE:Version 2.1|- faster move hints|- the clock keeps its place on the screen:"},
    {"Checkers", "Arena", "Checkers Quibbit - Arena", "CheckersQuibbit.exe",
     "ArenaCheckersQuibbitSetup", "Checkers Quibbit - Arena", "1.0", 3, 0,
     "GEN:Shows every forced jump before you move.:"},
    {"Dominoes", "Arena", "Dominoes Quibbit - Arena", "DominoesQuibbit.exe",
     "ArenaDominoesQuibbitSetup", "Domino Quibbit - Arena", "1.3", 200, 0,
     "BADGE:Tournament weekend - double ranking points!:"
     "GEN:Counts the tiles still in play and shows what your opponents can lay.:"},
    {"Solitaire", "Playhub", "Solitaire Quibbit - Playhub", "SolitaireQuibbit.exe",
     "PlayhubSolitaireQuibbitSetup", "Solitaire Quibbit - Playhub", "1.4", 60, 2,
     "BADGE:{badge}Free hint pack this week:GEN:Suggests the next move and undoes without limit.:"},
    {"Spider Solitaire", "Playhub", "Spider Solitaire Quibbit - Playhub",
     "SpiderSolitaireQuibbit.exe", "PlayhubSpiderSolitaireQuibbitSetup", "Spider Quibbit - Playhub",
     "0.9", 45, 0,
     "STATUS:Beta@Test version - tell us what you think.:"
     "GEN:Tracks the finished suits and the cards left in the stock.:"},
    {"Bingo", "Playhub", "Bingo Quibbit - Playhub", "BingoQuibbit.exe", "PlayhubBingoQuibbitSetup",
     "Bingo Quibbit - PlayHub Live", "1.0", 5, 0,
     "GEN:Marks the called numbers on up to four cards.|"
     "Plays a chime when a line is one number short.:"},
    {"Hearts", "Cardhall", "Hearts Quibbit - Cardhall", "HeartsQuibbit.exe",
     "CardhallHeartsQuibbitSetup", "Hearts Quibbit - Card Hall", "1.2", 300, 0,
     "GEN:Remembers the cards played and warns before you take the queen of spades.:"},
    {"Spades", "Cardhall", "Spades Quibbit - Cardhall", "SpadesQuibbit.exe",
     "CardhallSpadesQuibbitSetup", "Spades Quibbit - Card Hall", "1.1", 150, 20,
     "BADGE:{badge}Spring league finals:GEN:Counts trumps and suggests your bid.:"},
    {"Gin Rummy", "Cardhall", "Gin Rummy Quibbit - Cardhall", "GinRummyQuibbit.exe",
     "CardhallGinRummyQuibbitSetup", "Gin Rummy Quibbit - Card Hall", "2.0", 90, 0,
     "STATUS:Popular@The most used quibbit at Cardhall this month.:"
     "GEN:Sorts your hand into melds and counts the deadwood.:"},
    {"Sudoku", "Puzzleport", "Sudoku Quibbit - Puzzleport", "SudokuQuibbit.exe",
     "PuzzleportSudokuQuibbitSetup", "Puzzleport: Sudoku Quibbit", "3.0", 400, 0,
     "GEN:Pencil marks, conflict highlighting and a step-by-step solver.:"
     "UPDATE:Larger digits on big screens.:"},
    {"Mahjong Tiles", "Puzzleport", "Mahjong Tiles Quibbit - Puzzleport", "MahjongTilesQuibbit.exe",
     "PuzzleportMahjongTilesQuibbitSetup", "Mahjong Quibbit - Puzzleport", "1.0", 1, 0,
     "GEN:Highlights free pairs and reshuffles when no move is left.:"},
    {"Word Search", "Puzzleport", "Word Search Quibbit - Puzzleport", "WordSearchQuibbit.exe",
     "PuzzleportWordSearchQuibbitSetup", "WordSearch Quibbit - Puzzleport", "1.5", 500, 0,
     "GEN:Finds the hidden words in every direction.:"},
}};

// The one quibbit of which the site also offers an older build, for the demo
// to install beforehand so that it offers "Update".
inline constexpr std::string_view kOutdatedGame = "Chess";
inline constexpr std::string_view kOutdatedSite = "Arena";
inline constexpr std::string_view kOutdatedVersion = "2.0";

} // namespace demo
