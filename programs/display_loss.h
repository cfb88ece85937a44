// What both programs do when their X connection or their window goes.
#pragma once

namespace programs {

// After the toolkit has opened the display:
// - A lost connection to the X server (the server went away, or another
//   client killed this one) ends the program at once with status 0, as every
//   other way out does. There is nothing left to show and nothing to save.
// - A request on one of the program's own windows that another client has
//   destroyed meanwhile, or on a pixmap, graphics context or picture made
//   from it, fails without ending the program (the toolkit's handler would
//   end it with status 1); the window's destruction reaches the toolkit as
//   an event and ends the program in order.
// Every other X error goes to the toolkit's handler as before.
void EndWithStatusZeroWhenTheDisplayOrWindowIsLost();

}  // namespace programs
