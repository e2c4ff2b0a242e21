#pragma once

#include "CardFile.h"

#include <vector>

namespace tools {

// About thirty fictitious business cards for trying the program: people,
// companies and addresses in several cities, phone numbers written in the
// usual ways, some fields left NULL. Two cards are marked deleted ("是"), one
// has an empty flag (""), the others are live ("否"). Every value fits its
// column; createCardFile checks this again.
std::vector<Card> demoCards();

} // namespace tools
