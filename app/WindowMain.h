#pragma once

// The program with its window and every option of its command line, behind
// the small launcher in main.cpp. On Linux it is a module the launcher loads
// only when a command cannot be answered without it.
extern "C" [[gnu::visibility("default")]] int quindorelWindowMain(int argc, char* argv[]);
