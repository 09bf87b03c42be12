// The text picture of the board for a person at the console.
#pragma once

#include <string>
#include <vector>

#include "board/position.h"

// The lines of the diagram, White at the bottom, ending with the file
// letters and an empty line.
std::vector<std::string> boardDiagram(const Position& position);
