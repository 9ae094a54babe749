// The margin every buffer sized from a length the platform reports gets. The platform counts
// names without their terminator and text with it, and the program sometimes adds a
// terminator of its own after what the platform wrote: a buffer is allocated BUFFER_SLACK
// units (or bytes) beyond the reported length, and the platform is offered CAPACITY_SLACK
// beyond it, so that whichever terminator is written lands inside the buffer.
#ifndef DUNVATEL_BASE_BUFFER_SLACK_H
#define DUNVATEL_BASE_BUFFER_SLACK_H

#define BUFFER_SLACK 8
#define CAPACITY_SLACK 4

#endif
