// Writes a piece-square table source in the layout of data/tables.txt, so
// that a tuned source reads and reviews like the hand-written one.
#pragma once

#include <ostream>
#include <string>

#include "tables_source.h"

// header is written first, each of its lines as a comment.
void writeTableSource(std::ostream& out, const TableSource& source, const std::string& header);
