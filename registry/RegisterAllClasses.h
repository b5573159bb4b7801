#pragma once

// Makes the class object of every class of the program and enters it in the
// class map by its external name. Runs when the class map is first used and
// once more from the program entry; a second run changes nothing.
void RegisterAllClasses();
