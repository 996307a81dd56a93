// SPDX-License-Identifier: MIT
// The author an attribution of a fortune names.
#pragma once

#include <QString>

namespace sayvane::fortunes {

// The name at the head of the attribution, without what follows it:
//   Mark Twain, "Pudd'nhead Wilson's Calendar"      -> Mark Twain
//   Martin Luther King, Jr.                         -> Martin Luther King, Jr.
//   Michael Winner, British film director           -> Michael Winner
//   Kilgore Trout (Philip J. Farmer), "Venus ..."   -> Kilgore Trout
//   Bilbo Baggins [J.R.R. Tolkien, "The Hobbit"]    -> Bilbo Baggins
//   "Mark Twain, Pudd'nhead Wilson's Calendar"      -> Mark Twain
//   Philip Hale, Boston music critic, 1837          -> Philip Hale
//   by Charles Dickens                              -> Charles Dickens
//   Marshall McLuhan.                               -> Marshall McLuhan
// Empty when nothing of a name is left, and for an attribution that names
// no one: "by" alone, a suffix alone (", Jr."), a title alone in quotes
// ("The Treasure of the Sierra Madre").
QString authorOf(QStringView attribution);

} // namespace sayvane::fortunes
