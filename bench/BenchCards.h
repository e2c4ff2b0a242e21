#pragma once

#include <QString>

namespace bench {

// Writes a card file of count cards at path: table Dept as the program makes
// it, filled with values of typical kinds and lengths, one in twenty marked
// deleted. The same count always gives the same file. Throws
// std::runtime_error when the file cannot be written.
void writeBenchCards(const QString &path, int count);

} // namespace bench
